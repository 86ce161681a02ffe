#pragma once
// RAII owners for the Win32 handles the program holds: kernel handles, registry
// keys, GDI objects and device contexts, critical sections and events.
#include <windows.h>

#include <utility>

namespace tx
{

// Owns a handle and closes it through Traits::Close; Traits::Invalid() is the empty value.
template <class Traits> class UniqueResource
{
  public:
    using Type = typename Traits::Type;

    UniqueResource() noexcept = default;
    explicit UniqueResource(Type value) noexcept : m_value(value)
    {
    }
    ~UniqueResource()
    {
        Reset();
    }
    UniqueResource(UniqueResource &&other) noexcept : m_value(other.Release())
    {
    }
    UniqueResource &operator=(UniqueResource &&other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource &) = delete;
    UniqueResource &operator=(const UniqueResource &) = delete;

    Type Get() const noexcept
    {
        return m_value;
    }
    bool IsValid() const noexcept
    {
        return m_value != Traits::Invalid();
    }
    explicit operator bool() const noexcept
    {
        return IsValid();
    }
    // Address for an API that fills the handle in; any handle held before is closed.
    Type *Put() noexcept
    {
        Reset();
        return &m_value;
    }
    Type Release() noexcept
    {
        return std::exchange(m_value, Traits::Invalid());
    }
    void Reset(Type value = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(m_value, value);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }

  private:
    Type m_value = Traits::Invalid();
};

struct HandleTraits
{
    using Type = HANDLE;
    static Type Invalid() noexcept
    {
        return nullptr;
    }
    static void Close(Type h) noexcept
    {
        ::CloseHandle(h);
    }
};

// CreateFile and a few others answer INVALID_HANDLE_VALUE instead of NULL.
struct FileHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() noexcept
    {
        return INVALID_HANDLE_VALUE;
    }
    static void Close(Type h) noexcept
    {
        ::CloseHandle(h);
    }
};

struct FindHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() noexcept
    {
        return INVALID_HANDLE_VALUE;
    }
    static void Close(Type h) noexcept
    {
        ::FindClose(h);
    }
};

struct RegKeyTraits
{
    using Type = HKEY;
    static Type Invalid() noexcept
    {
        return nullptr;
    }
    static void Close(Type h) noexcept
    {
        ::RegCloseKey(h);
    }
};

struct ModuleTraits
{
    using Type = HMODULE;
    static Type Invalid() noexcept
    {
        return nullptr;
    }
    static void Close(Type h) noexcept
    {
        ::FreeLibrary(h);
    }
};

template <class T> struct GdiObjectTraits
{
    using Type = T;
    static Type Invalid() noexcept
    {
        return nullptr;
    }
    static void Close(Type h) noexcept
    {
        ::DeleteObject(h);
    }
};

// A memory device context from CreateCompatibleDC.
struct MemoryDcTraits
{
    using Type = HDC;
    static Type Invalid() noexcept
    {
        return nullptr;
    }
    static void Close(Type h) noexcept
    {
        ::DeleteDC(h);
    }
};

struct AtomTraits
{
    using Type = ATOM;
    static Type Invalid() noexcept
    {
        return 0;
    }
    static void Close(Type a) noexcept
    {
        ::GlobalDeleteAtom(a);
    }
};

using UniqueHandle = UniqueResource<HandleTraits>;
using UniqueFileHandle = UniqueResource<FileHandleTraits>;
using UniqueFindHandle = UniqueResource<FindHandleTraits>;
using UniqueHKey = UniqueResource<RegKeyTraits>;
using UniqueModule = UniqueResource<ModuleTraits>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueResource<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueResource<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueResource<GdiObjectTraits<HPEN>>;
using UniqueRegion = UniqueResource<GdiObjectTraits<HRGN>>;
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;
using UniqueGlobalAtom = UniqueResource<AtomTraits>;

// A typed export of a loaded module, null when missing. (FARPROC is not cast
// directly: its signature never matches the export's real one.)
template <class Function> Function GetProcAddressAs(HMODULE module, const char *name) noexcept
{
    return reinterpret_cast<Function>(reinterpret_cast<void *>(::GetProcAddress(module, name)));
}

// A window DC from GetDC, released to its window.
class WindowDc
{
  public:
    explicit WindowDc(HWND hwnd) noexcept : m_hwnd(hwnd), m_hdc(::GetDC(hwnd))
    {
    }
    ~WindowDc()
    {
        if (m_hdc)
            ::ReleaseDC(m_hwnd, m_hdc);
    }
    WindowDc(const WindowDc &) = delete;
    WindowDc &operator=(const WindowDc &) = delete;
    HDC Get() const noexcept
    {
        return m_hdc;
    }

  private:
    HWND m_hwnd;
    HDC m_hdc;
};

// Selects an object into a DC for a scope and puts the previous one back.
class SelectObjectScope
{
  public:
    SelectObjectScope(HDC hdc, HGDIOBJ obj) noexcept : m_hdc(hdc), m_old(::SelectObject(hdc, obj))
    {
    }
    ~SelectObjectScope()
    {
        if (m_old)
            ::SelectObject(m_hdc, m_old);
    }
    SelectObjectScope(const SelectObjectScope &) = delete;
    SelectObjectScope &operator=(const SelectObjectScope &) = delete;

  private:
    HDC m_hdc;
    HGDIOBJ m_old;
};

class CriticalSection
{
  public:
    CriticalSection() noexcept
    {
        ::InitializeCriticalSection(&m_cs);
    }
    ~CriticalSection()
    {
        ::DeleteCriticalSection(&m_cs);
    }
    CriticalSection(const CriticalSection &) = delete;
    CriticalSection &operator=(const CriticalSection &) = delete;

    void Enter() noexcept
    {
        ::EnterCriticalSection(&m_cs);
    }
    void Leave() noexcept
    {
        ::LeaveCriticalSection(&m_cs);
    }
    // Usable with std::lock_guard / std::unique_lock.
    void lock() noexcept
    {
        Enter();
    }
    void unlock() noexcept
    {
        Leave();
    }
    bool try_lock() noexcept
    {
        return ::TryEnterCriticalSection(&m_cs) != FALSE;
    }

  private:
    CRITICAL_SECTION m_cs;
};

class CriticalSectionLock
{
  public:
    explicit CriticalSectionLock(CriticalSection &cs) noexcept : m_cs(cs)
    {
        m_cs.Enter();
    }
    ~CriticalSectionLock()
    {
        m_cs.Leave();
    }
    CriticalSectionLock(const CriticalSectionLock &) = delete;
    CriticalSectionLock &operator=(const CriticalSectionLock &) = delete;

  private:
    CriticalSection &m_cs;
};

} // namespace tx
