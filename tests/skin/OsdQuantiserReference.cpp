#include "tests/skin/OsdQuantiserReference.h"

#include <algorithm>

namespace tx::skin::reference
{
namespace
{
struct NodeRef
{
    int level = -1; // -1: none
    int position = 0;
};

struct Node
{
    uint32_t sumBlue = 0, sumGreen = 0, sumRed = 0, count = 0;
    NodeRef mergedInto;
    uint32_t index = 0;
    bool fixed = false;
};

int FloorDiv16(int value)
{
    return value >= 0 ? value / 16 : -((-value + 15) / 16);
}

int Channel(uint32_t colour, int channel) // 0 blue, 1 green, 2 red
{
    return static_cast<int>((colour >> (8 * channel)) & 0xFF);
}

int Square(int v)
{
    return v * v;
}

class Quantiser
{
  public:
    explicit Quantiser(const OsdPalette &palette) : m_palette(palette)
    {
        const int sizes[6] = {32768, 4096, 512, 64, 8, 1};
        for (int level = 0; level < 6; ++level)
            m_levels[level].resize(sizes[level]);
        m_map.assign(32768, 0);
    }

    Result Run(std::vector<uint32_t> pixels, uint32_t width, uint32_t height)
    {
        const uint32_t fixed = m_palette.count;
        for (int i = 0; i < 256; ++i)
            m_ring[i] = static_cast<uint8_t>(i);
        m_read = fixed % 256;
        m_write = 0;
        m_colours = static_cast<int>(fixed);

        for (uint32_t i = 0; i < fixed; ++i)
        {
            const uint32_t colour = m_palette.colours[i];
            if ((colour >> 24) != 255)
                continue;
            Node &leaf = m_levels[0][LeafOf(colour)];
            leaf.fixed = true;
            leaf.index = i;
        }

        if (fixed < 256)
        {
            for (uint32_t pixel : pixels)
            {
                if ((pixel >> 24) != 0)
                    continue;
                if (m_levels[0][LeafOf(pixel)].fixed)
                    continue;
                NodeRef at{0, LeafOf(pixel)};
                while (NodeAt(at).mergedInto.level >= 0)
                    at = NodeAt(at).mergedInto;
                Node &node = NodeAt(at);
                node.sumBlue += Channel(pixel, 0);
                node.sumGreen += Channel(pixel, 1);
                node.sumRed += Channel(pixel, 2);
                node.count += 1;
                if (node.count == 1)
                {
                    while (m_colours >= 256 && !m_ranPastRoot)
                        ReduceOnce();
                    const bool survived =
                        at.level > m_reduceLevel || (at.level == m_reduceLevel && at.position >= m_reducePosition);
                    if (survived && !m_ranPastRoot)
                        GiveIndex(at);
                }
            }
        }

        Result result;
        result.palette = m_palette;
        result.colourCount = static_cast<uint32_t>(m_colours);
        result.ranPastRoot = m_ranPastRoot;
        OsdPalette &out = result.palette;
        for (int index = static_cast<int>(fixed); index < m_colours; ++index)
        {
            const Node &node = NodeAt(m_nodeOfIndex[index]);
            const uint32_t colour = 0xFF000000u | ((node.sumRed / node.count) << 16) |
                                    ((node.sumGreen / node.count) << 8) | (node.sumBlue / node.count);
            out.colours[index] = colour;
            out.entries[index] = ToOsdPaletteEntry(colour);
        }
        for (int index = std::max(m_colours, static_cast<int>(fixed)); index < 256; ++index)
        {
            out.colours[index] = 0;
            out.entries[index] = OsdPaletteEntry{0, 16, 128, 128};
        }

        // Colour map from the ball around every opaque entry.
        for (int i = 0; i < 256; ++i)
        {
            const uint32_t colour = out.colours[i];
            if ((colour >> 24) != 255)
                continue;
            const int b5 = Channel(colour, 0) >> 3, g5 = Channel(colour, 1) >> 3, r5 = Channel(colour, 2) >> 3;
            for (int db = -4; db <= 4; ++db)
                for (int dg = -4; dg <= 4; ++dg)
                    for (int dr = -4; dr <= 4; ++dr)
                    {
                        if (db * db + dg * dg + dr * dr > 16)
                            continue;
                        const int b = b5 + db, g = g5 + dg, r = r5 + dr;
                        if (b < 0 || b > 31 || g < 0 || g > 31 || r < 0 || r > 31)
                            continue;
                        const int cell = b + 32 * g + 1024 * r;
                        if (m_map[cell] == 0)
                        {
                            m_map[cell] = static_cast<uint8_t>(i);
                            continue;
                        }
                        const uint32_t there = out.colours[m_map[cell]];
                        const int distThere = Square(8 * b - Channel(there, 0)) + Square(8 * g - Channel(there, 1)) +
                                              Square(8 * r - Channel(there, 2));
                        const int distNew = Square(8 * b - Channel(colour, 0)) + Square(8 * g - Channel(colour, 1)) +
                                            Square(8 * r - Channel(colour, 2));
                        if (distThere >= distNew)
                            m_map[cell] = static_cast<uint8_t>(i);
                    }
        }

        // Conversion, in picture coordinates: line y lives in memory row height - 1 - y.
        auto at = [&](uint32_t x, uint32_t y) -> uint32_t & { return pixels[(height - 1 - y) * width + x]; };
        result.frame.assign(static_cast<size_t>(width) * height, 0xEE);
        for (uint32_t x = 0; x < width; ++x)
            result.frame[x] = 0;
        for (int y = static_cast<int>(height) - 1; y >= 1; --y)
        {
            for (uint32_t x = 0; x < width; ++x)
            {
                const uint32_t pixel = at(x, static_cast<uint32_t>(y));
                if (pixel & 0x80000000u)
                {
                    result.frame[y * width + x] = static_cast<uint8_t>(pixel & 0xFF);
                    continue;
                }
                const int cell =
                    (Channel(pixel, 0) >> 3) + 32 * (Channel(pixel, 1) >> 3) + 1024 * (Channel(pixel, 2) >> 3);
                if (m_map[cell] == 0)
                {
                    int best = 195075;
                    int winner = 0;
                    for (int i = 0; i < 256; ++i)
                    {
                        const uint32_t colour = out.colours[i];
                        if ((colour >> 24) != 255)
                            continue;
                        int distance = 0;
                        for (int c = 0; c < 3; ++c)
                            distance += Square(Channel(pixel, c) - Channel(colour, c));
                        if (distance < best)
                        {
                            best = distance;
                            winner = i;
                        }
                    }
                    m_map[cell] = static_cast<uint8_t>(winner);
                }
                const uint8_t index = m_map[cell];
                result.frame[y * width + x] = index;
                int error[3];
                for (int c = 0; c < 3; ++c)
                    error[c] = static_cast<int16_t>(Channel(pixel, c) - Channel(out.colours[index], c));
                auto spread = [&](int tx, int ty, int factor) {
                    if (tx < 0 || tx >= static_cast<int>(width))
                        return;
                    uint32_t &target = at(static_cast<uint32_t>(tx), static_cast<uint32_t>(ty));
                    if (target & 0x80000000u)
                        return;
                    uint32_t value = target & 0xFF000000u;
                    for (int c = 0; c < 3; ++c)
                    {
                        const int sum = std::clamp(Channel(target, c) + FloorDiv16(error[c] * factor), 0, 255);
                        value |= static_cast<uint32_t>(sum) << (8 * c);
                    }
                    target = value;
                };
                spread(static_cast<int>(x) + 1, y, 7);
                if (y - 1 >= 1)
                {
                    spread(static_cast<int>(x) - 1, y - 1, 3);
                    spread(static_cast<int>(x), y - 1, 5);
                    spread(static_cast<int>(x) + 1, y - 1, 1);
                }
            }
        }
        result.map = m_map;
        result.pixels = std::move(pixels);
        return result;
    }

