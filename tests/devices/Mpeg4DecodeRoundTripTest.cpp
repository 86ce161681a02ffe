// Conformance: ffmpeg's MPEG-4 decoder reads every stream without a complaint, and the
// decoded pictures match the encoder's planes. Native only: it runs a Linux process.
#include "txHost/devices/Mpeg4IntraEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "EncoderTestPictures.h"

using namespace tx::mpeg4;
using namespace tx::test;

#if defined(_WIN32)

TEST(Mpeg4DecodeRoundTrip, FfmpegDecodesEveryStreamCloseToTheInput)
{
    GTEST_SKIP() << "the ffmpeg round trip runs in the native build only";
}

#else

namespace
{

// The input of the given layout for a picture: packed 4:2:2 repeats the chroma on both
// rows of a pair; RGB is a rough conversion of the picture, bottom-up.
std::vector<uint8_t> MakeInput(int layout, const I420Picture &p)
{
    const int w = p.width;
    const int h = p.height;
    std::vector<uint8_t> input(InputPictureBytes(layout, w, h), 0);
    const size_t rowBytes = InputRowBytes(layout, w);
    auto chromaAt = [&](const uint8_t *plane, int x, int y) { return plane[(y / 2) * p.ChromaWidth() + x / 2]; };
    switch (layout)
    {
    case kInputI420:
    case kInputYv12: {
        std::memcpy(input.data(), p.Y(), p.LumaBytes());
        const uint8_t *first = layout == kInputI420 ? p.U() : p.V();
        const uint8_t *second = layout == kInputI420 ? p.V() : p.U();
        std::memcpy(input.data() + p.LumaBytes(), first, p.ChromaBytes());
        std::memcpy(input.data() + p.LumaBytes() + p.ChromaBytes(), second, p.ChromaBytes());
        break;
    }
    case kInputYuy2:
    case kInputUyvy:
    case kInputYvyu:
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < (w + 1) / 2 * 2; ++x)
            {
                uint8_t *pair = input.data() + y * rowBytes + (x / 2) * 4;
                const uint8_t luma = p.Y()[y * w + std::min(x, w - 1)];
                const uint8_t u = chromaAt(p.U(), x, y);
                const uint8_t v = chromaAt(p.V(), x, y);
                if (layout == kInputUyvy)
                {
                    pair[1 + 2 * (x % 2)] = luma;
                    pair[0] = u;
                    pair[2] = v;
                }
                else
                {
                    pair[2 * (x % 2)] = luma;
                    pair[1] = layout == kInputYuy2 ? u : v;
                    pair[3] = layout == kInputYuy2 ? v : u;
                }
            }
        break;
    default: {
        const int bpp = layout == kInputRgb32 ? 4 : 3;
        auto clamp = [](int value) { return static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value); };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                const int luma = p.Y()[y * w + x];
                const int u = chromaAt(p.U(), x, y) - 128;
                const int v = chromaAt(p.V(), x, y) - 128;
                uint8_t *px = input.data() + (h - 1 - y) * rowBytes + x * bpp;
                px[0] = clamp(luma + 2 * u);
                px[1] = clamp(luma - u / 3 - v / 2);
                px[2] = clamp(luma + 3 * v / 2);
            }
        break;
    }
    }
    return input;
}

// The true picture area of the encoder's planes, as yuv420p.
std::vector<uint8_t> SnapshotPlanes(const CMpeg4IntraEncoder &encoder)
{
    const PlanarPicture &planes = encoder.Planes();
    const int cw = (planes.width + 1) / 2;
    const int ch = (planes.height + 1) / 2;
    std::vector<uint8_t> out;
    for (int y = 0; y < planes.height; ++y)
        out.insert(out.end(), planes.y + y * planes.lumaStride, planes.y + y * planes.lumaStride + planes.width);
    for (const uint8_t *plane : {planes.u, planes.v})
        for (int y = 0; y < ch; ++y)
            out.insert(out.end(), plane + y * planes.chromaStride, plane + y * planes.chromaStride + cw);
    return out;
}

struct Case
{
    const char *name;
    int layout;
    int width;
    int height;
    bool interlace;
    bool flip;
    int frames;
    std::function<I420Picture(int w, int h, int frame)> picture;
    double minimumPsnr; // per plane; 100 means identical
};

} // namespace

