#include "txHost/skin/OsdQuantiser.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tx::skin
{
namespace
{
constexpr uint32_t kLevelCount = 6;
// First pool position of each octree level, leaves first; the root is last.
constexpr uint32_t kLevelStart[kLevelCount + 1] = {0, 32768, 36864, 37376, 37440, 37448, 37449};
constexpr uint32_t kRootPosition = 37448;
constexpr uint32_t kPaletteSize = 256;
constexpr uint8_t kNoIndex = 0; // the colour map's "unset"
constexpr int32_t kSearchBound = 3 * 255 * 255;
// Node links: 0 = none, kFixedLink = a leaf that a fixed entry owns, otherwise the
// pool position of the node that took this one over (always a parent, never 0).
constexpr uint16_t kFixedLink = 0xFFFF;
static_assert(kLevelStart[kLevelCount] == COsdQuantiser::kNodeCount);

constexpr bool InBall(int b, int g, int r)
{
    return b * b + g * g + r * r <= 16;
}

constexpr size_t CountBall()
{
    size_t count = 0;
    for (int b = -4; b <= 4; ++b)
        for (int g = -4; g <= 4; ++g)
            for (int r = -4; r <= 4; ++r)
                count += InBall(b, g, r) ? 1 : 0;
    return count;
}
static_assert(CountBall() == 257);

constexpr std::array<OsdBallOffset, 257> MakeColourBall()
{
    std::array<OsdBallOffset, 257> ball{};
    size_t count = 0;
    for (int b = -4; b <= 4; ++b)
        for (int g = -4; g <= 4; ++g)
            for (int r = -4; r <= 4; ++r)
                if (InBall(b, g, r))
                    ball[count++] =
                        OsdBallOffset{static_cast<int16_t>(b), static_cast<int16_t>(g), static_cast<int16_t>(r), 0};
    return ball;
}
constexpr std::array<OsdBallOffset, 257> kColourBall = MakeColourBall();

inline int32_t Blue(uint32_t c)
{
    return static_cast<int32_t>(c & 0xFF);
}
inline int32_t Green(uint32_t c)
{
    return static_cast<int32_t>((c >> 8) & 0xFF);
}
inline int32_t Red(uint32_t c)
{
    return static_cast<int32_t>((c >> 16) & 0xFF);
}
inline bool IsOpaque(uint32_t colour)
{
    return (colour >> 24) == 0xFF;
}

#if defined(__SSE2__)
// Adds a share (16-bit lanes B, G, R, 0) to one colour pixel; packing saturates to 0..255.
inline void AddShare(uint32_t &pixel, __m128i share)
{
    const uint32_t p = pixel;
    if (p & 0x80000000u)
        return;
    const __m128i sum =
        _mm_add_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), _mm_setzero_si128()), share);
    pixel = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(sum, sum)));
}
#else
// Adds one share of the diffused error to a colour pixel, each channel clamped to
// 0..255 at once; index pixels and the top byte are left alone.
inline void AddError(uint32_t &pixel, int32_t shareBlue, int32_t shareGreen, int32_t shareRed)
{
    const uint32_t p = pixel;
    if (p & 0x80000000u)
        return;
    const int32_t b = std::clamp(Blue(p) + shareBlue, 0, 255);
    const int32_t g = std::clamp(Green(p) + shareGreen, 0, 255);
    const int32_t r = std::clamp(Red(p) + shareRed, 0, 255);
    pixel = (p & 0xFF000000u) | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
            static_cast<uint32_t>(b);
}
#endif
} // namespace

std::span<const OsdBallOffset> OsdColourBall() noexcept
{
    return kColourBall;
}

struct COsdQuantiser::Store
{
    // The colour sums and pixel count of each node: the part every colour pixel touches.
    struct Sums
    {
        uint32_t blue;
        uint32_t green;
        uint32_t red;
        uint32_t count;
    };

