#pragma once
// Fakes for the skin manager tests: page controllers that record their calls and keep a
// state value that travels through the history's streams, a host that runs "programs"
// through a callback, and a fixture that attaches an OSD to the fake card with a skin
// written into a scratch data folder.
#include "comkit/ComObject.h"
#include "comkit/Module.h"
#include "tests/skinosd/FakeCard.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TestPaths.h"
#include "txHost/core/HostSettings.h"
#include "txHost/skin/Osd.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tx::test
{

// Every controller call, in order, as "behavior:Call(args)".
inline std::vector<std::wstring> g_pageCalls;
// Controllers alive, by behaviour name (the newest of a name).
class CFakePage;
inline std::map<std::wstring, CFakePage *> g_pages;
inline int g_pagesCreated = 0;
inline std::wstring g_failOpen;           // this behaviour's Open fails with E_ABORT
inline std::wstring g_failRestore;        // this behaviour's RestoreState fails with E_ABORT
inline LONG g_handledKey = -1;            // the action every OnKey handles
inline std::function<void()> g_onCommand; // runs inside OnCommand

class CFakePage final : public tx::ComObject<CFakePage, IPage>
{
  public:
    explicit CFakePage(const wchar_t *behavior) : m_name(behavior)
    {
        g_pages[m_name] = this;
        ++g_pagesCreated;
    }
    ~CFakePage()
    {
        auto found = g_pages.find(m_name);
        if (found != g_pages.end() && found->second == this)
            g_pages.erase(found);
    }

    // The state SaveState writes and RestoreState reads back.
    LONG value = 0;

    STDMETHODIMP RestoreState(ISkinManager *, IHost *, IStream *stream) override
    {
        LONG read = -1;
        ULONG bytes = 0;
        if (stream)
            stream->Read(&read, sizeof(read), &bytes);
        value = bytes == sizeof(read) ? read : -1;
        Log(L"Restore=" + std::to_wstring(value));
        return m_name == g_failRestore ? E_ABORT : S_OK;
    }
    STDMETHODIMP Open(ISkinManager *, IHost *, LONG parameter, LONG index) override
    {
        Log(L"Open(" + std::to_wstring(parameter) + L"," + std::to_wstring(index) + L")");
        return m_name == g_failOpen ? E_ABORT : S_OK;
    }
    STDMETHODIMP SaveState(IStream *stream) override
    {
        Log(L"Save=" + std::to_wstring(value));
        ULONG written = 0;
        return stream ? stream->Write(&value, sizeof(value), &written) : E_POINTER;
    }
    STDMETHODIMP OnKey(LONG action, BOOL *handled) override
    {
        Log(L"Key(" + std::to_wstring(action) + L")");
        *handled = action == g_handledKey;
        return S_OK;
    }
    STDMETHODIMP OnCommand(BSTR id, LONG first, LONG, LONG value) override
    {
        Log(L"Command(" + std::wstring(id ? id : L"") + L"," + std::to_wstring(first) + L"," + std::to_wstring(value) +
            L")");
        if (g_onCommand)
            g_onCommand();
        return S_OK;
    }
    STDMETHODIMP GetCommandValue(BSTR id, LONG, LONG, LONG, BSTR *) override
    {
        Log(L"CommandValue(" + std::wstring(id ? id : L"") + L")");
        return S_OK;
    }
    STDMETHODIMP OnSelect(BSTR id, LONG first, LONG) override
    {
        Log(L"Select(" + std::wstring(id ? id : L"") + L"," + std::to_wstring(first) + L")");
        return S_OK;
    }
    STDMETHODIMP OnChoice(LONG entry) override
    {
        Log(L"Choice(" + std::to_wstring(entry) + L")");
        return S_OK;
    }
    STDMETHODIMP OnTimer(BOOL *) override
    {
        return S_OK;
    }
    STDMETHODIMP Refresh() override
    {
        Log(L"Refresh");
        return S_OK;
    }
    STDMETHODIMP OnPictureTimer(BOOL *) override
    {
        return S_OK;
    }
    STDMETHODIMP Attach(ISkinManager *manager, IHostCollection *) override
    {
        Log(manager ? L"Attach" : L"Attach(null)");
        return S_OK;
    }
    STDMETHODIMP Reopen(LONG) override
    {
        Log(L"Reopen");
        return S_OK;
    }

  private:
    void Log(const std::wstring &call)
    {
        g_pageCalls.push_back(m_name + L":" + call);
    }
    std::wstring m_name;
};

inline HRESULT CreateFakePage(const wchar_t *behavior, IPage **page) noexcept
{
    if (!behavior || !*behavior)
        return E_FAIL;
    tx::ComPtr<CFakePage> object = tx::MakeComObject<CFakePage>(behavior);
    *page = object.Detach();
    return *page ? S_OK : E_OUTOFMEMORY;
}

// The calls recorded since the last take, joined with spaces.
inline std::wstring TakeCalls()
{
    std::wstring joined;
    for (const std::wstring &call : g_pageCalls)
        joined += (joined.empty() ? L"" : L" ") + call;
    g_pageCalls.clear();
    return joined;
}

// Every IHost slot answers E_NOTIMPL unless a test host overrides it.
#define TX_FAKE_HOST_SLOT(slot, name, params)                                                                          \
    STDMETHODIMP name params override                                                                                  \
    {                                                                                                                  \
        return E_NOTIMPL;                                                                                              \
    }
class CFakeHostBase : public IHost
{
  public:
    TX_IHOST_SLOTS(TX_FAKE_HOST_SLOT)
};
#undef TX_FAKE_HOST_SLOT

class CFakeHost final : public CFakeHostBase
{
  public:
    std::function<void(const std::wstring &program, const std::wstring &arguments)> onRun;
    std::vector<LONG> pictureTimerChanges;

    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
    {
        if (riid != __uuidof(IUnknown) && riid != __uuidof(IHost))
        {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IHost *>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override
    {
        return ++m_count;
    }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG count = --m_count;
        if (count == 0)
            delete this;
        return count;
    }
    STDMETHODIMP RunProgramAndWait(BSTR program, BSTR commandLine) override
    {
        if (onRun)
            onRun(program ? program : L"", commandLine ? commandLine : L"");
        return S_OK;
    }
    STDMETHODIMP OnPictureTimerChange(LONG on) override
    {
        pictureTimerChanges.push_back(on);
        return S_OK;
    }

  private:
    std::atomic<ULONG> m_count{0};
};

inline FakeCardState *g_card = nullptr;
inline HRESULT CreateFakeGraph(IZCardGraph **graph) noexcept
{
    tx::ComPtr<CFakeCardGraph> object = tx::MakeComObject<CFakeCardGraph>(*g_card);
    *graph = object.Detach();
    return *graph ? S_OK : E_OUTOFMEMORY;
}

inline void WriteTextFile(const std::wstring &path, const std::string &text)
{
    const size_t slash = path.rfind(L'\\');
    if (slash != std::wstring::npos)
        ::SHCreateDirectoryExW(nullptr, path.substr(0, slash).c_str(), nullptr);
    FILE *file = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(file, nullptr);
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
}

class SkinFixture : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_card = &card;
        moduleLocks = tx::module::LockCount();
        ASSERT_EQ(::OleInitialize(nullptr), S_OK);
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr), Gdiplus::Ok);
        folder = MakeScratchFolder(L"skins");
        g_pageCalls.clear();
        g_failOpen.clear();
        g_failRestore.clear();
        g_handledKey = -1;
        g_onCommand = nullptr;
        osd = std::make_unique<COsd>();
        osd->SetDriverPath(false);
        osd->SetGraphFactory(CreateFakeGraph);
        Manager().SetPageCreator(CreateFakePage);
        host = new CFakeHost();
        if (folder.empty() || folder.back() != L'\\')
            folder += L'\\';
        Manager().SetDataFolder(folder.substr(0, folder.size() - 1).c_str());
    }
    void TearDown() override
    {
        if (osd)
        {
            osd->Shutdown();
            osd.reset();
        }
        host.Reset();
        EXPECT_EQ(card.liveObjects.load(), 0);
        EXPECT_TRUE(g_pages.empty());
        EXPECT_EQ(tx::module::LockCount(), moduleLocks); // every element and controller released
        g_onCommand = nullptr;
        Gdiplus::GdiplusShutdown(gdiplusToken);
        ::OleUninitialize();
        RemoveFolder(folder);
        g_card = nullptr;
    }

    CSkinManager &Manager()
    {
        return osd->SkinManager();
    }
    void WriteSkin(const std::string &xml, const wchar_t *skin = L"Default")
    {
        WriteTextFile(folder + L"Skins\\" + skin + L"\\skin.xml", xml);
    }
    void WriteTable(const wchar_t *language, const std::string &xml)
    {
        WriteTextFile(folder + L"StringTables\\" + language + L".xml", xml);
    }
    HRESULT Attach()
    {
        return osd->AttachOsd(720, 480, 480, host.Get());
    }
    // Loads skin.xml of the Default skin straight into the manager (no start).
    HRESULT LoadOnly()
    {
        Manager().FreeSkin();
        return Manager().LoadSkinXml((folder + L"Skins\\Default").c_str(), host.Get(), nullptr, nullptr);
    }

    FakeCardState card;
    ULONG_PTR gdiplusToken = 0;
    LONG moduleLocks = 0;
    RegistrySandbox sandbox;
    std::wstring folder; // with a trailing backslash
    std::unique_ptr<COsd> osd;
    tx::ComPtr<CFakeHost> host;
};

} // namespace tx::test
