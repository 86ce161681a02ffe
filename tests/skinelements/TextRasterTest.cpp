// The text layer: measuring, the two shortening operations (checked by recording the
// drawing calls in a metafile), alpha restoring, and the font-linking path run through
// a fake MLang object as it runs before Windows XP.
#include "txHost/skin/TextRaster.h"

#include "comkit/ComObject.h"
#include "comkit/ComPtr.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using namespace tx::skin;

struct DrawnText
{
    std::wstring text;
    LONG x;
    LONG y;
};

// Records what the text layer draws: every ExtTextOutW as text and reference point.
class Recorder
{
  public:
    explicit Recorder(HFONT font) noexcept
    {
        m_dc = ::CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        m_old = ::SelectObject(m_dc, font);
        ::SetBkMode(m_dc, TRANSPARENT);
    }
    HDC Dc() const noexcept
    {
        return m_dc;
    }
    std::vector<DrawnText> Finish()
    {
        ::SelectObject(m_dc, m_old);
        HENHMETAFILE file = ::CloseEnhMetaFile(m_dc);
        std::vector<DrawnText> drawn;
        UINT size = ::GetEnhMetaFileBits(file, 0, nullptr);
        std::vector<BYTE> bits(size);
        ::GetEnhMetaFileBits(file, size, bits.data());
        ::DeleteEnhMetaFile(file);
        for (size_t offset = 0; offset + sizeof(EMR) <= bits.size();)
        {
            const auto *record = reinterpret_cast<const EMR *>(bits.data() + offset);
            if (record->nSize == 0)
                break;
            if (record->iType == EMR_EXTTEXTOUTW)
            {
                const auto *text = reinterpret_cast<const EMREXTTEXTOUTW *>(record);
                const auto *chars = reinterpret_cast<const wchar_t *>(bits.data() + offset + text->emrtext.offString);
                drawn.push_back({std::wstring(chars, text->emrtext.nChars), text->emrtext.ptlReference.x,
                                 text->emrtext.ptlReference.y});
            }
            offset += record->nSize;
        }
        return drawn;
    }

  private:
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
};

class TextRasterTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        InitTextRaster();
        font = ::CreateFontW(-16, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
        ASSERT_NE(nullptr, font);
        dc = ::CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, 40, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void **>(&pixels), nullptr, 0);
        ASSERT_NE(nullptr, bitmap);
        oldBitmap = ::SelectObject(dc, bitmap);
        oldFont = ::SelectObject(dc, font);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, RGB(255, 255, 255));
    }
    void TearDown() override
    {
        SetTextRasterPlatform(true, ::GetACP());
        SetFontLinkSource(nullptr);
        ::SelectObject(dc, oldFont);
        ::SelectObject(dc, oldBitmap);
        ::DeleteObject(bitmap);
        ::DeleteDC(dc);
        ::DeleteObject(font);
    }

    LONG Width(const wchar_t *text)
    {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
        return size.cx;
    }
    // Columns of the leftmost and rightmost drawn pixels (-1 when none).
    std::pair<int, int> InkColumns()
    {
        ::GdiFlush();
        int left = -1, right = -1;
        for (int x = 0; x < 400; ++x)
            for (int y = 0; y < 40; ++y)
                if (pixels[y * 400 + x] & 0x00FFFFFF)
                {
                    if (left < 0)
                        left = x;
                    right = x;
                }
        return {left, right};
    }

    HFONT font = nullptr;
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    HGDIOBJ oldFont = nullptr;
    DWORD *pixels = nullptr;
};

TEST_F(TextRasterTest, MeasuresLikeGdiAndAnEmptyTextAsHighAsASpace)
{
    SIZE space{};
    ::GetTextExtentPoint32W(dc, L" ", 1, &space);
    for (bool xp : {true, false})
    {
        SetTextRasterPlatform(xp, ::GetACP());
        SIZE size{99, 99};
        EXPECT_TRUE(MeasureText(dc, L"", 0, &size));
        EXPECT_EQ(0, size.cx);
        EXPECT_EQ(space.cy, size.cy);
        EXPECT_TRUE(MeasureText(dc, L"Tessaronix", 10, &size));
        EXPECT_EQ(Width(L"Tessaronix"), size.cx);
    }
}

