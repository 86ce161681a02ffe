// The default skin as installed beside the programs: it loads in full, every page binds
// and has its controller, and the main page reaches the card in a delivered frame. The
// frame is also written as a picture (build folder, default-skin-main.bmp) for a look.
#include "tests/skins/SkinTestSupport.h"

#include "comkit/Bstr.h"
#include "txHost/core/Actions.h"
#include "txHost/core/OsdStatus.h"
#include "txHost/skin/OsdPalette.h"
#include "txHost/skin/SkinRect.h"
#include "txHost/skin/SkinText.h"

#include <algorithm>

namespace
{

using namespace tx::test;

constexpr LONG kWidth = 720;
constexpr LONG kHeight = 480;

class DefaultSkinTest : public SkinFixture
{
  protected:
    void UseInstalledSkin()
    {
        std::wstring bin = ExecutableFolder();
        bin.pop_back();
        Manager().SetDataFolder(bin.c_str());
    }
    // How many pixels of the rectangle show the colour (0xAARRGGBB) in the last frame.
    size_t CountColour(uint32_t colour, LONG left, LONG top, LONG right, LONG bottom)
    {
        const std::vector<BYTE> &frame = card.frames.back();
        const tx::skin::OsdPaletteEntry wanted = tx::skin::ToOsdPaletteEntry(colour);
        size_t count = 0;
        for (LONG y = top; y < bottom; ++y)
            for (LONG x = left; x < right; ++x)
            {
                const BYTE index = frame[COsd::kHeaderBytes + static_cast<size_t>(y) * kWidth + x];
                const BYTE *entry = &frame[8 + index * 4];
                if (entry[0] == wanted.alpha && entry[1] == wanted.y && entry[2] == wanted.cb && entry[3] == wanted.cr)
                    ++count;
            }
        return count;
    }
    // How many opaque light pixels (text drawn in white, anti-aliased) the rectangle holds.
    size_t CountLight(LONG left, LONG top, LONG right, LONG bottom)
    {
        const std::vector<BYTE> &frame = card.frames.back();
        size_t count = 0;
        for (LONG y = top; y < bottom; ++y)
            for (LONG x = left; x < right; ++x)
            {
                const BYTE index = frame[COsd::kHeaderBytes + static_cast<size_t>(y) * kWidth + x];
                const BYTE *entry = &frame[8 + index * 4];
                if (entry[0] != 0 && entry[1] >= 180)
                    ++count;
            }
        return count;
    }
    // The last frame as a 24-bit picture: palette entries back to RGB, transparent as a
    // dark checkerboard.
    void SaveFrame(const std::wstring &path)
    {
        const std::vector<BYTE> &frame = card.frames.back();
        const LONG stride = kWidth * 3;
        std::vector<BYTE> pixels(static_cast<size_t>(stride) * kHeight);
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x)
            {
                const BYTE index = frame[COsd::kHeaderBytes + static_cast<size_t>(y) * kWidth + x];
                const BYTE *e = &frame[8 + index * 4];
                double r, g, b;
                if (e[0] == 0)
                    r = g = b = ((x / 16 + y / 16) & 1) ? 40 : 24;
                else
                {
                    const double yy = 1.164 * (e[1] - 16), cb = e[2] - 128.0, cr = e[3] - 128.0;
                    r = yy + 1.596 * cr;
                    g = yy - 0.813 * cr - 0.392 * cb;
                    b = yy + 2.017 * cb;
                }
                BYTE *p = &pixels[static_cast<size_t>(kHeight - 1 - y) * stride + x * 3];
                p[0] = static_cast<BYTE>(std::clamp(b, 0.0, 255.0));
                p[1] = static_cast<BYTE>(std::clamp(g, 0.0, 255.0));
                p[2] = static_cast<BYTE>(std::clamp(r, 0.0, 255.0));
            }
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        info.biSize = sizeof(info);
        info.biWidth = kWidth;
        info.biHeight = kHeight;
        info.biPlanes = 1;
        info.biBitCount = 24;
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof(file) + sizeof(info);
        file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
        std::string bytes(reinterpret_cast<const char *>(&file), sizeof(file));
        bytes.append(reinterpret_cast<const char *>(&info), sizeof(info));
        bytes.append(reinterpret_cast<const char *>(pixels.data()), pixels.size());
        WriteTextFile(path, bytes);
    }
};

