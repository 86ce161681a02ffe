#include "txHost/skin/SkinPageStandin.h"

#include "comkit/ComObject.h"

#include <string>

namespace
{

class CStandinPage final : public tx::ComObject<CStandinPage, IPage>
{
  public:
    explicit CStandinPage(const wchar_t *behavior) : m_behavior(behavior)
    {
    }

    STDMETHODIMP RestoreState(ISkinManager *manager, IHost *host, IStream *) override
    {
        Log(L"RestoreState");
        return Open(manager, host, 0, 0);
    }
    STDMETHODIMP Open(ISkinManager *, IHost *, LONG, LONG) override
    {
        return Log(L"Open");
    }
    STDMETHODIMP SaveState(IStream *) override
    {
        return Log(L"SaveState");
    }
    STDMETHODIMP OnKey(LONG, BOOL *) override
    {
        return Log(L"OnKey");
    }
    STDMETHODIMP OnCommand(BSTR, LONG, LONG, LONG) override
    {
        return Log(L"OnCommand");
    }
    STDMETHODIMP GetCommandValue(BSTR, LONG, LONG, LONG, BSTR *) override
    {
        return Log(L"GetCommandValue");
    }
    STDMETHODIMP OnSelect(BSTR, LONG, LONG) override
    {
        return Log(L"OnSelect");
    }
    STDMETHODIMP OnChoice(LONG) override
    {
        return Log(L"OnChoice");
    }
    STDMETHODIMP OnTimer(BOOL *) override
    {
        return S_OK; // ten times a second: not worth a line
    }
    STDMETHODIMP Refresh() override
    {
        return Log(L"Refresh");
    }
    STDMETHODIMP OnPictureTimer(BOOL *handled) override
    {
        if (handled)
            *handled = FALSE;
        return Log(L"OnPictureTimer");
    }
    STDMETHODIMP Attach(ISkinManager *, IHostCollection *) override
    {
        return Log(L"Attach");
    }
    STDMETHODIMP Reopen(LONG) override
    {
        return Log(L"Reopen");
    }

  private:
    HRESULT Log(const wchar_t *call) noexcept
    {
        try
        {
            const std::wstring line = L"Stand-in page " + m_behavior + L": " + call + L"\n";
            ::OutputDebugStringW(line.c_str());
        }
        catch (...)
        {
        }
        return S_OK;
    }

    std::wstring m_behavior;
};

} // namespace

HRESULT CreateStandinPage(const wchar_t *behavior, IPage **page) noexcept
{
    if (!page)
        return E_POINTER;
    *page = nullptr;
    if (!behavior || !*behavior)
        return E_INVALIDARG;
    try
    {
        tx::ComPtr<CStandinPage> object = tx::MakeComObject<CStandinPage>(behavior);
        if (!object)
            return E_OUTOFMEMORY;
        *page = object.Detach();
        return S_OK;
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
}
