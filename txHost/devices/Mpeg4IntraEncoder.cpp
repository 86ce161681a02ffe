#include "txHost/devices/Mpeg4IntraEncoder.h"

#include <new>
#include <numeric>

#include "txHost/devices/Mpeg4IntraMacroblock.h"

namespace tx::mpeg4
{

namespace
{

constexpr uint32_t kVideoObjectStartCode = 0x00000100;
constexpr uint32_t kVideoObjectLayerStartCode = 0x00000120;
constexpr uint32_t kVopStartCode = 0x000001B6;
constexpr size_t kBytesPerMacroblockBound = 1536;
constexpr size_t kHeaderBytesBound = 2048;

template <typename T> std::unique_ptr<T[]> Allocate(size_t count)
{
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]);
}

} // namespace

void ReduceFraction(uint32_t &ticks, uint32_t &resolution)
{
    const uint32_t divisor = std::gcd(ticks, resolution);
    if (divisor > 1)
    {
        ticks /= divisor;
        resolution /= divisor;
    }
    if (resolution > CMpeg4IntraEncoder::kMaxTimeResolution)
    {
        // Scale both to a resolution of about 65535, as the VOL field has 16 bits.
        const float factor = 1.0f / (static_cast<float>(resolution) * 1.5259022e-5f);
        ticks = static_cast<uint32_t>(static_cast<float>(ticks) * factor);
        resolution = static_cast<uint32_t>(static_cast<float>(resolution) * factor);
    }
}

CMpeg4IntraEncoder::CMpeg4IntraEncoder() : m_kernels(&DefaultIntraKernels())
{
}

CMpeg4IntraEncoder::~CMpeg4IntraEncoder()
{
    FreeBuffers();
}

HRESULT CMpeg4IntraEncoder::Init(int layout, int width, int height, uint32_t timeResolution, uint32_t ticksPerFrame,
                                 bool interlaced)
{
    FreeBuffers();
    if (!IsValidInputLayout(layout) || width < 1 || width > kMaxDimension || height < 1 || height > kMaxDimension ||
        timeResolution == 0 || ticksPerFrame == 0)
    {
        return E_INVALIDARG;
    }
    ReduceFraction(ticksPerFrame, timeResolution);
    // modulo_time_base signals at most one second per VOP.
    if (ticksPerFrame == 0 || timeResolution == 0 || ticksPerFrame > timeResolution)
    {
        return E_INVALIDARG;
    }

    m_layout = layout;
    m_width = width;
    m_height = height;
    m_mbPerRow = (width + 15) / 16;
    m_mbRows = (height + 15) / 16;
    m_paddedWidth = 16 * m_mbPerRow;
    m_paddedHeight = 16 * m_mbRows;
    // Pictures of 352 lines or fewer are always coded progressive.
    m_interlaced = interlaced && m_paddedHeight >= 353;
    m_topFieldFirst = m_interlaced;

    const size_t lumaBytes = static_cast<size_t>(m_paddedWidth) * static_cast<size_t>(m_paddedHeight);
    const size_t macroblocks = static_cast<size_t>(m_mbPerRow) * static_cast<size_t>(m_mbRows);
    m_y = Allocate<uint8_t>(lumaBytes);
    if (!m_y)
    {
        return E_OUTOFMEMORY;
    }
    m_u = Allocate<uint8_t>(lumaBytes / 4);
    if (!m_u)
    {
        return E_OUTOFMEMORY;
    }
    m_v = Allocate<uint8_t>(lumaBytes / 4);
    if (!m_v)
    {
        return E_OUTOFMEMORY;
    }
    m_dcStore = Allocate<int16_t>(macroblocks * 8);
    if (!m_dcStore)
    {
        return E_OUTOFMEMORY;
    }
    m_coefficients = Allocate<int16_t>(6 * 64);
    if (!m_coefficients)
    {
        return E_OUTOFMEMORY;
    }
    m_planes = PlanarPicture{m_y.get(), m_u.get(), m_v.get(),     m_paddedWidth, m_paddedWidth / 2,
                             m_width,   m_height,  m_paddedWidth, m_paddedHeight};

    m_frameCount = 0;
    m_previousSeconds = 0;
    m_seconds = 0;
    m_timeResolution = timeResolution;
    m_ticksPerFrame = ticksPerFrame;
    m_timeIncrementBits = 1;
    while (m_timeIncrementBits < 16 && timeResolution > (1u << m_timeIncrementBits))
    {
        ++m_timeIncrementBits;
    }
    m_quantiser = kQuantiser;
    m_quantType = 1;
    m_initialised = true;
    return S_OK;
}