TEST_F(DefaultSkinTest, LoadsInFullAndShowsTheMainPage)
{
    UseInstalledSkin();
    ASSERT_EQ(Attach(), S_OK);
    ASSERT_GE(Manager().PageCount(), 5u);
    for (size_t i = 0; i < Manager().PageCount(); ++i)
    {
        CSkinPage *page = Manager().Page(i);
        EXPECT_NE(page->Controller(), nullptr) << i;
        EXPECT_EQ(g_pages.count(page->behavior), 1u) << i;
    }
    EXPECT_EQ(Manager().Page(0)->name, L"main");
    ASSERT_NE(Manager().StatusPage(), nullptr);
    ASSERT_NE(Manager().SubtitlePage(), nullptr);
    ASSERT_NE(Manager().LogPage(), nullptr);
    EXPECT_FALSE(Manager().TimeFormat().empty());
    EXPECT_FALSE(Manager().DateFormat().empty());
    EXPECT_GE(Manager().DialogCount(), 1u);
    EXPECT_GE(Manager().ClassCount(), 3u);

    // Every page can be opened.
    for (size_t i = 1; i < Manager().PageCount(); ++i)
        EXPECT_EQ(Manager().OpenPage(Manager().Page(i)->name.c_str(), 0, 0), S_OK) << i;
    ASSERT_EQ(Manager().ManagerFace()->GoToFirstPage(), S_OK);
    EXPECT_EQ(Manager().CurrentPageIndex(), 0);

    // The texts came through the English table.
    tx::Bstr key(L"$MenuMusic$"), text;
    ASSERT_EQ(Manager().StringFace()->GetString(key.Get(), text.Put()), S_OK);
    EXPECT_EQ(text.View(), L"Music");

    // The main page in a frame: the menu's focused first cell in the focus colour, the
    // other cells in theirs, the panel around them.
    ASSERT_EQ(osd->Refresh(), S_OK);
    SaveFrame(ExecutableFolder() + L"..\\default-skin-main.bmp");
    EXPECT_GT(CountColour(0xFFF0B428, 64, 120, 364, 166), 300 * 46 / 2u);
    EXPECT_GT(CountColour(0xFF1A3266, 64, 172, 364, 218), 300 * 46 / 2u);

    // Down moves the menu's cursor: the focus colour moves one cell down.
    BOOL handled = FALSE;
    ASSERT_EQ(Manager().HandleAction(tx::host::ACTION_DOWN, 0, &handled), S_OK);
    EXPECT_TRUE(handled);
    EXPECT_GT(CountColour(0xFFF0B428, 64, 172, 364, 218), 300 * 46 / 2u);
    EXPECT_LT(CountColour(0xFFF0B428, 64, 120, 364, 166), 300 * 46 / 4u);
    SaveFrame(ExecutableFolder() + L"..\\default-skin-main-down.bmp");

    // The message dialog over the page: the selected button in the focus colour.
    ASSERT_EQ(Manager().ShowChoiceBox(L"msgbox", L"Delete the recording?", 0, L"Yes", L"No", nullptr), S_OK);
    ASSERT_EQ(osd->Refresh(), S_OK);
    EXPECT_GT(CountColour(0xFF7FA8E8, 140, 150, 580, 330), 100u);  // the box's border
    EXPECT_GT(CountColour(0xFFF0B428, 140, 150, 580, 330), 1000u); // the selected button
    SaveFrame(ExecutableFolder() + L"..\\default-skin-message.bmp");
}

// The host's answers the captions below need: no clean pause, volume 50 %.
class StatusHost final : public tx::host::IOsdStatusHost
{
  public:
    bool CleanPause() override
    {
        return false;
    }
    int32_t OsdTimeOut() override
    {
        return 5;
    }
    bool WebViewShown() override
    {
        return false;
    }
    bool GetDecoderChannelMode(int32_t *mode) override
    {
        *mode = 1;
        return true;
    }
    int32_t GetVolume() override
    {
        return 50;
    }
    std::wstring DvdTrickCaption() override
    {
        return {};
    }
    std::wstring DvdSubtitleCaption() override
    {
        return {};
    }
    std::wstring DvdAngleCaption() override
    {
        return {};
    }
    std::wstring AudioStreamCaption() override
    {
        return {};
    }
    std::wstring FileSubtitleCaption() override
    {
        return {};
    }
    bool GetVideoOutput(tx::host::VideoOutputState *) override
    {
        return false;
    }
    int32_t OutputMode() override
    {
        return 0;
    }
    bool AutoFreq() override
    {
        return false;
    }
    std::wstring HdtvModeName(int32_t) override
    {
        return {};
    }
    void GetSourceAspect(int32_t *, double *) override
    {
    }
    bool GetAspectOverride(double *) override
    {
        return false;
    }
    void OnPictureTimerChange(bool) override
    {
    }
    void OpenWeb() override
    {
    }
};