    Sums sums[kNodeCount];
    uint16_t link[kNodeCount];
    uint8_t paletteIndex[kNodeCount];
    uint16_t leafOfCell[kCellCount];
    uint32_t nodeOfIndex[kPaletteSize];
    uint8_t ring[kPaletteSize];
    uint8_t colourMap[kCellCount];
    // Squared distance from each cell's corner to the entry the map holds there;
    // valid where the map is set.
    uint32_t mapDistance[kCellCount];
    // The opaque entries in index order, for the exhaustive search; the tail up to a
    // multiple of 8 holds a colour too far away to ever win.
    int16_t searchBlue[kPaletteSize + 8];
    int16_t searchGreen[kPaletteSize + 8];
    int16_t searchRed[kPaletteSize + 8];
    uint8_t searchIndex[kPaletteSize + 8];
    uint32_t searchCount;
#if defined(__SSE2__)
    // The palette colours widened to 16-bit lanes B, G, R, 0 for the error arithmetic.
    __m128i wideColours[kPaletteSize];
#endif
};

COsdQuantiser::COsdQuantiser() noexcept = default;
COsdQuantiser::~COsdQuantiser() = default;

bool COsdQuantiser::BuildQuantiserTables() noexcept
{
    if (m_store)
        return true;
    std::unique_ptr<Store> store(new (std::nothrow) Store);
    if (!store)
        return false;
    std::memset(store.get(), 0, sizeof(Store));
    for (uint32_t red = 0; red < 32; ++red)
        for (uint32_t green = 0; green < 32; ++green)
            for (uint32_t blue = 0; blue < 32; ++blue)
                store->leafOfCell[blue + 32 * green + 1024 * red] =
                    static_cast<uint16_t>(InterleaveCubeIndex(red, green, blue));
    m_store = std::move(store);
    return true;
}

const uint8_t *COsdQuantiser::ColourMap() const noexcept
{
    return m_store ? m_store->colourMap : nullptr;
}

void COsdQuantiser::AssignIndex(uint32_t node) noexcept
{
    Store &s = *m_store;
    const uint8_t index = s.ring[m_ringRead++];
    s.paletteIndex[node] = index;
    s.nodeOfIndex[index] = node;
    ++m_colours;
}

// Merges the next group of 8 siblings into their parent. The position only moves
// forward, leaves first, so the finest distinctions go first. False at the root.
bool COsdQuantiser::ReduceOnce() noexcept
{
    Store &s = *m_store;
    const uint32_t first = m_reductionPosition;
    if (first >= kRootPosition)
        return false;
    uint32_t level = 0;
    while (first >= kLevelStart[level + 1])
        ++level;
    const uint32_t parent = kLevelStart[level + 1] + (first - kLevelStart[level]) / 8;
    Store::Sums &parentSums = s.sums[parent];
    bool parentNeedsIndex = false;
    for (uint32_t sibling = first; sibling < first + 8; ++sibling)
    {
        const Store::Sums &siblingSums = s.sums[sibling];
        if (siblingSums.count != 0)
        {
            if (parentSums.count == 0)
                parentNeedsIndex = true;
            parentSums.blue += siblingSums.blue;
            parentSums.green += siblingSums.green;
            parentSums.red += siblingSums.red;
            parentSums.count += siblingSums.count;
            // A node made by the pixel that forced this reduction has no index yet;
            // its 0 goes back all the same, and the count drops with it.
            s.ring[m_ringWrite++] = s.paletteIndex[sibling];
            --m_colours;
        }
        // A fixed leaf stays fixed: its pixels are never counted, merged or not.
        if (s.link[sibling] != kFixedLink)
            s.link[sibling] = static_cast<uint16_t>(parent);
    }
    if (parentNeedsIndex)
        AssignIndex(parent);
    m_reductionPosition = first + 8;
    return true;
}

