#pragma once
// Pictures and small helpers shared by the encoder tests and the encoder benchmark.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tx::test
{

// A planar 4:2:0 picture, Y then U then V, chroma (w + 1) / 2 x (h + 1) / 2.
struct I420Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> data;

    size_t LumaBytes() const
    {
        return static_cast<size_t>(width) * static_cast<size_t>(height);
    }
    int ChromaWidth() const
    {
        return (width + 1) / 2;
    }
    int ChromaHeight() const
    {
        return (height + 1) / 2;
    }
    size_t ChromaBytes() const
    {
        return static_cast<size_t>(ChromaWidth()) * static_cast<size_t>(ChromaHeight());
    }
    uint8_t *Y()
    {
        return data.data();
    }
    uint8_t *U()
    {
        return data.data() + LumaBytes();
    }
    uint8_t *V()
    {
        return data.data() + LumaBytes() + ChromaBytes();
    }
    const uint8_t *Y() const
    {
        return data.data();
    }
    const uint8_t *U() const
    {
        return data.data() + LumaBytes();
    }
    const uint8_t *V() const
    {
        return data.data() + LumaBytes() + ChromaBytes();
    }
};

I420Picture MakeBlankI420(int width, int height);
// Smooth gradients and soft shapes with a fine texture, moving with frame: camera-like.
I420Picture MakeNaturalI420(int width, int height, int frame);
I420Picture MakeFlatI420(int width, int height, uint8_t y, uint8_t u, uint8_t v);
// Uniform noise in every sample.
I420Picture MakeNoiseI420(int width, int height, uint32_t seed);

// Deterministic generator for tests (xorshift).
class TestRandom
{
  public:
    explicit TestRandom(uint32_t seed) : m_state(seed != 0 ? seed : 0x9E3779B9u)
    {
    }
    uint32_t Next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    int Range(int low, int high) // inclusive
    {
        return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1));
    }

  private:
    uint32_t m_state;
};

// PSNR of two sample arrays in dB; 100 when they are equal.
double Psnr(const uint8_t *a, const uint8_t *b, size_t count);

// The first bitCount bits of data as a string of 0 and 1.
std::string BitString(const uint8_t *data, size_t bitCount);
// A string of 0 and 1 with spaces removed, for readable expectations.
std::string Bits(const char *text);

// Files and processes for the checks that run ffmpeg (native builds only).
bool FfmpegAvailable();
// Exit status of a shell command, or -1 when it could not be run.
int RunCommand(const std::string &command);
// A path in a scratch folder private to this process.
std::string ScratchPath(const std::string &name);
bool WriteWholeFile(const std::string &path, const std::vector<uint8_t> &bytes);
std::vector<uint8_t> ReadWholeFile(const std::string &path);

} // namespace tx::test
