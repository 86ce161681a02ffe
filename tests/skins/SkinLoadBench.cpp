// Speed of loading the default skin as installed beside the program: string tables,
// skin.xml, elements, fonts and pictures, and the first refresh. Prints the median and
// the 95th percentile of 30 loads.
#include "tests/skinosd/FakeCard.h"
#include "txHost/skin/Osd.h"

#include <gdiplus.h>

#include <algorithm>
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

} // namespace

int wmain()
{
    ::OleInitialize(nullptr);
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int exitCode = 0;
    {
        COsd osd;
        osd.SetDriverPath(false);
        osd.SetGraphFactory(CreateGraph);
        HRESULT hr = osd.AttachOsd(720, 480, 480, nullptr);
        if (FAILED(hr))
        {
            std::printf("attach with the default skin failed: 0x%08lX\n", static_cast<unsigned long>(hr));
            exitCode = 1;
        }
        else
        {
            LARGE_INTEGER frequency;
            ::QueryPerformanceFrequency(&frequency);
            std::vector<double> loads;
            for (int i = 0; i < 30; ++i)
            {
                LARGE_INTEGER start, end;
                ::QueryPerformanceCounter(&start);
                hr = osd.LoadLanguageAndSkin();
                ::QueryPerformanceCounter(&end);
                if (FAILED(hr))
                {
                    std::printf("load failed: 0x%08lX\n", static_cast<unsigned long>(hr));
                    exitCode = 1;
                    break;
                }
                loads.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                static_cast<double>(frequency.QuadPart));
            }
            // The refresh alone, to tell loading from drawing.
            std::vector<double> refreshes;
            for (int i = 0; i < 30 && exitCode == 0; ++i)
            {
                LARGE_INTEGER start, end;
                ::QueryPerformanceCounter(&start);
                osd.Refresh();
                ::QueryPerformanceCounter(&end);
                refreshes.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                                    static_cast<double>(frequency.QuadPart));
            }
            if (!refreshes.empty())
            {
                std::sort(refreshes.begin(), refreshes.end());
                std::printf("refresh of the main page: median %.1f ms\n", refreshes[refreshes.size() / 2]);
            }
            if (!loads.empty())
            {
                std::sort(loads.begin(), loads.end());
                std::printf("default skin load (with the first refresh), %zu runs: median %.1f ms, p95 %.1f ms, "
                            "pages %zu\n",
                            loads.size(), loads[loads.size() / 2], loads[loads.size() * 95 / 100],
                            osd.SkinManager().PageCount());
            }
        }
        osd.Shutdown();
    }
    Gdiplus::GdiplusShutdown(token);
    ::OleUninitialize();
    return exitCode;
}