// The state of one element of the status page: visible, and its text when it has one.
struct ElementState
{
    bool found = false;
    bool visible = false;
    std::wstring text;
};

ElementState ReadElement(CSkinPage *page, const wchar_t *id)
{
    ElementState state;
    tx::ComPtr<ISkinElement> element;
    if (!page || FAILED(page->FindElement(id, element.GetAddressOf())) || !element)
        return state;
    state.found = true;
    BOOL visible = FALSE;
    element->GetVisible(&visible);
    state.visible = visible != FALSE;
    tx::ComPtr<ISkinText> text;
    tx::Bstr value;
    if (SUCCEEDED(element->QueryInterface(__uuidof(ISkinText), reinterpret_cast<void **>(text.GetAddressOf()))) &&
        SUCCEEDED(text->GetText(value.Put())) && !value.IsNull())
        state.text = std::wstring(value.View());
    return state;
}

template <class Face> bool HasFace(CSkinPage *page, const wchar_t *id)
{
    tx::ComPtr<ISkinElement> element;
    tx::ComPtr<Face> face;
    return page && SUCCEEDED(page->FindElement(id, element.GetAddressOf())) && element &&
           SUCCEEDED(element->QueryInterface(__uuidof(Face), reinterpret_cast<void **>(face.GetAddressOf())));
}

TEST_F(DefaultSkinTest, StatusPageCarriesEveryIndicator)
{
    UseInstalledSkin();
    ASSERT_EQ(Attach(), S_OK);
    CSkinPage *status = Manager().StatusPage();
    ASSERT_NE(status, nullptr);
    // Texts the indicators write, elements they only show and hide, and their bars.
    for (const wchar_t *id : {L"pause", L"tvstandard", L"progress", L"time", L"date", L"dvdvcd", L"message", L"num",
                              L"audio", L"dvd", L"channel", L"title", L"timeinfo", L"desc"})
        EXPECT_TRUE(HasFace<ISkinText>(status, id)) << std::string(id, id + wcslen(id));
    for (const wchar_t *id : {L"progressBack", L"mute", L"volume", L"webprog", L"buffering", L"epg"})
        EXPECT_TRUE(ReadElement(status, id).found) << std::string(id, id + wcslen(id));
    for (const wchar_t *id : {L"volumeOn", L"volumeBase"})
        EXPECT_TRUE(HasFace<ISkinBlockRect>(status, id)) << std::string(id, id + wcslen(id));
    for (const wchar_t *id : {L"webprogOn", L"webprogBase", L"bufferingOn", L"bufferingBase"})
        EXPECT_TRUE(HasFace<ISkinRect>(status, id)) << std::string(id, id + wcslen(id));
    EXPECT_TRUE(HasFace<ISkinText>(Manager().LogPage(), L"log"));
    // The clock's pictures come from the texts inside the programme box.
    EXPECT_EQ(Manager().TimeFormat(), L"HH':'mm");
    EXPECT_EQ(Manager().DateFormat(), L"ddd d MMM");

    // A started skin hides what it would show by default.
    for (const wchar_t *id : {L"dvd", L"pause", L"volume", L"webprog", L"buffering", L"audio", L"mute", L"progress",
                              L"progressBack", L"epg"})
        EXPECT_FALSE(ReadElement(status, id).visible) << std::string(id, id + wcslen(id));
}

