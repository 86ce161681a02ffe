#include "EncoderTestPictures.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tx::test
{

namespace
{

uint8_t Clamp(double value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : std::lround(value));
}

// Smoothly varying texture from a hashed lattice, about +-amplitude.
double Texture(int x, int y, uint32_t seed, double amplitude)
{
    auto hash = [seed](int i, int j) {
        uint32_t h = static_cast<uint32_t>(i) * 0x8DA6B343u ^ static_cast<uint32_t>(j) * 0xD8163841u ^ seed;
        h ^= h >> 13;
        h *= 0x5BD1E995u;
        h ^= h >> 15;
        return static_cast<double>(h & 0xFFFF) / 65535.0 - 0.5;
    };
    const int cell = 3;
    const int i = x / cell;
    const int j = y / cell;
    const double fx = static_cast<double>(x % cell) / cell;
    const double fy = static_cast<double>(y % cell) / cell;
    const double top = hash(i, j) * (1 - fx) + hash(i + 1, j) * fx;
    const double bottom = hash(i, j + 1) * (1 - fx) + hash(i + 1, j + 1) * fx;
    return 2 * amplitude * (top * (1 - fy) + bottom * fy);
}

} // namespace

I420Picture MakeBlankI420(int width, int height)
{
    I420Picture p;
    p.width = width;
    p.height = height;
    p.data.assign(p.LumaBytes() + 2 * p.ChromaBytes(), 0);
    return p;
}

I420Picture MakeNaturalI420(int width, int height, int frame)
{
    I420Picture p = MakeBlankI420(width, height);
    const double t = frame * 0.07;
    const double cx = width * (0.5 + 0.3 * std::sin(t));
    const double cy = height * (0.5 + 0.25 * std::cos(t * 1.3));
    const double radius = 0.2 * (width < height ? width : height) + 1;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            double value = 60 + 110.0 * x / width + 40 * std::sin((y + frame) * 0.021) * std::cos(x * 0.013 + t);
            const double d = std::hypot(x - cx, y - cy);
            value += 50 / (1 + std::exp((d - radius) * 0.4)); // a soft-edged disc
            value += Texture(x + frame, y, 17, 6);
            p.Y()[static_cast<size_t>(y) * width + x] = Clamp(value);
        }
    }
    for (int y = 0; y < p.ChromaHeight(); ++y)
    {
        for (int x = 0; x < p.ChromaWidth(); ++x)
        {
            const size_t at = static_cast<size_t>(y) * p.ChromaWidth() + x;
            p.U()[at] = Clamp(128 + 40 * std::sin(x * 0.02 + t) + Texture(x, y, 5, 3));
            p.V()[at] = Clamp(128 + 35 * std::cos(y * 0.03 - t) + Texture(x, y, 9, 3));
        }
    }
    return p;
}

I420Picture MakeFlatI420(int width, int height, uint8_t y, uint8_t u, uint8_t v)
{
    I420Picture p = MakeBlankI420(width, height);
    std::fill(p.Y(), p.Y() + p.LumaBytes(), y);
    std::fill(p.U(), p.U() + p.ChromaBytes(), u);
    std::fill(p.V(), p.V() + p.ChromaBytes(), v);
    return p;
}

I420Picture MakeNoiseI420(int width, int height, uint32_t seed)
{
    I420Picture p = MakeBlankI420(width, height);
    TestRandom random(seed);
    for (uint8_t &sample : p.data)
    {
        sample = static_cast<uint8_t>(random.Next() >> 24);
    }
    return p;
}

double Psnr(const uint8_t *a, const uint8_t *b, size_t count)
{
    double sum = 0;
    for (size_t i = 0; i < count; ++i)
    {
        const double d = static_cast<double>(a[i]) - b[i];
        sum += d * d;
    }
    if (sum == 0 || count == 0)
    {
        return 100;
    }
    return 10 * std::log10(255.0 * 255.0 * static_cast<double>(count) / sum);
}

std::string BitString(const uint8_t *data, size_t bitCount)
{
    std::string bits;
    bits.reserve(bitCount);
    for (size_t i = 0; i < bitCount; ++i)
    {
        bits.push_back(((data[i / 8] >> (7 - i % 8)) & 1) != 0 ? '1' : '0');
    }
    return bits;
}

std::string Bits(const char *text)
{
    std::string bits;
    for (const char *p = text; *p != '\0'; ++p)
    {
        if (*p == '0' || *p == '1')
        {
            bits.push_back(*p);
        }
    }
    return bits;
}

bool FfmpegAvailable()
{
#if defined(_WIN32)
    return false;
#else
    return RunCommand("ffmpeg -version >/dev/null 2>&1") == 0;
#endif
}

int RunCommand(const std::string &command)
{
#if defined(_WIN32)
    (void)command;
    return -1;
#else
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

std::string ScratchPath(const std::string &name)
{
#if defined(_WIN32)
    const std::string folder = "txEncoderScratch";
#else
    const std::string folder = "txEncoderScratch-" + std::to_string(::getpid());
#endif
    const std::filesystem::path path = std::filesystem::temp_directory_path() / folder;
    std::filesystem::create_directories(path);
    return (path / name).string();
}

bool WriteWholeFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<uint8_t> ReadWholeFile(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace tx::test
