// Encoder benchmark (a program, not a test): encodes 300 frames of camera-like 720x480
// content and prints the milliseconds per frame of the SSE2 and the scalar kernels. In the
// native build, when ffmpeg is installed, it also encodes the same frames with ffmpeg's
// MPEG-4 encoder in intra-only mode at the same quantiser, and prints times, PSNR after
// decoding, sizes and ratios.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "EncoderTestPictures.h"
#include "txHost/devices/Mpeg4IntraEncoder.h"

using namespace tx::mpeg4;
using namespace tx::test;

namespace
{

constexpr int kWidth = 720;
constexpr int kHeight = 480;
constexpr int kFrames = 300;
constexpr int kDistinctFrames = 50; // generated once, then repeated in order

struct Result
{
    double msPerFrame = 0;
    std::vector<uint8_t> stream;
};

Result EncodeAll(const std::vector<I420Picture> &frames, const IntraBlockKernels &kernels)
{
    CMpeg4IntraEncoder encoder;
    if (encoder.Init(kInputI420, kWidth, kHeight, 25, 1, false) != S_OK)
    {
        std::fprintf(stderr, "Init failed\n");
        return {};
    }
    encoder.SetKernels(kernels);
    Result result;
    std::vector<uint8_t> sample(encoder.GetMaxOutputBytes());
    double seconds = 0;
    for (int i = 0; i < kFrames; ++i)
    {
        const auto start = std::chrono::steady_clock::now();
        encoder.SetOutputBuffer(sample.data(), sample.size());
        if (i == 0)
            encoder.WriteStreamHeader();
        encoder.EncodeFrame(frames[i % kDistinctFrames].data.data(), false);
        encoder.AlignToByte();
        const size_t bytes = encoder.GetByteCount();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        result.stream.insert(result.stream.end(), sample.begin(), sample.begin() + static_cast<ptrdiff_t>(bytes));
    }
    result.msPerFrame = seconds * 1000 / kFrames;
    return result;
}

#if !defined(_WIN32)
struct Quality
{
    double y = 0, u = 0, v = 0;
};

// Decodes a stream with ffmpeg and averages the per-frame PSNR against the input.
bool Measure(const std::string &m4v, const std::vector<I420Picture> &frames, Quality &quality)
{
    const std::string yuv = ScratchPath("bench-decoded.yuv");
    if (RunCommand("ffmpeg -nostdin -y -v error -f m4v -i '" + m4v + "' -f rawvideo -pix_fmt yuv420p '" + yuv + "'") !=
        0)
        return false;
    const std::vector<uint8_t> decoded = ReadWholeFile(yuv);
    const size_t frameBytes = frames[0].data.size();
    if (decoded.size() != frameBytes * kFrames)
        return false;
    quality = {};
    for (int i = 0; i < kFrames; ++i)
    {
        const I420Picture &p = frames[i % kDistinctFrames];
        const uint8_t *d = decoded.data() + frameBytes * i;
        quality.y += Psnr(d, p.Y(), p.LumaBytes()) / kFrames;
        quality.u += Psnr(d + p.LumaBytes(), p.U(), p.ChromaBytes()) / kFrames;
        quality.v += Psnr(d + p.LumaBytes() + p.ChromaBytes(), p.V(), p.ChromaBytes()) / kFrames;
    }
    return true;
}

// Runs ffmpeg's encoder; returns the user CPU seconds it reports, or a negative value.
double RunFfmpegEncoder(const std::string &input, const std::string &output, const char *extra)
{
    const std::string log = ScratchPath("bench-ffmpeg.log");
    char size[32];
    std::snprintf(size, sizeof(size), "%dx%d", kWidth, kHeight);
    const std::string command = std::string("ffmpeg -nostdin -y -hide_banner -nostats -benchmark -f rawvideo ") +
                                "-pix_fmt yuv420p -s " + size + " -r 25 -i '" + input +
                                "' -c:v mpeg4 -g 1 -bf 0 -threads 1 -qscale:v 2 " + extra + " -f m4v '" + output +
                                "' 2>'" + log + "'";
    if (RunCommand(command) != 0)
        return -1;
    const std::vector<uint8_t> text = ReadWholeFile(log);
    const std::string s(text.begin(), text.end());
    const size_t at = s.find("utime=");
    return at == std::string::npos ? -1 : std::atof(s.c_str() + at + 6);
}
#endif

} // namespace

