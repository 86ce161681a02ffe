#include "txHost/devices/BitWriter.h"

namespace tx::mpeg4
{

void BitWriter::Reset(uint8_t *buffer, size_t capacity)
{
    m_start = buffer;
    m_current = buffer;
    m_end = buffer != nullptr ? buffer + capacity : nullptr;
    m_accumulator = 0;
    m_bitCount = 0;
    m_atStartCodeBoundary = true;
    m_overflowed = false;
}

void BitWriter::AlignToByte()
{
    if (m_atStartCodeBoundary)
    {
        return;
    }
    const unsigned pad = 8 - (m_bitCount & 7);
    PutBits(pad, (1u << (pad - 1)) - 1);
    m_atStartCodeBoundary = true;
}

size_t BitWriter::GetByteCount()
{
    const size_t pending = (m_bitCount + 7) / 8;
    const size_t room = static_cast<size_t>(m_end - m_current);
    if (pending > room)
    {
        m_overflowed = true;
    }
    const size_t stored = pending < room ? pending : room;
    for (size_t i = 0; i < stored; ++i)
    {
        m_current[i] = static_cast<uint8_t>(m_accumulator >> (24 - 8 * i));
    }
    return static_cast<size_t>(m_current - m_start) + stored;
}

} // namespace tx::mpeg4
