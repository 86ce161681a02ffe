// The settings store: user over machine over default, derived values, and values of
// the wrong type or size, all inside a registry sandbox.
#include "tests/support/RegistrySandbox.h"
#include "txHost/core/HostSettings.h"

#include <gtest/gtest.h>

#include <string>

using namespace tx::host;

namespace
{
void PutDword(HKEY root, const wchar_t *name, DWORD value)
{
    ASSERT_EQ(::RegSetKeyValueW(root, kHostKey, name, REG_DWORD, &value, sizeof(value)), ERROR_SUCCESS);
}

void PutText(HKEY root, const wchar_t *name, const std::wstring &text)
{
    ASSERT_EQ(::RegSetKeyValueW(root, kHostKey, name, REG_SZ, text.c_str(),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

void PutRaw(HKEY root, const wchar_t *name, DWORD type, const void *data, DWORD bytes)
{
    ASSERT_EQ(::RegSetKeyValueW(root, kHostKey, name, type, data, bytes), ERROR_SUCCESS);
}

HostSettings Read()
{
    HostSettings settings;
    ReadHostSettings(settings);
    return settings;
}

class HostSettingsTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_sandbox.IsActive());
    }
    tx::test::RegistrySandbox m_sandbox;
};
} // namespace

TEST_F(HostSettingsTest, UserValueOverridesMachineValueOverridesDefault)
{
    EXPECT_EQ(Read().osdTimeOut, 15);
    PutDword(HKEY_LOCAL_MACHINE, L"OSDTimeOut", 30);
    EXPECT_EQ(Read().osdTimeOut, 30);
    PutDword(HKEY_CURRENT_USER, L"OSDTimeOut", 5);
    EXPECT_EQ(Read().osdTimeOut, 5);
}

TEST_F(HostSettingsTest, DefaultsOfTheTable)
{
    const HostSettings s = Read();
    EXPECT_EQ(s.slideShowWait, 2);
    EXPECT_EQ(s.ffTime, 10);
    EXPECT_EQ(s.rewTime, 10);
    EXPECT_EQ(s.nextTime, 60);
    EXPECT_EQ(s.prevTime, 60);
    EXPECT_EQ(s.pvrBuffer, 3);
    EXPECT_EQ(s.volume, -300);
    EXPECT_EQ(s.brightness, 500);
    EXPECT_EQ(s.contrast, 500);
    EXPECT_EQ(s.saturation, 500);
    EXPECT_DOUBLE_EQ(s.customAspect, 1.0);
    EXPECT_DOUBLE_EQ(s.definedAspect, 1.0);
    EXPECT_DOUBLE_EQ(s.subtitleFps, 23.97);
    EXPECT_DOUBLE_EQ(s.customSubtitleFps, 23.97);
    EXPECT_TRUE(s.imageRoot.empty());
    EXPECT_EQ(s.overscan[4][3], 0);
}

TEST_F(HostSettingsTest, SlideShowDelayKeepsTheWaitAfterThePicture)
{
    const struct
    {
        DWORD stored;
        LONG kept;
    } cases[] = {{4, 2}, {2, 1}, {1, 1}, {0, 1}, {10, 8}, {3, 1}};
    for (const auto &c : cases)
    {
        PutDword(HKEY_CURRENT_USER, L"SlideShowDelay", c.stored);
        EXPECT_EQ(Read().slideShowWait, c.kept) << c.stored;
    }
}

TEST_F(HostSettingsTest, FoldersLoseOneTrailingBackslash)
{
    PutText(HKEY_CURRENT_USER, L"ImageRoot", L"C:\\Pictures\\");
    PutText(HKEY_LOCAL_MACHINE, L"DVDImageRoot", L"D:\\Covers\\\\");
    PutText(HKEY_CURRENT_USER, L"DVDCollectionXML", L"");
    const HostSettings s = Read();
    EXPECT_EQ(s.imageRoot, L"C:\\Pictures");
    EXPECT_EQ(s.dvdImageRoot, L"D:\\Covers\\");
    EXPECT_EQ(s.dvdCollectionXml, L"");
}

TEST_F(HostSettingsTest, RealsAreParsedFromTextAndKeepTheirPresetOtherwise)
{
    PutText(HKEY_CURRENT_USER, L"CustomAspect", L"1.78");
    PutText(HKEY_CURRENT_USER, L"DefinedAspect", L"wide");
    PutDword(HKEY_CURRENT_USER, L"SubtitleFPS", 25);
    PutText(HKEY_LOCAL_MACHINE, L"CustomSubtitleFPS", L"29.97");
    const HostSettings s = Read();
    EXPECT_DOUBLE_EQ(s.customAspect, 1.78);
    EXPECT_DOUBLE_EQ(s.definedAspect, 1.0);
    EXPECT_DOUBLE_EQ(s.subtitleFps, 23.97);
    EXPECT_DOUBLE_EQ(s.customSubtitleFps, 29.97);
}

