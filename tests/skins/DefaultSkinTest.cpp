// The default skin as installed beside the programs: it loads in full, every page binds
// and has its controller, and the main page reaches the card in a delivered frame. The
// frame is also written as a picture (build folder, default-skin-main.bmp) for a look.
#include "tests/skins/SkinTestSupport.h"

#include "comkit/Bstr.h"
#include "txHost/core/Actions.h"
#include "txHost/skin/OsdPalette.h"

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

} // namespace