TEST_F(TextRasterTest, EllipsisKeepsTheLongestPrefixThatFits)
{
    const wchar_t *text = L"The quick brown fox jumps";
    LONG e = Width(L"...");
    LONG limit = Width(L"The quick") + e; // "The quick" fits exactly, "The quick " does not
    Recorder recorder(font);
    int right = 0;
    EXPECT_TRUE(DrawTextEllipsis(recorder.Dc(), 10, 3, text, 25, limit, &right));
    auto drawn = recorder.Finish();
    ASSERT_EQ(2u, drawn.size());
    EXPECT_EQ(L"The quick", drawn[0].text);
    EXPECT_EQ(10, drawn[0].x);
    EXPECT_EQ(L"...", drawn[1].text);
    EXPECT_EQ(10 + Width(L"The quick"), drawn[1].x);
    EXPECT_EQ(10 + Width(L"The quick") + e, right);

    // Not even the first character fits: only the ellipsis.
    Recorder narrow(font);
    EXPECT_TRUE(DrawTextEllipsis(narrow.Dc(), 0, 0, L"Wide", 4, e + 1, &right));
    drawn = narrow.Finish();
    ASSERT_EQ(1u, drawn.size());
    EXPECT_EQ(L"...", drawn[0].text);
    EXPECT_EQ(e, right);
}

TEST_F(TextRasterTest, PathEllipsisShortensTheFolderPart)
{
    const std::wstring path = L"C:\\Media\\Holiday films\\Summer in the hills\\river.mpg";
    const int length = static_cast<int>(path.size());

    Recorder fits(font);
    DrawPathEllipsis(fits.Dc(), 0, 0, path.c_str(), length, Width(path.c_str()));
    auto drawn = fits.Finish();
    ASSERT_EQ(1u, drawn.size());
    EXPECT_EQ(path, drawn[0].text);

    // Room for "C:\Media\Hol..." and the last part: the folder is cut, the name kept whole.
    LONG limit = Width(L"C:\\Media\\Hol...") + Width(L"\\river.mpg");
    Recorder cut(font);
    DrawPathEllipsis(cut.Dc(), 5, 0, path.c_str(), length, limit);
    drawn = cut.Finish();
    ASSERT_EQ(3u, drawn.size());
    EXPECT_EQ(L"C:\\Media\\Hol", drawn[0].text);
    EXPECT_EQ(L"...", drawn[1].text);
    EXPECT_EQ(L"\\river.mpg", drawn[2].text);
    EXPECT_EQ(5 + Width(L"C:\\Media\\Hol..."), drawn[2].x);

    // Not even "C:\...\river.mpg" fits: the short form itself is cut.
    LONG tiny = Width(L"C:\\...\\ri") + Width(L"...");
    Recorder shortForm(font);
    DrawPathEllipsis(shortForm.Dc(), 0, 0, path.c_str(), length, tiny);
    drawn = shortForm.Finish();
    ASSERT_EQ(2u, drawn.size());
    EXPECT_EQ(L"C:\\...\\ri", drawn[0].text);
    EXPECT_EQ(L"...", drawn[1].text);

    // Without a drive, and without any backslash.
    Recorder relative(font);
    DrawPathEllipsis(relative.Dc(), 0, 0, L"Music\\Albums\\song.mp3", 21, Width(L"...\\song.mp3"));
    drawn = relative.Finish();
    ASSERT_EQ(2u, drawn.size());
    EXPECT_EQ(L"...", drawn[0].text);
    EXPECT_EQ(L"\\song.mp3", drawn[1].text);
}

TEST_F(TextRasterTest, AlphaIsRestoredAfterGdiText)
{
    for (int i = 0; i < 400 * 40; ++i)
        pixels[i] = 0xFF000000;
    TextOutText(dc, 2, 2, L"Hi", 2);
    ::GdiFlush();
    int cleared = 0;
    for (int i = 0; i < 400 * 40; ++i)
        cleared += (pixels[i] >> 24) == 0;
    EXPECT_GT(cleared, 0); // GDI wrote alpha 0 where it drew
    RECT rect{0, 0, 400, 40};
    EXPECT_EQ(S_OK, RestoreTextAlpha(dc, rect, 0xFF));
    for (int i = 0; i < 400 * 40; ++i)
        ASSERT_EQ(0xFFu, pixels[i] >> 24);
    HDC plain = ::CreateCompatibleDC(nullptr); // holds only the 1x1 stock bitmap
    EXPECT_EQ(S_FALSE, RestoreTextAlpha(plain, rect, 0xFF));
    ::DeleteDC(plain);
}

