#pragma once
// MSB-first bit writer of the MPEG-4 frame encoder. Bits gather in a 32-bit accumulator
// that is stored as four bytes in stream order whenever it is full. The writer knows the
// end of its buffer: a store that would pass it is dropped and remembered, so a too small
// buffer gives a reported failure instead of a heap overrun.
#include <cstddef>
#include <cstdint>

namespace tx::mpeg4
{

class BitWriter
{
  public:
    // Starts writing at buffer; capacity is the number of bytes that may be written.
    void Reset(uint8_t *buffer, size_t capacity);

    // Appends the n low bits of value (n = 0..32), most significant first.
    void PutBits(unsigned n, uint32_t value)
    {
        if (n == 0)
        {
            return;
        }
        if (n < 32)
        {
            value &= (1u << n) - 1;
        }
        m_atStartCodeBoundary = false;
        const unsigned room = 32 - m_bitCount;
        if (n < room)
        {
            m_accumulator |= value << (room - n);
            m_bitCount += n;
            return;
        }
        const unsigned rest = n - room;
        m_accumulator |= value >> rest;
        StoreWord(m_accumulator);
        m_accumulator = rest != 0 ? value << (32 - rest) : 0;
        m_bitCount = rest;
    }
    void PutBit(unsigned bit)
    {
        PutBits(1, bit & 1);
    }
    void PutZeroBits(unsigned n)
    {
        PutBits(n, 0);
    }

    // MPEG-4 stuffing before a start code: a 0 bit then 1 bits up to the byte boundary
    // (a whole 0x7F byte when already aligned). Nothing when the writer is fresh or has
    // just been stuffed, so a start code is preceded by exactly one stuffing.
    void AlignToByte();

    // Stores the pending partial word (without advancing) and returns the number of
    // bytes written so far; never more than the capacity.
    size_t GetByteCount();

    // Bits written since Reset.
    uint64_t GetBitCount() const
    {
        return static_cast<uint64_t>(m_current - m_start) * 8 + m_bitCount;
    }
    bool HasOverflowed() const
    {
        return m_overflowed;
    }

  private:
    void StoreWord(uint32_t word)
    {
        if (m_end - m_current < 4)
        {
            m_overflowed = true;
            return;
        }
        m_current[0] = static_cast<uint8_t>(word >> 24);
        m_current[1] = static_cast<uint8_t>(word >> 16);
        m_current[2] = static_cast<uint8_t>(word >> 8);
        m_current[3] = static_cast<uint8_t>(word);
        m_current += 4;
    }

    uint8_t *m_start = nullptr;
    uint8_t *m_current = nullptr;
    uint8_t *m_end = nullptr;
    uint32_t m_accumulator = 0;
    unsigned m_bitCount = 0;
    bool m_atStartCodeBoundary = true;
    bool m_overflowed = false;
};

} // namespace tx::mpeg4