TEST_F(HostSettingsTest, ValuesOfTheWrongTypeOrSizeKeepTheirDefault)
{
    PutText(HKEY_CURRENT_USER, L"OSDTimeOut", L"abc"); // 8 bytes of text, not a number
    const BYTE three[] = {1, 2, 3};
    PutRaw(HKEY_CURRENT_USER, L"FFTime", REG_BINARY, three, sizeof(three));
    const DWORD binaryFour = 7;
    PutRaw(HKEY_CURRENT_USER, L"REWTime", REG_BINARY, &binaryFour, sizeof(binaryFour));
    PutDword(HKEY_CURRENT_USER, L"ImageRoot", 42);
    const HostSettings s = Read();
    EXPECT_EQ(s.osdTimeOut, 15);
    EXPECT_EQ(s.ffTime, 10);
    EXPECT_EQ(s.rewTime, 10);
    EXPECT_TRUE(s.imageRoot.empty());
}

TEST_F(HostSettingsTest, NumbersAreSignedAndIndexesStayInRange)
{
    PutDword(HKEY_CURRENT_USER, L"Volume", static_cast<DWORD>(-450));
    PutDword(HKEY_CURRENT_USER, L"OutputMode", 7);
    PutDword(HKEY_CURRENT_USER, L"AudioMode", 2);
    PutDword(HKEY_CURRENT_USER, L"OverscanVGABottom", 12);
    PutDword(HKEY_LOCAL_MACHINE, L"OverscanCompositeLeft", static_cast<DWORD>(-3));
    PutDword(HKEY_CURRENT_USER, L"OverscanScartRGBTop", 5);
    const HostSettings s = Read();
    EXPECT_EQ(s.volume, -450);
    EXPECT_EQ(s.outputMode, 0);
    EXPECT_EQ(s.audioMode, 2);
    EXPECT_EQ(s.overscan[4][3], 12);
    EXPECT_EQ(s.overscan[0][0], -3);
    EXPECT_EQ(s.overscan[3][2], 5);
}

TEST_F(HostSettingsTest, StringReadsAreBoundedAndTerminated)
{
    const std::wstring tooLong(300, L'x');
    PutText(HKEY_CURRENT_USER, L"ImageRoot", tooLong);
    EXPECT_TRUE(Read().imageRoot.empty());

    wchar_t buffer[8];
    ::wcscpy_s(buffer, L"keep");
    PutText(HKEY_CURRENT_USER, L"Probe", L"1234567"); // exactly fits with its zero
    EXPECT_TRUE(ReadHostString(L"Probe", buffer, 8));
    EXPECT_STREQ(buffer, L"1234567");
    PutText(HKEY_CURRENT_USER, L"Probe", L"12345678");
    ::wcscpy_s(buffer, L"keep");
    EXPECT_FALSE(ReadHostString(L"Probe", buffer, 8));
    EXPECT_STREQ(buffer, L"keep");
    // Stored without a terminating zero.
    const wchar_t raw[] = {L'a', L'b', L'c'};
    PutRaw(HKEY_CURRENT_USER, L"Probe", REG_SZ, raw, sizeof(raw));
    EXPECT_TRUE(ReadHostString(L"Probe", buffer, 8));
    EXPECT_STREQ(buffer, L"abc");
}

TEST_F(HostSettingsTest, WritesGoToTheUserKeyOnly)
{
    PutDword(HKEY_LOCAL_MACHINE, L"Volume", static_cast<DWORD>(-100));
    WriteHostDword(L"Volume", static_cast<DWORD>(-250));
    DWORD user = 0, machine = 0, bytes = sizeof(DWORD);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, kHostKey, L"Volume", RRF_RT_REG_DWORD, nullptr, &user, &bytes),
              ERROR_SUCCESS);
    bytes = sizeof(DWORD);
    ASSERT_EQ(::RegGetValueW(HKEY_LOCAL_MACHINE, kHostKey, L"Volume", RRF_RT_REG_DWORD, nullptr, &machine, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(static_cast<LONG>(user), -250);
    EXPECT_EQ(static_cast<LONG>(machine), -100);
    EXPECT_EQ(Read().volume, -250);

    WriteHostReal(L"CustomAspect", 1.7777, L"%1.2lf");
    WriteHostReal(L"SubtitleFPS", 25.0, L"%2.2lf");
    wchar_t text[kNumberTextChars] = L"";
    ASSERT_TRUE(ReadHostString(L"CustomAspect", text, kNumberTextChars));
    EXPECT_STREQ(text, L"1.78");
    ASSERT_TRUE(ReadHostString(L"SubtitleFPS", text, kNumberTextChars));
    EXPECT_STREQ(text, L"25.00");
}
