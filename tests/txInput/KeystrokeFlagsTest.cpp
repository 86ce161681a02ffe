// Keystroke flags built from low-level hook data: first press, repeat, release.
#include "txInput/KeystrokeFlags.h"

#include <gtest/gtest.h>

namespace
{
using namespace tx::input;

constexpr std::uint32_t kVkA = 0x41, kScanA = 0x1E, kVkRight = 0x27, kScanRight = 0x4D;

TEST(KeystrokeFlags, PressRepeatAndReleaseOfOneKey)
{
    KeystrokeTranslator translator;
    const struct
    {
        LowLevelKey key;
        std::uint32_t flags;
    } sequence[] = {
        {{kVkA, kScanA, 0}, 0x001E0001},           // first press
        {{kVkA, kScanA, 0}, 0x401E0001},           // held: repeat
        {{kVkA, kScanA, kLowLevelUp}, 0xC01E0001}, // release
        {{kVkA, kScanA, 0}, 0x001E0001},           // pressed again
        {{kVkA, kScanA, kLowLevelUp}, 0xC01E0001},
        {{kVkRight, kScanRight, kLowLevelExtended}, 0x014D0001}, // extended key
        {{kVkRight, kScanRight, kLowLevelExtended | kLowLevelUp}, 0xC14D0001},
        {{kVkA, kScanA, kLowLevelAltDown}, 0x201E0001}, // with ALT held
        {{kVkA, kScanA, kLowLevelAltDown | kLowLevelUp}, 0xE01E0001},
        // A release never seen pressed (held before the hook came) still reads as a release.
        {{0x42, 0x30, kLowLevelUp}, 0xC0300001},
    };
    for (const auto &step : sequence)
        EXPECT_EQ(translator.Translate(step.key), step.flags) << std::hex << step.key.virtualKey;
}

TEST(KeystrokeFlags, KeysAreTrackedApartAndResetForgetsThem)
{
    KeystrokeTranslator translator;
    translator.Translate({kVkA, kScanA, 0});
    EXPECT_EQ(translator.Translate({0x42, 0x30, 0}), 0x00300001u) << "B is not held";
    EXPECT_EQ(translator.Translate({kVkA, kScanA, 0}), 0x401E0001u) << "A still is";
    translator.Reset();
    EXPECT_EQ(translator.Translate({kVkA, kScanA, 0}), 0x001E0001u);
}

TEST(KeystrokeFlags, OutOfRangeCodesAndWideScanCodesStayInTheirFields)
{
    KeystrokeTranslator translator;
    EXPECT_EQ(translator.Translate({0x1234, 0x1E5, 0}), 0x00E50001u);
    EXPECT_EQ(translator.Translate({0x1234, 0x1E5, 0}), 0x00E50001u) << "untracked keys never repeat";
}
} // namespace