void COsdQuantiser::QuantiseFrame(const uint32_t *pixels, size_t pixelCount, OsdPalette &palette) noexcept
{
    if (!m_store)
        return;
    Store &s = *m_store;
    const uint32_t fixed = std::min<uint32_t>(palette.count, kPaletteSize);

    std::memset(s.sums, 0, sizeof(s.sums));
    std::memset(s.link, 0, sizeof(s.link));
    std::memset(s.paletteIndex, 0, sizeof(s.paletteIndex));
    std::memset(s.nodeOfIndex, 0, sizeof(s.nodeOfIndex));
    std::memset(s.colourMap, 0, sizeof(s.colourMap));
    for (uint32_t i = 0; i < kPaletteSize; ++i)
        s.ring[i] = static_cast<uint8_t>(i);
    m_ringRead = static_cast<uint8_t>(fixed);
    m_ringWrite = 0;
    m_colours = fixed;
    m_reductionPosition = 0;

    for (uint32_t i = 0; i < fixed; ++i)
    {
        if (!IsOpaque(palette.colours[i]))
            continue;
        const uint32_t leaf = s.leafOfCell[OsdCubeCell(palette.colours[i])];
        s.link[leaf] = kFixedLink;
        s.paletteIndex[leaf] = static_cast<uint8_t>(i);
    }

    // With every entry taken by the elements there is nothing to count: the octree
    // would have to be reduced beyond its root.
    if (fixed < kPaletteSize)
        CountColours(pixels, pixelCount);

    for (uint32_t index = fixed; index < m_colours; ++index)
    {
        const Store::Sums &node = s.sums[s.nodeOfIndex[index]];
        if (node.count == 0)
        {
            palette.colours[index] = 0;
            palette.entries[index] = kOsdTransparentEntry;
            continue;
        }
        const uint32_t colour =
            0xFF000000u | ((node.red / node.count) << 16) | ((node.green / node.count) << 8) | (node.blue / node.count);
        palette.colours[index] = colour;
        palette.entries[index] = ToOsdPaletteEntry(colour);
    }
    // Reductions can leave fewer colours than the elements fixed: their entries stay.
    for (uint32_t index = std::max(m_colours, fixed); index < kPaletteSize; ++index)
    {
        palette.colours[index] = 0;
        palette.entries[index] = kOsdTransparentEntry;
    }

    BuildColourMap(palette);
}

void COsdQuantiser::CountColours(const uint32_t *pixels, size_t pixelCount) noexcept
{
    Store &s = *m_store;
    // A run of one colour lands on the same node; only the first pixel of a run takes
    // the full path. Null: the run's leaf is fixed.
    uint32_t lastPixel = 0xFFFFFFFFu;
    Store::Sums *lastNode = nullptr;
    for (size_t i = 0; i < pixelCount; ++i)
    {
        const uint32_t pixel = pixels[i];
        if (pixel >> 24)
            continue;
        const uint32_t blue = pixel & 0xFF, green = (pixel >> 8) & 0xFF, red = (pixel >> 16) & 0xFF;
        if (pixel != lastPixel)
        {
            lastPixel = pixel;
            lastNode = nullptr;
            const uint32_t leaf = s.leafOfCell[OsdCubeCell(pixel)];
            uint32_t node = leaf;
            uint32_t link = s.link[leaf];
            if (link == kFixedLink)
                continue;
            while (link)
            {
                node = link;
                link = s.link[node];
            }
            // Shortening the leaf's chain changes nothing but the walk.
            if (node != leaf)
                s.link[leaf] = static_cast<uint16_t>(node);
            if (s.sums[node].count == 0)
            {
                // A new colour: make room first, then give it an index, unless the
                // reduction merged this very node away.
                Store::Sums &sums = s.sums[node];
                sums.blue = blue;
                sums.green = green;
                sums.red = red;
                sums.count = 1;
                while (m_colours >= kPaletteSize)
                {
                    if (!ReduceOnce())
                        break;
                }
                if (node >= m_reductionPosition && m_colours < kPaletteSize)
                    AssignIndex(node);
                while (s.link[node])
                    node = s.link[node];
                lastNode = &s.sums[node];
                continue;
            }
            lastNode = &s.sums[node];
        }
        if (lastNode)
        {
            lastNode->blue += blue;
            lastNode->green += green;
            lastNode->red += red;
            ++lastNode->count;
        }
    }
}

