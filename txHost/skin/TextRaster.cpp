// Text measuring and drawing for the skin elements, with MLang font linking before
// Windows XP.
#include "txHost/skin/TextRaster.h"

#include "comkit/ComPtr.h"
#include "comkit/Handles.h"

#include <atomic>
#include <memory>
#include <new>
#include <string>

namespace tx::skin
{
namespace
{

std::atomic<bool> g_isXpOrLater{true};
std::atomic<UINT> g_acp{CP_ACP};

constexpr int kWorkChars = 256;
constexpr wchar_t kEllipsis[] = L"...";

HRESULT DefaultFontLinkSource(IMLangFontLink **fontLink) noexcept
{
    using GetGlobalFontLinkObjectFn = HRESULT(WINAPI *)(void **);
    // The library stays loaded for the process: fonts mapped by it may still be selected.
    static GetGlobalFontLinkObjectFn entry = []() -> GetGlobalFontLinkObjectFn {
        HMODULE mlang = ::LoadLibraryW(L"mlang.dll");
        if (!mlang)
            return nullptr;
        return reinterpret_cast<GetGlobalFontLinkObjectFn>(
            reinterpret_cast<void *>(::GetProcAddress(mlang, "GetGlobalFontLinkObject")));
    }();
    if (!entry)
        return E_FAIL;
    tx::ComPtr<IUnknown> object;
    HRESULT hr = entry(reinterpret_cast<void **>(object.GetAddressOf()));
    if (FAILED(hr) || !object)
        return FAILED(hr) ? hr : E_FAIL;
    return object->QueryInterface(__uuidof(IMLangFontLink), reinterpret_cast<void **>(fontLink));
}

std::atomic<FontLinkSource> g_fontLinkSource{&DefaultFontLinkSource};

HRESULT GetFontLinkObject(IMLangFontLink **fontLink) noexcept
{
    *fontLink = nullptr;
    return g_fontLinkSource.load()(fontLink);
}

bool AllBelow128(const wchar_t *text, int length) noexcept
{
    for (int i = 0; i < length; ++i)
        if (text[i] >= 128)
            return false;
    return true;
}

// A buffer of count elements: on the stack up to kWorkChars, else on the heap.
template <class T> class WorkBuffer
{
  public:
    explicit WorkBuffer(int count) noexcept
    {
        if (count > kWorkChars)
        {
            m_heap.reset(new (std::nothrow) T[count]());
            m_data = m_heap.get();
        }
    }
    T *Get() noexcept
    {
        return m_data;
    }

  private:
    T m_stack[kWorkChars] = {};
    std::unique_ptr<T[]> m_heap;
    T *m_data = m_stack;
};

enum class Coverage
{
    FontShowsText, // no linking needed
    Linked,        // fontLink holds the MLang object
    Unavailable,
};

Coverage CheckFontCoverage(HDC dc, const wchar_t *text, int length, tx::ComPtr<IMLangFontLink> &fontLink) noexcept
{
    CHARSETINFO info{};
    int charset = ::GetTextCharsetInfo(dc, nullptr, 0);
    UINT fontCodePage = 0;
    if (::TranslateCharsetInfo(reinterpret_cast<DWORD *>(static_cast<UINT_PTR>(charset)), &info, TCI_SRCCHARSET))
        fontCodePage = info.ciACP;
    if (length >= 1 && fontCodePage == g_acp.load())
    {
        int bytes = length * 2;
        WorkBuffer<char> narrow(bytes);
        WorkBuffer<wchar_t> wide(length);
        if (narrow.Get() && wide.Get())
        {
            BOOL usedDefault = FALSE;
            int written = ::WideCharToMultiByte(CP_ACP, 0, text, length, narrow.Get(), bytes, nullptr, &usedDefault);
            if (written > 0 && !usedDefault)
            {
                int back = ::MultiByteToWideChar(CP_ACP, 0, narrow.Get(), written, wide.Get(), length);
                if (back == length && ::memcmp(wide.Get(), text, sizeof(wchar_t) * length) == 0)
                    return Coverage::FontShowsText;
            }
        }
    }
    if (FAILED(GetFontLinkObject(fontLink.GetAddressOf())) || !fontLink)
        return Coverage::Unavailable;
    return Coverage::Linked;
}

BOOL MeasureRunPlain(HDC dc, const wchar_t *text, int length, SIZE *size) noexcept
{
    if (length == 0)
    {
        BOOL ok = ::GetTextExtentPointW(dc, L" ", 1, size);
        size->cx = 0;
        return ok;
    }
    return ::GetTextExtentPoint32W(dc, text, length, size);
}

// The code pages of the DC's font, the priority code pages and whether the font shows
// the whole text. False when MLang fails.
struct LinkContext
{
    HFONT font = nullptr;
    DWORD fontCodePages = 0;
    DWORD priority = 0;
};

bool PrepareLink(HDC dc, IMLangFontLink *fontLink, const wchar_t *text, int length, LinkContext &context,
                 bool &fontShowsAll) noexcept
{
    context.font = static_cast<HFONT>(::GetCurrentObject(dc, OBJ_FONT));
    if (FAILED(fontLink->GetFontCodePages(dc, context.font, &context.fontCodePages)))
        return false;
    if (FAILED(fontLink->CodePageToCodePages(g_acp.load(), &context.priority)))
        context.priority = 0;
    DWORD textCodePages = 0;
    LONG run = 0;
    if (FAILED(fontLink->GetStrCodePages(text, length, context.priority, &textCodePages, &run)))
        return false;
    fontShowsAll = (textCodePages & context.fontCodePages) != 0 && run == length;
    return true;
}

// Selects a font mapped for the code pages of a run that the DC's font cannot show, and
// gives it back to MLang when it goes.
class MappedFontScope
{
  public:
    MappedFontScope(HDC dc, IMLangFontLink *fontLink, const LinkContext &context, DWORD runCodePages) noexcept
        : m_dc(dc), m_fontLink(fontLink)
    {
        if ((runCodePages & context.fontCodePages) != 0)
            return;
        if (SUCCEEDED(fontLink->MapFont(dc, runCodePages, context.font, &m_mapped)) && m_mapped)
            m_old = ::SelectObject(dc, m_mapped);
        else
            m_mapped = nullptr;
    }
    ~MappedFontScope()
    {
        if (m_mapped)
        {
            ::SelectObject(m_dc, m_old);
            m_fontLink->ReleaseFont(m_mapped);
        }
    }
    MappedFontScope(const MappedFontScope &) = delete;
    MappedFontScope &operator=(const MappedFontScope &) = delete;

