// Timings of a whole OSD refresh (compose, quantise, deliver) of a menu-like page: a
// scaled background picture, a semi-transparent panel and highlight drawn as palette
// indices, and eight lines of anti-aliased text in true colour. Prints p50, p95 and max.
#include "tests/skinosd/FakeCard.h"
#include "txHost/skin/Osd.h"
#include "txHost/skin/PictureSurface.h"

#include <gdiplus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{

tx::test::FakeCardState g_card;

HRESULT CreateGraph(IZCardGraph **graph) noexcept
{
    tx::ComPtr<tx::test::CFakeCardGraph> object = tx::MakeComObject<tx::test::CFakeCardGraph>(g_card);
    *graph = object.Detach();
    return *graph ? S_OK : E_OUTOFMEMORY;
}

void DrawMenuPage(IOsd *osd, IPictureSurface *background)
{
    LONG width = 0, height = 0;
    osd->GetSize(&width, &height);
    HDC scratch = nullptr;
    osd->GetScratchDC(&scratch);

    // Background picture scaled to the frame, copied as colour.
    osd->RunTransform(background, 0, 0, width, height, 320, 240);
    osd->CopyFromScratch(0, 0, width, height, FALSE, TRUE, FALSE, 0);

    // Panel and highlight as palette indices.
    BYTE panel = 0, highlight = 0;
    osd->GetPaletteIndex(0x80202040, &panel);
    osd->GetPaletteIndex(0xFF3060C0, &highlight);
    RECT panelRect{80, 60, 640, 420};
    tx::UniqueBrush panelBrush(::CreateSolidBrush(RGB(0, 0, panel)));
    ::FillRect(scratch, &panelRect, panelBrush.Get());
    RECT highlightRect{100, 140, 620, 176};
    tx::UniqueBrush highlightBrush(::CreateSolidBrush(RGB(0, 0, highlight)));
    ::FillRect(scratch, &highlightRect, highlightBrush.Get());
    ::GdiFlush();
    osd->CopyFromScratch(80, 60, 560, 360, TRUE, FALSE, FALSE, 0);

    // Text: drawn over a key-coloured fill, copied as colour with the key and smoothing.
    const COLORREF key = RGB(1, 2, 3);
    RECT textArea{100, 100, 620, 400};
    tx::UniqueBrush keyBrush(::CreateSolidBrush(key));
    ::FillRect(scratch, &textArea, keyBrush.Get());
    LOGFONTW font{};
    font.lfHeight = -24;
    font.lfQuality = ANTIALIASED_QUALITY;
    lstrcpyW(font.lfFaceName, L"Tahoma");
    tx::UniqueFont hfont(::CreateFontIndirectW(&font));
    tx::SelectObjectScope select(scratch, hfont.Get());
    ::SetTextColor(scratch, RGB(240, 240, 240));
    const wchar_t *items[] = {L"Music",      L"Videos", L"Pictures", L"DVD",
                              L"Television", L"Radio",  L"Weather",  L"Settings"};
    int y = 104;
    for (const wchar_t *item : items)
    {
        ::TextOutW(scratch, 120, y, item, lstrlenW(item));
        y += 36;
    }
    ::GdiFlush();
    // GDI's key is a COLORREF (0x00BBGGRR); the pixel holds 0x00RRGGBB.
    osd->CopyFromScratch(100, 100, 520, 300, FALSE, TRUE, TRUE, 0x00010203);
}

} // namespace

int wmain()
{
    ::OleInitialize(nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        // A 320 x 240 gradient picture.
        std::vector<DWORD> pixels(320 * 240);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x)
                pixels[y * 320 + x] = 0xFF000000u | (static_cast<DWORD>(x * 255 / 319) << 16) |
                                      (static_cast<DWORD>(y * 255 / 239) << 8) | 0x40;
        tx::ComPtr<IPictureSurface> background;
        tx::skin::CreatePictureSurface(320, 240, pixels.data(), 320, background.GetAddressOf());

        COsd osd;
        osd.SkinManager().SetSkinLoading(false);
        osd.SetDriverPath(false);
        osd.SetGraphFactory(CreateGraph);
        const HRESULT hr = osd.AttachOsd(720, 480, 480, nullptr);
        if (FAILED(hr))
        {
            std::printf("attach failed 0x%08lx\n", static_cast<unsigned long>(hr));
            return 1;
        }
        IPictureSurface *picture = background.Get();
        osd.SkinManager().composeHook = [picture](IOsd *o) { DrawMenuPage(o, picture); };

        constexpr int kRuns = 200;
        std::vector<double> times;
        for (int i = 0; i < kRuns + 10; ++i)
        {
            g_card.frames.clear(); // the fake keeps copies; only the last one matters
            g_card.records.clear();
            g_card.properties.clear();
            const auto start = std::chrono::steady_clock::now();
            osd.Refresh();
            const auto end = std::chrono::steady_clock::now();
            if (i >= 10)
                times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        }
        std::sort(times.begin(), times.end());
        std::printf("OSD refresh of a menu page, 720x480, %d runs (includes the fake card's frame copy)\n", kRuns);
        std::printf("  p50 %.2f ms  p95 %.2f ms  max %.2f ms  (goal: p95 under 30 ms)\n", times[kRuns / 2],
                    times[kRuns * 95 / 100], times.back());
        std::printf("  fixed and requested palette entries in the last frame: %u\n", osd.PaletteCount());
        osd.Shutdown();
    }
    Gdiplus::GdiplusShutdown(token);
    ::OleUninitialize();
    return 0;
}