void COsdQuantiser::BuildColourMap(const OsdPalette &palette) noexcept
{
    Store &s = *m_store;
    s.searchCount = 0;
    for (uint32_t index = 0; index < kPaletteSize; ++index)
    {
        const uint32_t colour = palette.colours[index];
        if (!IsOpaque(colour))
            continue;
        const int32_t blue = Blue(colour), green = Green(colour), red = Red(colour);
        s.searchBlue[s.searchCount] = static_cast<int16_t>(blue);
        s.searchGreen[s.searchCount] = static_cast<int16_t>(green);
        s.searchRed[s.searchCount] = static_cast<int16_t>(red);
        s.searchIndex[s.searchCount] = static_cast<uint8_t>(index);
        ++s.searchCount;

        const int32_t blue5 = blue >> 3, green5 = green >> 3, red5 = red >> 3;
        for (const OsdBallOffset &offset : kColourBall)
        {
            const int32_t cb = blue5 + offset.blue, cg = green5 + offset.green, cr = red5 + offset.red;
            if (cb < 0 || cb > 31 || cg < 0 || cg > 31 || cr < 0 || cr > 31)
                continue;
            const uint32_t cell = static_cast<uint32_t>(cb + 32 * cg + 1024 * cr);
            const int32_t db = 8 * cb - blue, dg = 8 * cg - green, dr = 8 * cr - red;
            const uint32_t distance = static_cast<uint32_t>(db * db + dg * dg + dr * dr);
            // Ties go to the later entry.
            if (s.colourMap[cell] == kNoIndex || s.mapDistance[cell] >= distance)
            {
                s.colourMap[cell] = static_cast<uint8_t>(index);
                s.mapDistance[cell] = distance;
            }
        }
    }
    // Padding for the search, 8 entries at a time: 3 x 1000^2 is beyond any bound.
    for (uint32_t k = s.searchCount; k < kPaletteSize + 8; ++k)
    {
        s.searchBlue[k] = s.searchGreen[k] = s.searchRed[k] = 1000;
        s.searchIndex[k] = kNoIndex;
    }
}

