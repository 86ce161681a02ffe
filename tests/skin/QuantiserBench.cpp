// Times quantising and converting full 720x480 OSD frames (a photograph-like frame and
// a menu-like frame) and prints the median and 95th percentile per frame. Also counts
// heap allocations made while frames are processed: there must be none.
#include "txHost/skin/OsdPalette.h"
#include "txHost/skin/OsdQuantiser.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <random>
#include <vector>

namespace
{
std::atomic<long> g_allocations{0};
}

void *operator new(std::size_t size)
{
    ++g_allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void *operator new(std::size_t size, const std::nothrow_t &) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void *p) noexcept
{
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{
using namespace tx::skin;

constexpr uint32_t kWidth = 720;
constexpr uint32_t kHeight = 480;

uint32_t Rgb(int red, int green, int blue)
{
    return (static_cast<uint32_t>(std::clamp(red, 0, 255)) << 16) |
           (static_cast<uint32_t>(std::clamp(green, 0, 255)) << 8) | static_cast<uint32_t>(std::clamp(blue, 0, 255));
}

// Smooth shapes, soft shading and sensor grain: many thousands of distinct colours.
std::vector<uint32_t> PhotoFrame()
{
    std::mt19937 random(1);
    std::vector<uint32_t> pixels(kWidth * kHeight);
    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
        {
            const double u = x / double(kWidth), v = y / double(kHeight);
            const double sky = v > 0.55 ? 1.0 : 0.0;
            const double hill = 0.5 + 0.5 * std::sin(9 * u + 3 * std::cos(5 * v));
            const double light = 0.6 + 0.4 * std::cos(4 * (u - 0.3) * (v - 0.6) * 6);
            const int grain = static_cast<int>(random() % 13) - 6;
            const int red = static_cast<int>((sky * (110 + 90 * v) + (1 - sky) * (60 + 120 * hill)) * light) + grain;
            const int green =
                static_cast<int>((sky * (150 + 60 * v) + (1 - sky) * (90 + 100 * hill * u)) * light) + grain;
            const int blue =
                static_cast<int>((sky * (220 + 30 * v) + (1 - sky) * (40 + 60 * (1 - hill))) * light) - grain;
            pixels[y * kWidth + x] = Rgb(red, green, blue);
        }
    return pixels;
}

// A menu page: transparent background, flat panels, a highlighted bar, anti-aliased text.
std::vector<uint32_t> MenuFrame()
{
    std::mt19937 random(2);
    std::vector<uint32_t> pixels(kWidth * kHeight, 0xFF000000u);
    for (uint32_t y = 60; y < 420; ++y)
        for (uint32_t x = 80; x < 640; ++x)
        {
            const uint32_t line = (y - 60) / 40;
            uint32_t colour = line == 3 ? Rgb(40, 90, 200) : Rgb(24, 24, 48);
            const uint32_t inLine = (y - 60) % 40;
            if (inLine > 10 && inLine < 30 && x > 100 && x < 100 + 40 * (line + 5) && (x / 9 + inLine) % 4 != 0)
            {
                const int level = static_cast<int>(random() % 256); // glyph coverage
                colour = Rgb(24 + (230 * level) / 255, 24 + (230 * level) / 255, 48 + (200 * level) / 255);
            }
            pixels[y * kWidth + x] = colour;
        }
    return pixels;
}

void Measure(const char *name, const std::vector<uint32_t> &source, COsdQuantiser &quantiser, int frames)
{
    std::vector<uint32_t> target(source.size());
    std::vector<uint8_t> framePixels(source.size());
    std::vector<double> times;
    times.reserve(frames);
    OsdPalette palette;
    long allocations = 0;
    for (int i = 0; i < frames + 3; ++i)
    {
        std::copy(source.begin(), source.end(), target.begin()); // what composing redraws
        const long before = g_allocations.load();
        const auto start = std::chrono::steady_clock::now();
        palette.Reset();
        quantiser.QuantiseFrame(target.data(), target.size(), palette);
        quantiser.ConvertFrame(target.data(), kWidth, kHeight, palette, framePixels.data());
        const auto stop = std::chrono::steady_clock::now();
        allocations += g_allocations.load() - before;
        if (i >= 3) // the first frames warm the caches
            times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::sort(times.begin(), times.end());
    std::printf("%-6s %ux%u: median %.3f ms, p95 %.3f ms, min %.3f ms over %d frames; %u colours; %ld allocations\n",
                name, kWidth, kHeight, times[times.size() / 2], times[(times.size() * 95) / 100], times.front(), frames,
                quantiser.ColourCount(), allocations);
}
} // namespace

int main(int argc, char **argv)
{
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    COsdQuantiser quantiser;
    if (!quantiser.BuildQuantiserTables())
    {
        std::fprintf(stderr, "Failed to allocate the quantiser tables\n");
        return 1;
    }
    Measure("photo", PhotoFrame(), quantiser, frames);
    Measure("menu", MenuFrame(), quantiser, frames);
    return 0;
}