  private:
    // Walks from the root down: at each depth the child is chosen by one bit of red,
    // green and blue, most significant first.
    static int LeafOf(uint32_t colour)
    {
        const int b5 = Channel(colour, 0) >> 3, g5 = Channel(colour, 1) >> 3, r5 = Channel(colour, 2) >> 3;
        int position = 0;
        for (int bit = 4; bit >= 0; --bit)
            position = position * 8 + (((r5 >> bit) & 1) * 4 + ((g5 >> bit) & 1) * 2 + ((b5 >> bit) & 1));
        return position;
    }

    Node &NodeAt(NodeRef ref)
    {
        return m_levels[ref.level][ref.position];
    }

    void GiveIndex(NodeRef ref)
    {
        const uint8_t index = m_ring[m_read];
        m_read = (m_read + 1) % 256;
        NodeAt(ref).index = index;
        m_nodeOfIndex[index] = ref;
        m_colours += 1;
    }

    void ReduceOnce()
    {
        if (m_reduceLevel >= 5)
        {
            m_ranPastRoot = true;
            return;
        }
        const NodeRef parentRef{m_reduceLevel + 1, m_reducePosition / 8};
        Node &parent = NodeAt(parentRef);
        bool parentNeedsIndex = false;
        for (int k = 0; k < 8; ++k)
        {
            Node &sibling = m_levels[m_reduceLevel][m_reducePosition + k];
            if (sibling.count > 0)
            {
                if (parent.count == 0)
                    parentNeedsIndex = true;
                parent.sumBlue += sibling.sumBlue;
                parent.sumGreen += sibling.sumGreen;
                parent.sumRed += sibling.sumRed;
                parent.count += sibling.count;
                m_ring[m_write] = static_cast<uint8_t>(sibling.index);
                m_write = (m_write + 1) % 256;
                m_colours -= 1;
            }
            sibling.mergedInto = parentRef;
        }
        if (parentNeedsIndex)
            GiveIndex(parentRef);
        m_reducePosition += 8;
        if (m_reducePosition >= static_cast<int>(m_levels[m_reduceLevel].size()))
        {
            m_reduceLevel += 1;
            m_reducePosition = 0;
        }
    }

    OsdPalette m_palette;
    std::vector<Node> m_levels[6];
    uint8_t m_ring[256];
    int m_read = 0, m_write = 0, m_colours = 0;
    int m_reduceLevel = 0, m_reducePosition = 0;
    NodeRef m_nodeOfIndex[256];
    bool m_ranPastRoot = false;
    std::vector<uint8_t> m_map;
};
} // namespace

Result QuantiseAndConvert(const std::vector<uint32_t> &pixels, uint32_t width, uint32_t height,
                          const OsdPalette &palette)
{
    return Quantiser(palette).Run(pixels, width, height);
}

} // namespace tx::skin::reference