  private:
    HDC m_dc;
    IMLangFontLink *m_fontLink;
    HFONT m_mapped = nullptr;
    HGDIOBJ m_old = nullptr;
};

// The next run from position: its length (at least 1, so the walk always ends) and code pages.
bool NextRun(IMLangFontLink *fontLink, const LinkContext &context, const wchar_t *text, int length, int position,
             DWORD &codePages, LONG &run) noexcept
{
    codePages = 0;
    run = 0;
    if (FAILED(fontLink->GetStrCodePages(text + position, length - position, context.priority, &codePages, &run)))
        return false;
    if (run < 1 || run > length - position)
        run = length - position;
    return true;
}

// 0: the caller measures plainly.
BOOL MeasureTextLinked(HDC dc, const wchar_t *text, int length, SIZE *size) noexcept
{
    tx::ComPtr<IMLangFontLink> fontLink;
    switch (CheckFontCoverage(dc, text, length, fontLink))
    {
    case Coverage::FontShowsText:
        return ::GetTextExtentPointW(dc, text, length, size);
    case Coverage::Unavailable:
        return FALSE;
    case Coverage::Linked:
        break;
    }
    LinkContext context;
    bool fontShowsAll = false;
    if (!PrepareLink(dc, fontLink.Get(), text, length, context, fontShowsAll) || fontShowsAll)
        return FALSE;

    BOOL result = ::GetTextExtentPointA(dc, " ", 1, size);
    if (!result)
        return FALSE;
    size->cx = 0;
    for (int position = 0; position < length;)
    {
        DWORD codePages = 0;
        LONG run = 0;
        if (!NextRun(fontLink.Get(), context, text, length, position, codePages, run))
            break;
        MappedFontScope mapped(dc, fontLink.Get(), context, codePages);
        SIZE part{};
        result = MeasureRunPlain(dc, text + position, run, &part);
        size->cx += part.cx;
        position += run;
    }
    return result;
}

BOOL ExtTextOutLinked(HDC dc, int x, int y, UINT options, const RECT *rect, const wchar_t *text, int length,
                      const INT *spacing) noexcept
{
    if (length == 0)
        return FALSE;
    tx::ComPtr<IMLangFontLink> fontLink;
    switch (CheckFontCoverage(dc, text, length, fontLink))
    {
    case Coverage::FontShowsText:
        return ::ExtTextOutW(dc, x, y, options, rect, text, length, spacing);
    case Coverage::Unavailable:
        return FALSE;
    case Coverage::Linked:
        break;
    }
    LinkContext context;
    bool fontShowsAll = false;
    if (!PrepareLink(dc, fontLink.Get(), text, length, context, fontShowsAll) || fontShowsAll)
        return FALSE;

    BOOL result = FALSE;
    bool updatingCp = false;
    bool restoreCp = false;
    POINT oldPosition{};
    UINT align = ::GetTextAlign(dc);
    for (int position = 0; position < length;)
    {
        DWORD codePages = 0;
        LONG run = 0;
        if (!NextRun(fontLink.Get(), context, text, length, position, codePages, run))
            break;
        // Runs after the first continue where the previous one ended: GDI advances the
        // current position when TA_UPDATECP is set.
        if (!updatingCp && run < length - position)
        {
            updatingCp = true;
            if (!(align & TA_UPDATECP))
            {
                ::MoveToEx(dc, x, y, &oldPosition);
                restoreCp = true;
            }
        }
        MappedFontScope mapped(dc, fontLink.Get(), context, codePages);
        if (updatingCp)
            ::SetTextAlign(dc, align | TA_UPDATECP);
        result = ::ExtTextOutW(dc, x, y, options, rect, text + position, static_cast<UINT>(run),
                               spacing ? spacing + position : nullptr);
        if (updatingCp)
            ::SetTextAlign(dc, align);
        options &= ~static_cast<UINT>(ETO_OPAQUE); // the background is filled once
        if (!result)
            break;
        position += run;
    }
    if (restoreCp)
        ::MoveToEx(dc, oldPosition.x, oldPosition.y, nullptr);
    return result;
}

} // namespace

void InitTextRaster() noexcept
{
    // GetVersionEx reports the version the manifest allows; the answer only decides
    // whether GDI links fonts by itself, which every NT 5.1 or later does.
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    bool xp = true;
    if (::GetVersionExW(reinterpret_cast<OSVERSIONINFOW *>(&version)))
        xp = version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
             (version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1));
    g_isXpOrLater = xp;
    g_acp = ::GetACP();
}

