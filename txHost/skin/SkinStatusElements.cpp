#include "txHost/skin/SkinStatusElements.h"

#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "txHost/skin/SkinElement.h"
#include "txHost/skin/SkinRect.h"
#include "txHost/skin/SkinText.h"

#include <string>

namespace tx::skin
{

HRESULT SkinRootLookup::FindElement(const wchar_t *id, ISkinElement **element)
{
    if (!m_root)
        return E_FAIL;
    return FindSkinElementById(m_root, id, element);
}

template <class Face> bool SkinStatusElements::Find(std::wstring_view id, Face **face)
{
    *face = nullptr;
    if (!m_lookup)
        return false;
    try
    {
        const std::wstring key(id);
        tx::ComPtr<ISkinElement> element;
        if (FAILED(m_lookup->FindElement(key.c_str(), element.GetAddressOf())) || !element)
            return false;
        return SUCCEEDED(element->QueryInterface(__uuidof(Face), reinterpret_cast<void **>(face))) && *face;
    }
    catch (...)
    {
        return false;
    }
}

bool SkinStatusElements::SetVisible(std::wstring_view id, bool visible)
{
    tx::ComPtr<ISkinElement> element;
    return Find(id, element.GetAddressOf()) && SUCCEEDED(element->SetVisible(visible ? TRUE : FALSE));
}

bool SkinStatusElements::GetVisible(std::wstring_view id, bool *visible)
{
    tx::ComPtr<ISkinElement> element;
    BOOL value = FALSE;
    if (!Find(id, element.GetAddressOf()) || FAILED(element->GetVisible(&value)))
        return false;
    *visible = value != FALSE;
    return true;
}

bool SkinStatusElements::SetText(std::wstring_view id, std::wstring_view text)
{
    tx::ComPtr<ISkinText> element;
    if (!Find(id, element.GetAddressOf()))
        return false;
    tx::Bstr value(text);
    if (value.IsNull())
        return false;
    return SUCCEEDED(element->SetText(value.Get()));
}

bool SkinStatusElements::GetText(std::wstring_view id, std::wstring *text)
{
    tx::ComPtr<ISkinText> element;
    tx::Bstr value;
    if (!Find(id, element.GetAddressOf()) || FAILED(element->GetText(value.Put())))
        return false;
    *text = value.Get() ? std::wstring(value.Get(), value.Length()) : std::wstring();
    return true;
}

bool SkinStatusElements::AppendText(std::wstring_view id, std::wstring_view text)
{
    tx::ComPtr<ISkinText> element;
    if (!Find(id, element.GetAddressOf()))
        return false;
    tx::Bstr value(text);
    if (value.IsNull())
        return false;
    return SUCCEEDED(element->AppendText(value.Get()));
}

bool SkinStatusElements::SetPosition(std::wstring_view id, int32_t x, int32_t y)
{
    tx::ComPtr<ISkinText> element;
    return Find(id, element.GetAddressOf()) && SUCCEEDED(element->SetPosition(x, y));
}

bool SkinStatusElements::SetAlign(std::wstring_view id, int32_t align)
{
    tx::ComPtr<ISkinText> element;
    return Find(id, element.GetAddressOf()) && SUCCEEDED(element->SetAlign(align));
}

bool SkinStatusElements::GetLength(std::wstring_view id, int32_t *length)
{
    LONG value = 0;
    tx::ComPtr<ISkinRect> rect;
    tx::ComPtr<ISkinBlockRect> blocks;
    if (Find(id, rect.GetAddressOf()))
    {
        if (FAILED(rect->GetLength(&value)))
            return false;
    }
    else if (!Find(id, blocks.GetAddressOf()) || FAILED(blocks->GetLength(&value)))
    {
        return false;
    }
    *length = value;
    return true;
}

bool SkinStatusElements::SetLength(std::wstring_view id, int32_t length)
{
    tx::ComPtr<ISkinRect> rect;
    if (Find(id, rect.GetAddressOf()))
        return SUCCEEDED(rect->SetLength(length));
    tx::ComPtr<ISkinBlockRect> blocks;
    return Find(id, blocks.GetAddressOf()) && SUCCEEDED(blocks->SetLength(length));
}

namespace
{

SYSTEMTIME ToSystemTime(const StatusClockTime &time)
{
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(time.year);
    st.wMonth = static_cast<WORD>(time.month);
    st.wDay = static_cast<WORD>(time.day);
    st.wHour = static_cast<WORD>(time.hour);
    st.wMinute = static_cast<WORD>(time.minute);
    return st;
}

} // namespace

StatusClockTime SystemStatusClock::Now()
{
    SYSTEMTIME st = {};
    ::GetLocalTime(&st);
    return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute};
}

std::wstring SystemStatusClock::FormatDate(const StatusClockTime &time, const std::wstring &picture)
{
    const SYSTEMTIME st = ToSystemTime(time);
    wchar_t text[256] = {};
    // An empty picture means the locale's short form.
    if (!::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, picture.empty() ? nullptr : picture.c_str(), text, 256))
        return std::wstring();
    return text;
}

std::wstring SystemStatusClock::FormatTime(const StatusClockTime &time, const std::wstring &picture)
{
    const SYSTEMTIME st = ToSystemTime(time);
    wchar_t text[256] = {};
    if (!::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, picture.empty() ? nullptr : picture.c_str(), text, 256))
        return std::wstring();
    return text;
}

void SkinStatusSet::Bind(CSkinElement *statusRoot, CSkinElement *logRoot, std::wstring timePicture,
                         std::wstring datePicture)
{
    m_statusLookup.SetRoot(statusRoot);
    m_logLookup.SetRoot(logRoot);
    m_indicators.SetPages(statusRoot ? &m_statusPage : nullptr, logRoot ? &m_logPage : nullptr);
    m_indicators.SetClockPictures(std::move(timePicture), std::move(datePicture));
    m_indicators.HideIndicators();
}

void SkinStatusSet::Unbind() noexcept
{
    m_indicators.SetPages(nullptr, nullptr);
    m_statusLookup.SetRoot(nullptr);
    m_logLookup.SetRoot(nullptr);
}

void SkinStatusSet::Tick(bool *changed, const std::function<bool()> &onPictureTimer) noexcept
{
    m_indicators.TickIndicators(changed, onPictureTimer);
    m_indicators.FlushLogLines(changed);
}

} // namespace tx::skin