void CMpeg4IntraEncoder::SetOutputBuffer(uint8_t *buffer, size_t capacity)
{
    m_writer.Reset(buffer, capacity);
}

size_t CMpeg4IntraEncoder::GetMaxOutputBytes() const
{
    return static_cast<size_t>(m_mbPerRow) * static_cast<size_t>(m_mbRows) * kBytesPerMacroblockBound +
           kHeaderBytesBound;
}

void CMpeg4IntraEncoder::WriteStreamHeader()
{
    BitWriter &w = m_writer;
    w.AlignToByte();
    w.PutBits(32, kVideoObjectStartCode);
    w.PutBits(32, kVideoObjectLayerStartCode);
    w.PutBit(0);     // random_accessible_vol
    w.PutBits(8, 0); // video_object_type_indication
    w.PutBit(0);     // is_object_layer_identifier
    w.PutBits(4, 1); // aspect_ratio_info: square pixels
    w.PutBit(0);     // vol_control_parameters
    w.PutBits(2, 0); // video_object_layer_shape: rectangular
    w.PutBit(1);     // marker
    w.PutBits(16, m_timeResolution);
    w.PutBit(1); // marker
    w.PutBit(0); // fixed_vop_rate
    w.PutBit(1); // marker
    w.PutBits(13, static_cast<uint32_t>(m_width));
    w.PutBit(1); // marker
    w.PutBits(13, static_cast<uint32_t>(m_height));
    w.PutBit(1); // marker
    w.PutBit(m_interlaced ? 1 : 0);
    w.PutBit(1); // obmc_disable
    w.PutBit(0); // sprite_enable
    w.PutBit(0); // not_8_bit
    w.PutBit(static_cast<unsigned>(m_quantType));
    if (m_quantType == 1)
    {
        w.PutBit(0); // load_intra_quant_mat
        w.PutBit(0); // load_nonintra_quant_mat
    }
    w.PutBit(1); // complexity_estimation_disable
    w.PutBit(1); // resync_marker_disable
    w.PutBit(0); // data_partitioned
    w.PutBit(0); // scalability
}

void CMpeg4IntraEncoder::WriteVopHeader()
{
    BitWriter &w = m_writer;
    w.AlignToByte();
    w.PutBits(32, kVopStartCode);
    w.PutBits(2, 0); // vop_coding_type: I
    // The time in whole ticks, so no rounding can carry the increment up to the
    // resolution; 64 bits so a long run does not overflow.
    const uint64_t ticks = m_frameCount * m_ticksPerFrame;
    const uint64_t seconds = ticks / m_timeResolution;
    m_previousSeconds = m_seconds;
    for (uint64_t s = m_seconds; s < seconds; ++s)
    {
        w.PutBit(1); // modulo_time_base
    }
    m_seconds = seconds;
    w.PutBit(0);
    w.PutBit(1); // marker
    w.PutBits(m_timeIncrementBits, static_cast<uint32_t>(ticks - seconds * m_timeResolution));
    w.PutBit(1);     // marker
    w.PutBit(1);     // vop_coded
    w.PutBits(3, 0); // intra_dc_vlc_thr: DC always with the DC size codes
    if (m_interlaced)
    {
        w.PutBit(m_topFieldFirst ? 1 : 0);
        w.PutBit(0); // alternate_vertical_scan_flag
    }
    w.PutBits(5, static_cast<uint32_t>(m_quantiser));
}