void SetTextRasterPlatform(bool isXpOrLater, UINT acp) noexcept
{
    g_isXpOrLater = isXpOrLater;
    g_acp = acp;
}

bool TextRasterIsXpOrLater() noexcept
{
    return g_isXpOrLater.load();
}

void SetFontLinkSource(FontLinkSource source) noexcept
{
    g_fontLinkSource = source ? source : &DefaultFontLinkSource;
}

BOOL MeasureText(HDC dc, const wchar_t *text, int length, SIZE *size) noexcept
{
    if (!size || length < 0 || (length > 0 && !text))
        return FALSE;
    if (g_isXpOrLater)
    {
        if (length == 0)
            return MeasureRunPlain(dc, text, 0, size);
        return ::GetTextExtentPointW(dc, text, length, size);
    }
    if (length == 0)
        return MeasureRunPlain(dc, text, length, size);
    if (length < kWorkChars && text[0] < 128 && AllBelow128(text, length))
        return ::GetTextExtentPointW(dc, text, length, size);
    BOOL result = MeasureTextLinked(dc, text, length, size);
    if (!result)
        result = MeasureRunPlain(dc, text, length, size);
    return result;
}

BOOL ExtTextOutText(HDC dc, int x, int y, UINT options, const RECT *rect, const wchar_t *text, int length,
                    const INT *spacing) noexcept
{
    if (length < 0 || (length > 0 && !text))
        return FALSE;
    if (g_isXpOrLater || length == 0 || (length < kWorkChars && AllBelow128(text, length)))
        return ::ExtTextOutW(dc, x, y, options, rect, length ? text : L"", static_cast<UINT>(length), spacing);

    // Runs are drawn left to right, so a right or centred alignment becomes a left one
    // at the start of the whole text.
    UINT align = ::GetTextAlign(dc);
    int drawX = x;
    UINT horizontal = align & (TA_CENTER | TA_RIGHT);
    if (horizontal == TA_RIGHT || horizontal == TA_CENTER)
    {
        SIZE size{};
        if (MeasureTextLinked(dc, text, length, &size) || MeasureRunPlain(dc, text, length, &size))
            drawX -= horizontal == TA_RIGHT ? size.cx : size.cx / 2;
        ::SetTextAlign(dc, align & ~static_cast<UINT>(TA_CENTER | TA_RIGHT));
    }
    BOOL result = ExtTextOutLinked(dc, drawX, y, options, rect, text, length, spacing);
    ::SetTextAlign(dc, align);
    if (!result)
        result = ::ExtTextOutW(dc, x, y, options, rect, text, static_cast<UINT>(length), spacing);
    return result;
}