uint8_t COsdQuantiser::SearchNearest(uint32_t pixel) const noexcept
{
    // Nearest opaque entry to the pixel itself, if closer than the bound; ties go to
    // the lower index.
    const Store &s = *m_store;
#if defined(__SSE2__)
    const __m128i blue = _mm_set1_epi16(static_cast<int16_t>(Blue(pixel)));
    const __m128i green = _mm_set1_epi16(static_cast<int16_t>(Green(pixel)));
    const __m128i red = _mm_set1_epi16(static_cast<int16_t>(Red(pixel)));
    const __m128i zero = _mm_setzero_si128();
    // Per lane the best distance so far and its position; lane j sees positions j, j+4, ...
    __m128i bestLow = _mm_set1_epi32(kSearchBound), bestHigh = bestLow;
    __m128i atLow = _mm_set1_epi32(-1), atHigh = atLow;
    __m128i position = _mm_setr_epi32(0, 1, 2, 3);
    const __m128i four = _mm_set1_epi32(4);
    for (uint32_t k = 0; k < s.searchCount; k += 8)
    {
        const __m128i db = _mm_sub_epi16(blue, _mm_loadu_si128(reinterpret_cast<const __m128i *>(s.searchBlue + k)));
        const __m128i dg = _mm_sub_epi16(green, _mm_loadu_si128(reinterpret_cast<const __m128i *>(s.searchGreen + k)));
        const __m128i dr = _mm_sub_epi16(red, _mm_loadu_si128(reinterpret_cast<const __m128i *>(s.searchRed + k)));
        const __m128i bgLow = _mm_unpacklo_epi16(db, dg), bgHigh = _mm_unpackhi_epi16(db, dg);
        const __m128i rLow = _mm_unpacklo_epi16(dr, zero), rHigh = _mm_unpackhi_epi16(dr, zero);
        const __m128i distLow = _mm_add_epi32(_mm_madd_epi16(bgLow, bgLow), _mm_madd_epi16(rLow, rLow));
        const __m128i distHigh = _mm_add_epi32(_mm_madd_epi16(bgHigh, bgHigh), _mm_madd_epi16(rHigh, rHigh));
        const __m128i lessLow = _mm_cmplt_epi32(distLow, bestLow);
        const __m128i lessHigh = _mm_cmplt_epi32(distHigh, bestHigh);
        bestLow = _mm_or_si128(_mm_and_si128(lessLow, distLow), _mm_andnot_si128(lessLow, bestLow));
        bestHigh = _mm_or_si128(_mm_and_si128(lessHigh, distHigh), _mm_andnot_si128(lessHigh, bestHigh));
        atLow = _mm_or_si128(_mm_and_si128(lessLow, position), _mm_andnot_si128(lessLow, atLow));
        const __m128i positionHigh = _mm_add_epi32(position, four);
        atHigh = _mm_or_si128(_mm_and_si128(lessHigh, positionHigh), _mm_andnot_si128(lessHigh, atHigh));
        position = _mm_add_epi32(positionHigh, four);
    }
    alignas(16) int32_t best[8];
    alignas(16) int32_t at[8];
    _mm_store_si128(reinterpret_cast<__m128i *>(best), bestLow);
    _mm_store_si128(reinterpret_cast<__m128i *>(best + 4), bestHigh);
    _mm_store_si128(reinterpret_cast<__m128i *>(at), atLow);
    _mm_store_si128(reinterpret_cast<__m128i *>(at + 4), atHigh);
    int32_t winnerDistance = kSearchBound;
    int32_t winner = -1;
    for (int lane = 0; lane < 8; ++lane)
    {
        if (at[lane] < 0)
            continue;
        if (best[lane] < winnerDistance || (best[lane] == winnerDistance && at[lane] < winner))
        {
            winnerDistance = best[lane];
            winner = at[lane];
        }
    }
    return winner < 0 ? kNoIndex : s.searchIndex[winner];
#else
    const int32_t blue = Blue(pixel), green = Green(pixel), red = Red(pixel);
    int32_t best = kSearchBound;
    uint8_t index = kNoIndex;
    for (uint32_t k = 0; k < s.searchCount; ++k)
    {
        const int32_t db = blue - s.searchBlue[k], dg = green - s.searchGreen[k], dr = red - s.searchRed[k];
        const int32_t distance = db * db + dg * dg + dr * dr;
        if (distance < best)
        {
            best = distance;
            index = s.searchIndex[k];
        }
    }
    return index;
#endif
}

// Floyd-Steinberg, line by line from the bottom: 7/16 of a pixel's error goes to the
// next pixel of its line, 3/16, 5/16 and 1/16 to the pixels before, at and after its
// column in the line converted next (the next row in memory). Each share is added and
// clamped at once; index pixels neither give nor take error, and every pixel keeps its
// top byte.
void COsdQuantiser::ConvertFrame(uint32_t *pixels, uint32_t width, uint32_t height, const OsdPalette &palette,
                                 uint8_t *framePixels) noexcept
{
    if (!m_store || width == 0 || height == 0)
        return;
    Store &s = *m_store;
    std::memset(framePixels, 0, width);
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i colourLanes = _mm_setr_epi16(-1, -1, -1, 0, 0, 0, 0, 0);
    for (uint32_t i = 0; i < kPaletteSize; ++i)
        s.wideColours[i] =
            _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(palette.colours[i] & 0x00FFFFFFu)), zero);
#endif

    // Locals, not members: stores through the frame's byte pointer may alias anything,
    // and reloading the tables' addresses would lengthen every pixel's dependency chain.
    uint8_t *const colourMap = s.colourMap;
#if defined(__SSE2__)
    const __m128i *const wideColours = s.wideColours;
