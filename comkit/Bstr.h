#pragma once
// Owners for the automation types BSTR and VARIANT.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace tx
{

class Bstr
{
  public:
    Bstr() noexcept = default;
    // Copies the text; Get() stays null when the allocation fails (check with IsNull()).
    explicit Bstr(const wchar_t *text) : m_bstr(text ? ::SysAllocString(text) : nullptr)
    {
    }
    explicit Bstr(std::wstring_view text)
        : m_bstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
    }
    ~Bstr()
    {
        ::SysFreeString(m_bstr);
    }
    Bstr(Bstr &&other) noexcept : m_bstr(other.Detach())
    {
    }
    Bstr &operator=(Bstr &&other) noexcept
    {
        if (this != &other)
            Attach(other.Detach());
        return *this;
    }
    Bstr(const Bstr &other) : m_bstr(other.m_bstr ? ::SysAllocStringLen(other.m_bstr, other.Length()) : nullptr)
    {
    }
    Bstr &operator=(const Bstr &other)
    {
        if (this != &other)
            *this = Bstr(other);
        return *this;
    }

    BSTR Get() const noexcept
    {
        return m_bstr;
    }
    // For an out parameter; a string held before is freed.
    BSTR *Put() noexcept
    {
        Attach(nullptr);
        return &m_bstr;
    }
    void Attach(BSTR b) noexcept
    {
        ::SysFreeString(std::exchange(m_bstr, b));
    }
    BSTR Detach() noexcept
    {
        return std::exchange(m_bstr, nullptr);
    }
    // A fresh copy for handing out through an interface.
    HRESULT CopyTo(BSTR *out) const noexcept
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!m_bstr)
            return S_OK;
        *out = ::SysAllocStringLen(m_bstr, Length());
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    bool IsNull() const noexcept
    {
        return m_bstr == nullptr;
    }
    UINT Length() const noexcept
    {
        return ::SysStringLen(m_bstr);
    }
    // A null BSTR reads as the empty string, as automation treats it.
    const wchar_t *c_str() const noexcept
    {
        return m_bstr ? m_bstr : L"";
    }
    std::wstring_view View() const noexcept
    {
        return std::wstring_view(c_str(), Length());
    }

  private:
    BSTR m_bstr = nullptr;
};

class Variant
{
  public:
    Variant() noexcept
    {
        ::VariantInit(&m_v);
    }
    explicit Variant(const wchar_t *text) noexcept
    {
        ::VariantInit(&m_v);
        m_v.bstrVal = ::SysAllocString(text ? text : L"");
        if (m_v.bstrVal)
            m_v.vt = VT_BSTR;
    }
    explicit Variant(LONG value) noexcept
    {
        ::VariantInit(&m_v);
        m_v.vt = VT_I4;
        m_v.lVal = value;
    }
    explicit Variant(bool value) noexcept
    {
        ::VariantInit(&m_v);
        m_v.vt = VT_BOOL;
        m_v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    // Holds a counted reference to the object.
    explicit Variant(IUnknown *unknown) noexcept
    {
        ::VariantInit(&m_v);
        if (unknown)
        {
            m_v.vt = VT_UNKNOWN;
            m_v.punkVal = unknown;
            unknown->AddRef();
        }
    }
    ~Variant()
    {
        ::VariantClear(&m_v);
    }
    Variant(const Variant &) = delete;
    Variant &operator=(const Variant &) = delete;

    VARIANT &Get() noexcept
    {
        return m_v;
    }
    const VARIANT &Get() const noexcept
    {
        return m_v;
    }
    VARIANT *Put() noexcept
    {
        ::VariantClear(&m_v);
        return &m_v;
    }
    HRESULT ChangeType(VARTYPE vt) noexcept
    {
        return ::VariantChangeType(&m_v, &m_v, 0, vt);
    }

  private:
    VARIANT m_v;
};

} // namespace tx