BOOL TextOutText(HDC dc, int x, int y, const wchar_t *text, int length) noexcept
{
    return ExtTextOutText(dc, x, y, 0, nullptr, text, length, nullptr);
}

BOOL DrawTextEllipsis(HDC dc, int x, int y, const wchar_t *text, int length, int maxWidth, int *rightEdge) noexcept
{
    SIZE ellipsis{};
    MeasureText(dc, kEllipsis, 3, &ellipsis);
    int n = 1;
    if (length >= 1)
    {
        n = length + 1;
        // The prefix widths grow with the count, so the first one too wide is found by
        // bisection instead of measuring every prefix.
        int low = 1, high = length;
        while (low <= high)
        {
            int mid = low + (high - low) / 2;
            SIZE size{};
            MeasureText(dc, text, mid, &size);
            if (size.cx > maxWidth - ellipsis.cx)
            {
                n = mid;
                high = mid - 1;
            }
            else
                low = mid + 1;
        }
    }
    SIZE prefix{};
    MeasureText(dc, text, n - 1, &prefix);
    if (n - 1 == 0)
        prefix.cx = 0;
    BOOL result = TRUE;
    if (n - 1 > 0)
        result = TextOutText(dc, x, y, text, n - 1);
    result = TextOutText(dc, x + prefix.cx, y, kEllipsis, 3) && result;
    if (rightEdge)
        *rightEdge = x + prefix.cx + ellipsis.cx;
    return result;
}

BOOL DrawPathEllipsis(HDC dc, int x, int y, const wchar_t *path, int length, int maxWidth) noexcept
{
    if (length < 0 || (length > 0 && !path))
        return FALSE;
    SIZE whole{};
    MeasureText(dc, path, length, &whole);
    if (whole.cx <= maxWidth)
        return TextOutText(dc, x, y, path, length);

    int lastSlash = -1;
    for (int i = 0; i < length; ++i)
        if (path[i] == L'\\')
            lastSlash = i;
    if (lastSlash < 0)
        return DrawTextEllipsis(dc, x, y, path, length, maxWidth, nullptr);

    bool hasDrive = length >= 2 && path[1] == L':';
    const wchar_t *tail = path + lastSlash + 1;
    int tailLength = length - lastSlash - 1;
    std::wstring shortForm;
    try
    {
        if (hasDrive)
            shortForm.assign(path, 2).append(L"\\...\\");
        else
            shortForm.assign(L"...\\");
        shortForm.append(tail, static_cast<size_t>(tailLength));
    }
    catch (...)
    {
        return FALSE;
    }
    SIZE shortSize{};
    MeasureText(dc, shortForm.c_str(), static_cast<int>(shortForm.size()), &shortSize);
    if (shortSize.cx > maxWidth)
        return DrawTextEllipsis(dc, x, y, shortForm.c_str(), static_cast<int>(shortForm.size()), maxWidth, nullptr);

    SIZE lastPart{};
    MeasureText(dc, path + lastSlash, tailLength + 1, &lastPart);
    int right = x;
    BOOL result = DrawTextEllipsis(dc, x, y, path, lastSlash, maxWidth - lastPart.cx, &right);
    return TextOutText(dc, right, y, path + lastSlash, tailLength + 1) && result;
}

HRESULT RestoreTextAlpha(HDC dc, const RECT &rect, BYTE alpha) noexcept
{
    HGDIOBJ bitmap = ::GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION dib{};
    if (!bitmap || ::GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || !dib.dsBm.bmBits ||
        dib.dsBm.bmBitsPixel != 32)
        return S_FALSE;
    ::GdiFlush(); // GDI may still be drawing into the bits
    LONG width = dib.dsBm.bmWidth;
    LONG height = dib.dsBm.bmHeight;
    LONG left = rect.left < 0 ? 0 : rect.left;
    LONG top = rect.top < 0 ? 0 : rect.top;
    LONG right = rect.right > width ? width : rect.right;
    LONG bottom = rect.bottom > height ? height : rect.bottom;
    bool bottomUp = dib.dsBmih.biHeight > 0;
    auto *bits = static_cast<BYTE *>(dib.dsBm.bmBits);
    for (LONG row = top; row < bottom; ++row)
    {
        LONG line = bottomUp ? height - 1 - row : row;
        auto *pixels = reinterpret_cast<DWORD *>(bits + static_cast<size_t>(line) * dib.dsBm.bmWidthBytes);
        for (LONG column = left; column < right; ++column)
            pixels[column] = (pixels[column] & 0x00FFFFFFu) | (static_cast<DWORD>(alpha) << 24);
    }
    return S_OK;
}

} // namespace tx::skin