// ---- font linking through a fake MLang object ----

constexpr DWORD kLatin = 0x1;    // FS_LATIN1
constexpr DWORD kCyrillic = 0x4; // FS_CYRILLIC

struct FontLinkLog
{
    int objects = 0;
    int maps = 0;
    int releases = 0;
    HFONT mappedFont = nullptr;
} g_log;

// Treats characters below 0x400 as Latin and 0x400-0x4FF as Cyrillic; the DC's font shows
// Latin only, and the mapped font is the test's large one.
class CFakeFontLink : public tx::ComObject<CFakeFontLink, IMLangFontLink>
{
  public:
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) noexcept
    {
        if (riid == __uuidof(IMLangCodePages))
        {
            *ppv = static_cast<IMLangCodePages *>(this);
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP GetCharCodePages(WCHAR ch, DWORD *codePages) override
    {
        *codePages = ch >= 0x400 && ch < 0x500 ? kCyrillic : kLatin;
        return S_OK;
    }
    STDMETHODIMP GetStrCodePages(const WCHAR *text, LONG length, DWORD, DWORD *codePages, LONG *run) override
    {
        GetCharCodePages(text[0], codePages);
        LONG n = 1;
        for (DWORD next = 0; n < length && SUCCEEDED(GetCharCodePages(text[n], &next)) && next == *codePages;)
            ++n;
        *run = n;
        return S_OK;
    }
    STDMETHODIMP CodePageToCodePages(UINT, DWORD *codePages) override
    {
        *codePages = kLatin;
        return S_OK;
    }
    STDMETHODIMP CodePagesToCodePage(DWORD, UINT, UINT *codePage) override
    {
        *codePage = 1252;
        return S_OK;
    }
    STDMETHODIMP GetFontCodePages(HDC, HFONT, DWORD *codePages) override
    {
        *codePages = kLatin;
        return S_OK;
    }
    STDMETHODIMP MapFont(HDC, DWORD, HFONT, HFONT *mapped) override
    {
        ++g_log.maps;
        *mapped = g_log.mappedFont;
        return S_OK;
    }
    STDMETHODIMP ReleaseFont(HFONT) override
    {
        ++g_log.releases;
        return S_OK;
    }
    STDMETHODIMP ResetFontMapping() override
    {
        return S_OK;
    }
};

HRESULT FakeFontLinkSource(IMLangFontLink **fontLink) noexcept
{
    ++g_log.objects;
    auto object = tx::MakeComObject<CFakeFontLink>();
    if (!object)
        return E_OUTOFMEMORY;
    *fontLink = object.Detach();
    return S_OK;
}

HRESULT NoFontLinkSource(IMLangFontLink **fontLink) noexcept
{
    *fontLink = nullptr;
    ++g_log.objects;
    return E_FAIL;
}

class FontLinkTest : public TextRasterTest
{
  protected:
    void SetUp() override
    {
        TextRasterTest::SetUp();
        big = ::CreateFontW(-32, 0, 0, 0, 400, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                            NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
        g_log = FontLinkLog();
        g_log.mappedFont = big;
        SetTextRasterPlatform(false, 1252); // before Windows XP, Western code page
        SetFontLinkSource(&FakeFontLinkSource);
        ::SelectObject(dc, ::CreateFontW(-16, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS,
                                         CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    }
    void TearDown() override
    {
        ::DeleteObject(::SelectObject(dc, font));
        TextRasterTest::TearDown();
        ::DeleteObject(big);
    }
    LONG WidthIn(HFONT f, const wchar_t *text)
    {
        HGDIOBJ old = ::SelectObject(dc, f);
        LONG w = Width(text);
        ::SelectObject(dc, old);
        return w;
    }

    HFONT big = nullptr;
};

TEST_F(FontLinkTest, SevenBitTextsNeedNoLinking)
{
    std::wstring longText(300, L'a');
    SIZE size{};
    EXPECT_TRUE(MeasureText(dc, longText.c_str(), 300, &size));
    EXPECT_EQ(Width(longText.c_str()), size.cx);
    EXPECT_TRUE(MeasureText(dc, L"abc", 3, &size));
    EXPECT_EQ(0, g_log.objects); // the code page test answered: no MLang
}

TEST_F(FontLinkTest, RunsTheFontCannotShowAreMeasuredWithTheMappedFont)
{
    const wchar_t text[] = L"ab\x0416\x0416"
                           L"cd";
    SIZE size{};
    ASSERT_TRUE(MeasureText(dc, text, 6, &size));
    SIZE space{};
    ::GetTextExtentPoint32W(dc, L" ", 1, &space);
    EXPECT_EQ(WidthIn(dc ? static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT)) : nullptr, L"ab") +
                  WidthIn(big, L"\x0416\x0416") + Width(L"cd"),
              size.cx);
    EXPECT_EQ(space.cy, size.cy); // the height of the DC's own font
    EXPECT_EQ(1, g_log.objects);
    EXPECT_EQ(1, g_log.maps); // only the Cyrillic run
    EXPECT_EQ(g_log.maps, g_log.releases);
}

TEST_F(FontLinkTest, LinkedDrawingHonoursRightAndCentreAlignment)
{
    const wchar_t text[] = L"ab\x0416\x0416";
    SIZE size{};
    ASSERT_TRUE(MeasureText(dc, text, 4, &size));
    ::SetTextAlign(dc, TA_RIGHT | TA_TOP);
    ASSERT_TRUE(ExtTextOutText(dc, 300, 2, 0, nullptr, text, 4, nullptr));
    auto [left, right] = InkColumns();
    EXPECT_LE(right, 300);
    EXPECT_GE(right, 300 - 4); // ends at x, give or take the last glyph's side bearing
    EXPECT_GE(left, 300 - size.cx);
    EXPECT_LE(left, 300 - size.cx + 4);
    EXPECT_EQ(static_cast<UINT>(TA_RIGHT | TA_TOP), ::GetTextAlign(dc)); // restored
    EXPECT_EQ(g_log.maps, g_log.releases);

    for (int i = 0; i < 400 * 40; ++i)
        pixels[i] = 0;
    ::SetTextAlign(dc, TA_CENTER | TA_TOP);
    ASSERT_TRUE(ExtTextOutText(dc, 200, 2, 0, nullptr, text, 4, nullptr));
    auto [cl, cr] = InkColumns();
    EXPECT_NEAR(200, (cl + cr) / 2, 4);
    ::SetTextAlign(dc, TA_LEFT | TA_TOP);
}

TEST_F(FontLinkTest, WithoutMlangTheTextIsDrawnPlainly)
{
    SetFontLinkSource(&NoFontLinkSource);
    const wchar_t text[] = L"ab\x0416";
    SIZE size{};
    ASSERT_TRUE(MeasureText(dc, text, 3, &size));
    SIZE plain{};
    ::GetTextExtentPoint32W(dc, text, 3, &plain);
    EXPECT_EQ(plain.cx, size.cx);
    EXPECT_TRUE(TextOutText(dc, 0, 0, text, 3));
    EXPECT_GT(InkColumns().second, 0);
    EXPECT_GE(g_log.objects, 2);
}

// Wine's own MLang, reached the way the program reaches it before Windows XP.
TEST_F(TextRasterTest, SystemMlangLinksACyrillicText)
{
    SetTextRasterPlatform(false, 1252);
    HFONT ansi = ::CreateFontW(-16, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                               NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
    HGDIOBJ old = ::SelectObject(dc, ansi);
    const wchar_t text[] = L"ab\x0416\x0436";
    SIZE size{};
    EXPECT_TRUE(MeasureText(dc, text, 4, &size));
    EXPECT_GT(size.cx, Width(L"ab"));
    EXPECT_GT(size.cy, 0);
    EXPECT_TRUE(TextOutText(dc, 0, 0, text, 4));
    EXPECT_GT(InkColumns().second, 0);
    ::SelectObject(dc, old);
    ::DeleteObject(ansi);
}

} // namespace