#endif

    // Memory row m is picture line height - 1 - m: the bottom line comes first.
    for (uint32_t m = 0; m + 1 < height; ++m)
    {
        uint32_t *row = pixels + static_cast<size_t>(m) * width;
        uint32_t *above = (m + 2 < height) ? row + width : nullptr;
        uint8_t *out = framePixels + static_cast<size_t>(height - 1 - m) * width;
#if defined(__SSE2__)
        // The share for the next pixel of the line stays in a register.
        __m128i carry = zero;
        for (uint32_t x = 0; x < width; ++x)
        {
            uint32_t pixel = row[x];
            if (pixel & 0x80000000u)
            {
                out[x] = static_cast<uint8_t>(pixel);
                carry = zero;
                continue;
            }
            const __m128i sum =
                _mm_add_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(pixel)), zero), carry);
            const __m128i packed = _mm_packus_epi16(sum, sum);
            pixel = static_cast<uint32_t>(_mm_cvtsi128_si32(packed));
            row[x] = pixel;

            const uint32_t cell = OsdCubeCell(pixel);
            uint8_t index = colourMap[cell];
            if (index == kNoIndex)
            {
                index = SearchNearest(pixel);
                colourMap[cell] = index;
            }
            out[x] = index;

            const __m128i error =
                _mm_sub_epi16(_mm_and_si128(_mm_unpacklo_epi8(packed, zero), colourLanes), wideColours[index]);
            // e x 7, e x 3 and e x 5 fit in 16 bits; the shifts are arithmetic.
            carry = (x + 1 < width) ? _mm_srai_epi16(_mm_sub_epi16(_mm_slli_epi16(error, 3), error), 4) : zero;
            if (!above)
                continue;
            const __m128i share35 = _mm_srai_epi16(_mm_unpacklo_epi64(_mm_add_epi16(_mm_slli_epi16(error, 1), error),
                                                                      _mm_add_epi16(_mm_slli_epi16(error, 2), error)),
                                                   4);
            const __m128i share1 = _mm_srai_epi16(error, 4); // upper half stays 0
            if (x >= 1 && x + 2 < width)
            {
                // Pixels x-1 .. x+2 at once; x+2 takes nothing, index pixels keep their value.
                uint32_t *at = above + x - 1;
                const __m128i original = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
                const __m128i low = _mm_add_epi16(_mm_unpacklo_epi8(original, zero), share35);
                const __m128i high = _mm_add_epi16(_mm_unpackhi_epi8(original, zero), share1);
                const __m128i added = _mm_packus_epi16(low, high);
                const __m128i isIndex = _mm_srai_epi32(original, 31);
                _mm_storeu_si128(reinterpret_cast<__m128i *>(at),
                                 _mm_or_si128(_mm_and_si128(isIndex, original), _mm_andnot_si128(isIndex, added)));
                continue;
            }
            if (x >= 1)
                AddShare(above[x - 1], share35);
            AddShare(above[x], _mm_unpackhi_epi64(share35, share35));
            if (x + 1 < width)
                AddShare(above[x + 1], share1);
        }
#else
        for (uint32_t x = 0; x < width; ++x)
        {
            const uint32_t pixel = row[x];
            if (pixel & 0x80000000u)
            {
                out[x] = static_cast<uint8_t>(pixel);
                continue;
            }
            const uint32_t cell = OsdCubeCell(pixel);
            uint8_t index = colourMap[cell];
            if (index == kNoIndex)
            {
                index = SearchNearest(pixel);
                colourMap[cell] = index;
            }
            out[x] = index;
            const uint32_t chosen = palette.colours[index];
            const int32_t eb = Blue(pixel) - Blue(chosen), eg = Green(pixel) - Green(chosen),
                          er = Red(pixel) - Red(chosen);
            if (x + 1 < width)
                AddError(row[x + 1], (eb * 7) >> 4, (eg * 7) >> 4, (er * 7) >> 4);
            if (!above)
                continue;
            if (x > 0)
                AddError(above[x - 1], (eb * 3) >> 4, (eg * 3) >> 4, (er * 3) >> 4);
            AddError(above[x], (eb * 5) >> 4, (eg * 5) >> 4, (er * 5) >> 4);
            if (x + 1 < width)
                AddError(above[x + 1], eb >> 4, eg >> 4, er >> 4);
        }
#endif
    }
}

} // namespace tx::skin