HRESULT CMpeg4IntraEncoder::EncodeFrame(const uint8_t *input, bool flip)
{
    if (!m_initialised)
    {
        return E_UNEXPECTED;
    }
    if (input == nullptr)
    {
        return E_INVALIDARG;
    }
    ConvertPicture(m_layout, input, m_planes);
    if (flip)
    {
        FlipPlane(m_planes.y, m_planes.lumaStride, static_cast<size_t>(m_width), m_height);
        FlipPlane(m_planes.u, m_planes.chromaStride, static_cast<size_t>((m_width + 1) / 2), (m_height + 1) / 2);
        FlipPlane(m_planes.v, m_planes.chromaStride, static_cast<size_t>((m_width + 1) / 2), (m_height + 1) / 2);
    }
    ReplicateEdges(m_planes);
    WriteVopHeader();
    EncodeMacroblocks();
    ++m_frameCount;
    return m_writer.HasOverflowed() ? E_NOT_SUFFICIENT_BUFFER : S_OK;
}

void CMpeg4IntraEncoder::EncodeMacroblocks()
{
    const IntraBlockKernels &k = *m_kernels;
    int16_t(*blocks)[64] = reinterpret_cast<int16_t(*)[64]>(m_coefficients.get());
    const ptrdiff_t lumaStride = m_planes.lumaStride;
    const ptrdiff_t chromaStride = m_planes.chromaStride;
    for (int r = 0; r < m_mbRows; ++r)
    {
        for (int c = 0; c < m_mbPerRow; ++c)
        {
            const uint8_t *luma = m_planes.y + 16 * r * lumaStride + 16 * c;
            const bool fieldDct = m_interlaced && k.preferFieldDct(luma, lumaStride);
            // Field DCT: blocks 0 and 1 take the even lines, 2 and 3 the odd lines.
            const ptrdiff_t blockStride = fieldDct ? 2 * lumaStride : lumaStride;
            const ptrdiff_t lowerOffset = fieldDct ? lumaStride : 8 * lumaStride;
            const uint8_t *sources[6] = {luma,
                                         luma + 8,
                                         luma + lowerOffset,
                                         luma + lowerOffset + 8,
                                         m_planes.u + 8 * r * chromaStride + 8 * c,
                                         m_planes.v + 8 * r * chromaStride + 8 * c};
            unsigned cbp = 0;
            for (int b = 0; b < 6; ++b)
            {
                k.forwardDct(sources[b], b < 4 ? blockStride : chromaStride, blocks[b]);
                const int f0 = blocks[b][0];
                if (k.quantiseIntra(blocks[b]) != 0)
                {
                    cbp |= 1u << (5 - b);
                }
                blocks[b][0] = static_cast<int16_t>(DcLevelFromCoefficient(f0));
            }
            int16_t *record = m_dcStore.get() + 8 * (r * m_mbPerRow + c);
            const DcNeighbours neighbours = {c > 0 ? record - 8 : nullptr,
                                             r > 0 && c > 0 ? record - 8 * (m_mbPerRow + 1) : nullptr,
                                             r > 0 ? record - 8 * m_mbPerRow : nullptr};
            CodeIntraMacroblock(m_writer, blocks, cbp, record, neighbours, m_interlaced, fieldDct);
        }
    }
}

void CMpeg4IntraEncoder::AlignToByte()
{
    m_writer.AlignToByte();
}

size_t CMpeg4IntraEncoder::GetByteCount()
{
    return m_writer.GetByteCount();
}

void CMpeg4IntraEncoder::FreeBuffers()
{
    m_initialised = false;
    m_y.reset();
    m_u.reset();
    m_v.reset();
    m_dcStore.reset();
    m_coefficients.reset();
    m_planes = PlanarPicture{};
}

} // namespace tx::mpeg4
