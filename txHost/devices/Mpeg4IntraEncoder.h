#pragma once
// MPEG-4 Part 2 encoder that codes every picture as an intra VOP: the stream the decoder
// card takes on its video input. Portable (no windows.h).
//
// Calling order: SetOutputBuffer, Init, WriteStreamHeader (first sample only), then per
// picture EncodeFrame, AlignToByte, GetByteCount, with SetOutputBuffer again before each
// later picture. One thread at a time; the object is not shared between threads.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "txHost/devices/BitWriter.h"
#include "txHost/devices/EncoderResult.h"
#include "txHost/devices/Mpeg4BlockKernels.h"
#include "txHost/devices/PictureConversion.h"

namespace tx::mpeg4
{

class CMpeg4IntraEncoder
{
  public:
    static constexpr int kMaxDimension = 8191;
    // Largest vop_time_increment_resolution the VOL can carry.
    static constexpr uint32_t kMaxTimeResolution = 65535;

    CMpeg4IntraEncoder();
    ~CMpeg4IntraEncoder();
    CMpeg4IntraEncoder(const CMpeg4IntraEncoder &) = delete;
    CMpeg4IntraEncoder &operator=(const CMpeg4IntraEncoder &) = delete;

    // layout: InputLayout (0..6); width, height: 1..8191; ticksPerFrame / timeResolution is
    // the frame period, reduced, at most one second. Interlace is honoured only for
    // pictures of more than 352 lines.
    // S_OK; E_INVALIDARG for a bad layout, size or rate; E_OUTOFMEMORY when a buffer
    // cannot be allocated (buffers already allocated are released by FreeBuffers).
    HRESULT Init(int layout, int width, int height, uint32_t timeResolution, uint32_t ticksPerFrame, bool interlaced);

    // Points the bit writer at a caller-owned buffer of capacity bytes and rewinds it.
    // GetMaxOutputBytes tells how much one sample can need.
    void SetOutputBuffer(uint8_t *buffer, size_t capacity);

    // VO and VOL headers.
    void WriteStreamHeader();

    // Converts the picture (InputPictureBytes(layout, width, height) bytes), flips it when
    // flip is set, and writes one VOP. S_OK; E_UNEXPECTED before a successful Init;
    // E_INVALIDARG for a null input; E_NOT_SUFFICIENT_BUFFER when the output buffer was too
    // small (the bytes are then incomplete, but nothing beyond the buffer was written).
    HRESULT EncodeFrame(const uint8_t *input, bool flip);

    // MPEG-4 stuffing up to the next byte boundary (before the next start code).
    void AlignToByte();
    // Bytes written since SetOutputBuffer, the partial last byte included.
    size_t GetByteCount();
    bool HasOutputOverflowed() const
    {
        return m_writer.HasOverflowed();
    }

    void FreeBuffers();

    // Worst case of the stream headers plus one VOP: every coefficient of every padded
    // macroblock as a 30-bit escape fits in 1536 bytes per macroblock.
    size_t GetMaxOutputBytes() const;

    // The block kernels in use (the fastest by default; the scalar ones for comparison).
    void SetKernels(const IntraBlockKernels &kernels)
    {
        m_kernels = &kernels;
    }

    // State, for the owner and for tests.
    int Width() const
    {
        return m_width;
    }
    int Height() const
    {
        return m_height;
    }
    int PaddedWidth() const
    {
        return m_paddedWidth;
    }
    int PaddedHeight() const
    {
        return m_paddedHeight;
    }
    int MacroblocksPerRow() const
    {
        return m_mbPerRow;
    }
    int MacroblockRows() const
    {
        return m_mbRows;
    }
    bool IsInterlaced() const
    {
        return m_interlaced;
    }
    bool IsTopFieldFirst() const
    {
        return m_topFieldFirst;
    }
    uint32_t TimeResolution() const
    {
        return m_timeResolution;
    }
    uint32_t TicksPerFrame() const
    {
        return m_ticksPerFrame;
    }
    unsigned TimeIncrementBits() const
    {
        return m_timeIncrementBits;
    }
    uint64_t FrameCount() const
    {
        return m_frameCount;
    }
    // The converted planes of the last frame (valid after Init).
    const PlanarPicture &Planes() const
    {
        return m_planes;
    }

  private:
    void WriteVopHeader();
    void EncodeMacroblocks();

    BitWriter m_writer;
    const IntraBlockKernels *m_kernels;

    std::unique_ptr<uint8_t[]> m_y;
    std::unique_ptr<uint8_t[]> m_u;
    std::unique_ptr<uint8_t[]> m_v;
    // Per macroblock: the reconstructed DC values of blocks 0..5, padded to 8.
    std::unique_ptr<int16_t[]> m_dcStore;
    std::unique_ptr<int16_t[]> m_coefficients; // 6 blocks of 64
    PlanarPicture m_planes = {};

    int m_layout = 0;
    int m_width = 0;
    int m_height = 0;
    int m_paddedWidth = 0;
    int m_paddedHeight = 0;
    int m_mbPerRow = 0;
    int m_mbRows = 0;
    bool m_initialised = false;

    uint64_t m_frameCount = 0;
    uint32_t m_timeResolution = 0;
    uint32_t m_ticksPerFrame = 0;
    unsigned m_timeIncrementBits = 0;
    uint64_t m_previousSeconds = 0;
    uint64_t m_seconds = 0;
    int m_quantiser = kQuantiser;
    int m_quantType = 1;
    bool m_interlaced = false;
    bool m_topFieldFirst = false;
};

// ticks / resolution in lowest terms; a resolution that does not fit in 16 bits is
// scaled down to about 65535 with the ticks scaled alike.
void ReduceFraction(uint32_t &ticks, uint32_t &resolution);

} // namespace tx::mpeg4