TEST_F(DefaultSkinTest, CaptionsShowInAFrameAndHideAfterTheirTicks)
{
    UseInstalledSkin();
    ASSERT_EQ(Attach(), S_OK);
    CSkinPage *status = Manager().StatusPage();
    ASSERT_NE(status, nullptr);
    ASSERT_EQ(osd->Refresh(), S_OK);
    // Nothing of the indicators in the first frame.
    EXPECT_EQ(CountColour(0xFFF0B428, 160, 398, 560, 414), 0u);
    EXPECT_EQ(CountLight(372, 36, 672, 72), 0u);

    StatusHost host;
    tx::host::IOsdStatusSkin &skin = *Manager().StatusFace();
    ASSERT_NE(skin.Indicators(), nullptr);
    tx::host::ApplyOsdStatus(tx::host::OSD_STATUS_PAUSE_TIMED, host, skin);
    tx::host::ApplyOsdStatus(tx::host::OSD_STATUS_VOLUME, host, skin);
    tx::host::ApplyOsdStatus(tx::host::OSD_STATUS_AUDIO_CHANNEL, host, skin);
    const ElementState pause = ReadElement(status, L"pause");
    EXPECT_TRUE(pause.visible);
    EXPECT_EQ(pause.text, L"PAUSE");
    const ElementState audio = ReadElement(status, L"audio");
    EXPECT_TRUE(audio.visible);
    EXPECT_FALSE(audio.text.empty());
    EXPECT_TRUE(ReadElement(status, L"volume").visible);
    tx::ComPtr<ISkinElement> volumeOn;
    tx::ComPtr<ISkinBlockRect> bar;
    ASSERT_EQ(status->FindElement(L"volumeOn", volumeOn.GetAddressOf()), S_OK);
    ASSERT_EQ(volumeOn->QueryInterface(__uuidof(ISkinBlockRect), reinterpret_cast<void **>(bar.GetAddressOf())), S_OK);
    LONG length = 0;
    ASSERT_EQ(bar->GetLength(&length), S_OK);
    EXPECT_EQ(length, 200); // half of the 400-pixel base

    // In the delivered frame: the caption's white text at the top right, the volume bar's
    // lit half in the bar colour and its dark half in the base colour.
    ASSERT_EQ(osd->Refresh(), S_OK);
    SaveFrame(ExecutableFolder() + L"..\\default-skin-status.bmp");
    EXPECT_GT(CountLight(372, 36, 672, 72), 50u);
    EXPECT_GT(CountColour(0xFFF0B428, 160, 398, 360, 414), 100u);
    EXPECT_EQ(CountColour(0xFFF0B428, 362, 398, 560, 414), 0u);
    EXPECT_GT(CountColour(0xFF1A3266, 362, 398, 560, 414), 100u);

    // The pause caption goes on the 15th tick, the volume and audio ones on the 35th; the
    // tick that hides one asks for a redraw.
    for (int tick = 1; tick <= 35; ++tick)
    {
        BOOL redraw = FALSE;
        ASSERT_EQ(Manager().OnTick(&redraw), S_OK);
        EXPECT_EQ(ReadElement(status, L"pause").visible, tick < 15) << tick;
        EXPECT_EQ(ReadElement(status, L"volume").visible, tick < 35) << tick;
        EXPECT_EQ(ReadElement(status, L"audio").visible, tick < 35) << tick;
        if (tick == 15 || tick == 35)
        {
            EXPECT_TRUE(redraw) << tick;
        }
    }
    ASSERT_EQ(osd->Refresh(), S_OK);
    EXPECT_EQ(CountColour(0xFFF0B428, 160, 398, 560, 414), 0u);
    EXPECT_EQ(CountLight(372, 36, 672, 72), 0u);
    EXPECT_EQ(ReadElement(status, L"pause").text, L"PAUSE"); // hiding keeps the text
}

TEST_F(DefaultSkinTest, HostLogLinesReachTheLogPageOnTheTick)
{
    UseInstalledSkin();
    ASSERT_EQ(Attach(), S_OK);
    tx::host::CHostLog log;
    log.SetOsdMirror(true);
    log.SetOsdSink(Manager().LogSink());
    log.LogMessagePair(L"Graph", L"built");
    // Queued only: the element changes on the UI thread's tick.
    EXPECT_EQ(ReadElement(Manager().LogPage(), L"log").text, L"");
    BOOL redraw = FALSE;
    ASSERT_EQ(Manager().OnTick(&redraw), S_OK);
    EXPECT_TRUE(redraw);
    const std::wstring shown = ReadElement(Manager().LogPage(), L"log").text;
    EXPECT_EQ(shown, log.OsdText());
    EXPECT_NE(shown.find(L"Graph"), std::wstring::npos);
    EXPECT_EQ(shown.find(L"\r"), std::wstring::npos);

    // Unhooked, the log no longer reaches the page.
    log.SetOsdSink(nullptr);
    log.LogMessage(L"after");
    redraw = FALSE;
    ASSERT_EQ(Manager().OnTick(&redraw), S_OK);
    EXPECT_EQ(ReadElement(Manager().LogPage(), L"log").text, shown);
}

} // namespace