int main()
{
    std::printf("Generating %d distinct %dx%d frames...\n", kDistinctFrames, kWidth, kHeight);
    std::vector<I420Picture> frames;
    for (int i = 0; i < kDistinctFrames; ++i)
        frames.push_back(MakeNaturalI420(kWidth, kHeight, i * 3));

    // A warm-up pass so the measured frames do not pay for page faults.
    EncodeAll(frames, DefaultIntraKernels());
    const Result ours = EncodeAll(frames, DefaultIntraKernels());
    const Result scalar = EncodeAll(frames, ScalarIntraKernels());
    std::printf("txEncoder (%s): %.3f ms/frame over %d frames, %zu bytes (%.1f KB/frame)\n", DefaultIntraKernels().name,
                ours.msPerFrame, kFrames, ours.stream.size(), ours.stream.size() / 1024.0 / kFrames);
    std::printf("txEncoder (scalar): %.3f ms/frame, %zu bytes\n", scalar.msPerFrame, scalar.stream.size());
    if (Sse2IntraKernels() != nullptr)
        std::printf("SSE2 and scalar streams identical: %s\n", ours.stream == scalar.stream ? "yes" : "NO");

#if defined(_WIN32)
    std::printf("ffmpeg comparison: native build only\n");
#else
    if (!FfmpegAvailable())
    {
        std::printf("ffmpeg comparison skipped: ffmpeg is not installed\n");
        return 0;
    }
    const std::string ourFile = ScratchPath("bench-ours.m4v");
    WriteWholeFile(ourFile, ours.stream);
    Quality ourQuality;
    if (!Measure(ourFile, frames, ourQuality))
    {
        std::printf("ffmpeg could not decode our stream\n");
        return 1;
    }
    std::printf("txEncoder PSNR Y %.2f U %.2f V %.2f dB\n", ourQuality.y, ourQuality.u, ourQuality.v);

    const std::string raw = ScratchPath("bench-input.yuv");
    {
        std::FILE *file = std::fopen(raw.c_str(), "wb");
        if (file == nullptr)
            return 1;
        for (int i = 0; i < kFrames; ++i)
            std::fwrite(frames[i % kDistinctFrames].data.data(), 1, frames[0].data.size(), file);
        std::fclose(file);
    }
    struct Variant
    {
        const char *name;
        const char *extra;
    } variants[] = {{"ffmpeg mpeg4 (H.263 quantiser)", ""}, {"ffmpeg mpeg4 (MPEG quantiser)", "-mpeg_quant 1"}};
    for (const Variant &v : variants)
    {
        const std::string theirFile = ScratchPath("bench-ffmpeg.m4v");
        // A first run brings the raw input into the page cache.
        RunFfmpegEncoder(raw, theirFile, v.extra);
        const double utime = RunFfmpegEncoder(raw, theirFile, v.extra);
        Quality theirQuality;
        if (utime < 0 || !Measure(theirFile, frames, theirQuality))
        {
            std::printf("%s: failed to run\n", v.name);
            continue;
        }
        const double theirMs = utime * 1000 / kFrames;
        const auto theirBytes = std::filesystem::file_size(theirFile);
        std::printf("%s: %.3f ms/frame (user CPU, includes reading the raw input), %ju bytes, PSNR Y %.2f U %.2f "
                    "V %.2f dB\n",
                    v.name, theirMs, static_cast<uintmax_t>(theirBytes), theirQuality.y, theirQuality.u,
                    theirQuality.v);
        std::printf("  ratio ours/ffmpeg: time %.2fx, size %.2fx, PSNR Y %+.2f dB\n", ours.msPerFrame / theirMs,
                    static_cast<double>(ours.stream.size()) / static_cast<double>(theirBytes),
                    ourQuality.y - theirQuality.y);
    }
    std::filesystem::remove_all(std::filesystem::path(raw).parent_path());
#endif
    return 0;
}