TEST(Mpeg4DecodeRoundTrip, FfmpegDecodesEveryStreamCloseToTheInput)
{
    if (!FfmpegAvailable())
        GTEST_SKIP() << "ffmpeg is not installed: the decoder round trip is skipped";
    auto natural = [](int w, int h, int f) { return MakeNaturalI420(w, h, f); };
    auto flat = [](int w, int h, int f) {
        return MakeFlatI420(w, h, static_cast<uint8_t>(16 + 50 * f), static_cast<uint8_t>(90 + 20 * f), 200);
    };
    auto alternating = [](int w, int h, int) {
        I420Picture p = MakeFlatI420(w, h, 0, 100, 160);
        for (int y = 0; y < h; ++y)
            std::memset(p.Y() + y * w, y % 2 != 0 ? 220 : 30, static_cast<size_t>(w));
        return p;
    };
    auto bars = [](int w, int h, int) { // hard-edged bars above a ramp
        I420Picture p = MakeBlankI420(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p.Y()[y * w + x] = static_cast<uint8_t>(y < h / 2 ? (x * 8 / w) * 32 : x * 255 / w);
        for (size_t i = 0; i < p.ChromaBytes(); ++i)
        {
            p.U()[i] = static_cast<uint8_t>((i * 7) % 256 / 4 + 96);
            p.V()[i] = static_cast<uint8_t>(160 - (i % p.ChromaWidth()) % 64);
        }
        return p;
    };
    auto noise = [](int w, int h, int f) { return MakeNoiseI420(w, h, static_cast<uint32_t>(f + 1)); };

    const Case cases[] = {
        {"natural 720x480", kInputI420, 720, 480, false, false, 3, natural, 40},
        {"natural 720x480 interlaced", kInputI420, 720, 480, true, false, 3, natural, 40},
        {"natural 720x576 YV12 interlaced", kInputYv12, 720, 576, true, false, 2, natural, 40},
        {"natural 352x288 YUY2", kInputYuy2, 352, 288, false, false, 2, natural, 40},
        {"natural 176x144 UYVY flipped", kInputUyvy, 176, 144, false, true, 2, natural, 40},
        {"natural 160x96 YVYU", kInputYvyu, 160, 96, false, false, 2, natural, 40},
        {"natural 320x240 RGB32", kInputRgb32, 320, 240, false, false, 2, natural, 40},
        {"natural 318x202 RGB24 flipped", kInputRgb24, 318, 202, false, true, 2, natural, 40},
        {"natural 700x470 odd size", kInputI420, 700, 470, false, false, 2, natural, 40},
        {"natural 17x17", kInputI420, 17, 17, false, false, 2, natural, 40},
        {"natural 33x9 RGB32", kInputRgb32, 33, 9, false, false, 2, natural, 40},
        {"bars 720x480", kInputI420, 720, 480, false, false, 1, bars, 40},
        {"flat colours", kInputI420, 64, 48, false, false, 4, flat, 100},
        {"alternating lines interlaced", kInputI420, 720, 480, true, false, 1, alternating, 100},
        {"noise 64x64", kInputI420, 64, 64, false, false, 2, noise, 30},
        {"natural 48x32, 60 frames", kInputI420, 48, 32, false, false, 60, natural, 40},
    };
    for (const Case &c : cases)
    {
        SCOPED_TRACE(c.name);
        CMpeg4IntraEncoder encoder;
        ASSERT_EQ(encoder.Init(c.layout, c.width, c.height, 25, 1, c.interlace), S_OK);
        std::vector<uint8_t> stream;
        std::vector<uint8_t> reference;
        for (int frame = 0; frame < c.frames; ++frame)
        {
            const std::vector<uint8_t> input = MakeInput(c.layout, c.picture(c.width, c.height, frame));
            std::vector<uint8_t> sample(encoder.GetMaxOutputBytes());
            encoder.SetOutputBuffer(sample.data(), sample.size());
            if (frame == 0)
                encoder.WriteStreamHeader();
            ASSERT_EQ(encoder.EncodeFrame(input.data(), c.flip), S_OK);
            encoder.AlignToByte();
            sample.resize(encoder.GetByteCount());
            stream.insert(stream.end(), sample.begin(), sample.end());
            const std::vector<uint8_t> planes = SnapshotPlanes(encoder);
            reference.insert(reference.end(), planes.begin(), planes.end());
        }
        const std::string m4v = ScratchPath("roundtrip.m4v");
        const std::string yuv = ScratchPath("roundtrip.yuv");
        const std::string log = ScratchPath("roundtrip.log");
        ASSERT_TRUE(WriteWholeFile(m4v, stream));
        const int status = RunCommand("ffmpeg -nostdin -y -v error -xerror -f m4v -i '" + m4v +
                                      "' -f rawvideo -pix_fmt yuv420p '" + yuv + "' 2>'" + log + "'");
        const std::vector<uint8_t> messages = ReadWholeFile(log);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(std::string(messages.begin(), messages.end()), "");
        const std::vector<uint8_t> decoded = ReadWholeFile(yuv);
        ASSERT_EQ(decoded.size(), reference.size());

        const size_t luma = static_cast<size_t>(c.width) * c.height;
        const size_t chroma = static_cast<size_t>((c.width + 1) / 2) * ((c.height + 1) / 2);
        for (int frame = 0; frame < c.frames; ++frame)
        {
            const size_t base = frame * (luma + 2 * chroma);
            const double y = Psnr(decoded.data() + base, reference.data() + base, luma);
            const double u = Psnr(decoded.data() + base + luma, reference.data() + base + luma, chroma);
            const double v =
                Psnr(decoded.data() + base + luma + chroma, reference.data() + base + luma + chroma, chroma);
            EXPECT_GE(y, c.minimumPsnr) << "frame " << frame;
            EXPECT_GE(u, c.minimumPsnr) << "frame " << frame;
            EXPECT_GE(v, c.minimumPsnr) << "frame " << frame;
        }
    }
    std::filesystem::remove_all(std::filesystem::path(ScratchPath("x")).parent_path());
}

#endif
