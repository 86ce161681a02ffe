#pragma once
// CSkinManager: the loaded skin (dialog definitions, classes, pages, string tables, font
// and image caches) and its navigation state (the current page, the history of pages with
// their saved states, the choice box, the picture timer). Embedded in COsd, which it
// draws for; page controllers hold it through ISkinManager, text elements through
// ISkinStringTable. Its faces never delete it: it lives as long as its COsd.
//
// Locks: the skin lock guards all state and is re-entrant for its thread. The OSD lock is
// always taken before it; code holding the skin lock never refreshes the OSD.
#include "comkit/Bstr.h"
#include "comkit/ComPtr.h"
#include "comkit/Handles.h"
#include "comkit/Msxml.h"
#include "txHost/skin/SkinCaches.h"
#include "txHost/skin/SkinDialog.h"
#include "txHost/skin/SkinManagerInterfaces.h"
#include "txHost/skin/SkinPage.h"
#include "txHost/skin/SkinStatusElements.h"
#include "txHost/core/HostLog.h"
#include "txHost/core/OsdStatus.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class COsd;
struct SkinTagRow;

// Creates the controller of a page by its behaviour name (the page table). The default
// is the stand-in table of SkinPageStandin.h.
using SkinPageCreator = HRESULT (*)(const wchar_t *behavior, IPage **page) noexcept;

class CSkinManager
{
  public:
    explicit CSkinManager(COsd &osd) noexcept;
    ~CSkinManager();
    CSkinManager(const CSkinManager &) = delete;
    CSkinManager &operator=(const CSkinManager &) = delete;

    ISkinManager *ManagerFace() noexcept
    {
        return &m_managerFace;
    }
    ISkinStringTable *StringFace() noexcept
    {
        return &m_stringFace;
    }
    // The status captions' view of the manager; the host registers it while the OSD lives.
    tx::host::IOsdStatusSkin *StatusFace() noexcept
    {
        return &m_statusFace;
    }
    // Where the host log mirrors its pieces: the "log" page of the loaded skin. Any thread.
    tx::host::IOsdLogSink *LogSink() noexcept
    {
        return &m_statusFace;
    }
    // The status indicators over every page; UI thread, under the skin lock.
    tx::skin::StatusIndicators &Indicators() noexcept
    {
        return m_status.Indicators();
    }

    // ---- loading (SkinLoader.cpp) ----
    // Loads folder\skin.xml into the (freed) model. The first structural error stops the
    // loading with its result; what was loaded before stays.
    HRESULT LoadSkinXml(const wchar_t *folder, IHost *host, IXMLDOMDocument *strings,
                        IXMLDOMDocument *english) noexcept;
    void FreeSkin() noexcept;
    // Binds every dialog and page to the OSD and opens page 0. E_FAIL without pages.
    HRESULT StartSkin(IOsd *osd, LONG width, LONG height, LONG layoutHeight) noexcept;

    // ---- navigation (ISkinManager) ----
    HRESULT OpenPage(const wchar_t *name, LONG parameter, LONG index) noexcept;
    HRESULT GoBack(LONG steps) noexcept;
    HRESULT GoForward(LONG steps) noexcept;
    BOOL IsLastPage() noexcept;
    BOOL IsFirstPage() noexcept;
    HRESULT FindElement(IUnknown *controller, const wchar_t *id, ISkinElement **element) noexcept;
    HRESULT ShowChoiceBox(const wchar_t *dialogId, const wchar_t *message, LONG value, const wchar_t *entry1,
                          const wchar_t *entry2, const wchar_t *entry3) noexcept;
    HRESULT SetFocus(const wchar_t *id) noexcept;
    HRESULT Redraw() noexcept;
    HRESULT RegisterMenuFilters(IUnknown *controller) noexcept;
    HRESULT GetPageName(BSTR *name) noexcept;
    HRESULT GetString(const wchar_t *text, BSTR *result) noexcept;
    HRESULT GetSkinFolder(BSTR *folder) noexcept;

    // ---- the host's side ----
    // The input path: the choice box, then the page controller, then focus moves and
    // activation. Refreshes the OSD (after releasing the skin lock) for a handled action.
    HRESULT HandleAction(LONG action, LONG interval, BOOL *handled) noexcept;
    // The 100 ms tick: animations and the page controller's timer.
    HRESULT OnTick(BOOL *redraw) noexcept;
    void OnTick(LONG value) noexcept; // from COsd::Tick
    HRESULT Relayout(LONG delta) noexcept;
    HRESULT RefreshPage() noexcept;
    HRESULT ReinitPage(LONG parameter) noexcept;
    void SetPictureTimer(BOOL on, LONG seconds) noexcept;
    void SetPictureView(BOOL on) noexcept;
    void SetSlideInterval(LONG seconds) noexcept;
    // Draws the current screen into the OSD's surfaces, under the skin lock.
    void Compose(IOsd *osd) noexcept;

    // Plug-ins.
    HRESULT CreatePluginElement(const wchar_t *tag, ISkinElement **element) noexcept;
    HRESULT CreatePluginPage(const wchar_t *name, IPage **page) noexcept;
    // The last class whose tag and name equal the keys; one reference; S_OK with nothing
    // written when none matches.
    HRESULT FindSkinClass(const wchar_t *tag, const wchar_t *classId, ISkinElement **element) noexcept;

    // A reload asked for while an activation runs a program is carried out when the
    // activation ends. True when the reload was deferred.
    bool DeferReloadIfActive() noexcept;

    // ---- state for the OSD and tests ----
    size_t PageCount() const noexcept
    {
        return m_pages.size();
    }
    CSkinPage *Page(size_t index) const noexcept
    {
        return index < m_pages.size() ? m_pages[index].get() : nullptr;
    }
    LONG CurrentPageIndex() const noexcept
    {
        return m_currentPage;
    }
    LONG HistoryPosition() const noexcept
    {
        return m_historyPosition;
    }
    size_t HistoryCount() const noexcept
    {
        return m_history.size();
    }
    LONG HistoryPage(size_t index) const noexcept
    {
        return index < m_history.size() ? m_history[index].page : -1;
    }
    IStream *HistoryState(size_t index) const noexcept
    {
        return index < m_history.size() ? m_history[index].state.Get() : nullptr;
    }
    size_t DialogCount() const noexcept
    {
        return m_dialogs.size();
    }
    CSkinDialog *Dialog(size_t index) const noexcept
    {
        return index < m_dialogs.size() ? m_dialogs[index].object : nullptr;
    }
    size_t ClassCount() const noexcept
    {
        return m_classes.size();
    }
    const std::wstring &DefaultImage() const noexcept
    {
        return m_defaultImage;
    }
    const std::wstring &SkinFolder() const noexcept
    {
        return m_folder;
    }
    CSkinPage *StatusPage() const noexcept
    {
        return m_statusPage;
    }
    CSkinPage *SubtitlePage() const noexcept
    {
        return m_subtitlePage;
    }
    CSkinPage *LogPage() const noexcept
    {
        return m_logPage;
    }
    const std::wstring &TimeFormat() const noexcept
    {
        return m_timeFormat;
    }
    const std::wstring &DateFormat() const noexcept
    {
        return m_dateFormat;
    }
    struct ChoiceBox
    {
        LONG dialog = -1; // -1: hidden
        LONG value = 0;
        LONG selected = 0;
        tx::Bstr message;
        tx::Bstr entries[3];
        LONG EntryCount() const noexcept
        {
            LONG n = 0;
            while (n < 3 && !entries[n].IsNull())
                ++n;
            return n;
        }
    };
    const ChoiceBox &Choice() const noexcept
    {
        return m_choice;
    }
    BOOL PictureTimerOn() noexcept
    {
        return m_status.Indicators().Picture().running ? TRUE : FALSE;
    }
    LONG PictureCountdown() noexcept
    {
        return m_status.Indicators().Picture().countdown;
    }
    tx::CriticalSection &SkinLock() noexcept
    {
        return m_lock;
    }
    tx::skin::SkinImageCache &ImageCache() noexcept
    {
        return m_images;
    }

    // Test seams: the page table, and the plug-in categories looked up at construction
    // (RefreshPlugins looks them up again, after a test registered its plug-in).
    void SetPageCreator(SkinPageCreator creator) noexcept
    {
        m_pageCreator = creator;
    }
    void RefreshPlugins() noexcept;
    // Looks the plug-ins up once COM is available (the first load after construction).
    void EnsurePlugins() noexcept;
    size_t ElementPluginCount() const noexcept
    {
        return m_elementPlugins.objects.size();
    }
    size_t PagePluginCount() const noexcept
    {
        return m_pagePlugins.objects.size();
    }

    // Seams of loading: the folder that holds StringTables and Skins (empty: the program's
    // folder), whether LoadLanguageAndSkin loads at all (off: S_FALSE, for tests of the
    // OSD alone), and the Shift key test.
    void SetDataFolder(const wchar_t *folder)
    {
        m_dataFolder = folder ? folder : L"";
    }
    const std::wstring &DataFolder() const noexcept
    {
        return m_dataFolder;
    }
    void SetSkinLoading(bool on) noexcept
    {
        m_skinLoading = on;
    }
    bool SkinLoading() const noexcept
    {
        return m_skinLoading;
    }
    using ShiftQuery = bool (*)() noexcept;
    void SetShiftQuery(ShiftQuery query) noexcept
    {
        m_shiftQuery = query;
    }
    bool ShiftHeld() const noexcept;

    // Draws in place of the skin when set (the OSD's own tests and benchmark).
    std::function<void(IOsd *)> composeHook;
    // Diagnostics: the sum of relayout differences, and the ticks seen.
    LONG relayoutTotal = 0;
    LONG ticks = 0;

  private:
    struct HistoryEntry
    {
        LONG page = 0;
        tx::ComPtr<IStream> state;
    };
    struct DialogEntry
    {
        tx::ComPtr<ISkinElement> element;
        CSkinDialog *object = nullptr;
    };
    struct ClassEntry
    {
        tx::ComPtr<ISkinElement> prototype;
        CSkinElement *object = nullptr;
        std::wstring classId;
        std::wstring tag;
    };
    struct PluginList
    {
        std::vector<tx::ComPtr<IUnknown>> objects;
        GUID category;
    };
    using StringMap = std::unordered_map<std::wstring, std::wstring>;

    // loader steps (SkinLoader.cpp); they may throw std::bad_alloc, which LoadSkinXml turns
    // into E_OUTOFMEMORY
    HRESULT LoadDialogDefinition(IXMLDOMElement *element);
    HRESULT LoadClasses(IXMLDOMElement *element);
    HRESULT LoadPages(IXMLDOMElement *element);
    HRESULT LoadPage(CSkinPage &page, IXMLDOMElement *element);
    HRESULT LoadElementChildren(CSkinGroup *parent, IXMLDOMElement *element);
    HRESULT LoadElementParts(const SkinTagRow &row, IXMLDOMElement *element, CSkinElement *object, bool overlay);
    HRESULT CreateElement(const SkinTagRow &row, const std::wstring &tag, IXMLDOMElement *element,
                          tx::ComPtr<ISkinElement> &created, CSkinElement *&object, bool &overlay);
    HRESULT CreateController(CSkinPage &page);
    static void BuildStringMap(IXMLDOMDocument *document, StringMap &map) noexcept;

    HRESULT CreateCategoryObjects(PluginList &list) noexcept;
    HRESULT NewStateStream(tx::ComPtr<IStream> &stream) noexcept;
    HRESULT OpenCurrentPage(CSkinPage &page, LONG parameter, LONG index) noexcept;
    HRESULT MoveInHistory(LONG target) noexcept;
    void SaveCurrentState() noexcept;
    void TellPictureTimer() noexcept;
    CSkinPage *CurrentPage() const noexcept
    {
        return m_currentPage >= 0 && static_cast<size_t>(m_currentPage) < m_pages.size()
                   ? m_pages[static_cast<size_t>(m_currentPage)].get()
                   : nullptr;
    }
    CSkinPage *FindPageOfController(IUnknown *controller) const noexcept;
    void DrawPage(IOsd *osd, CSkinPage &page, bool withPicture) noexcept;
    void DrawChoiceBox(IOsd *osd) noexcept;
    void RunDeferredReload() noexcept;

    // The two COM faces; counts only (the manager lives as long as its COsd).
    class ManagerFaceImpl final : public ISkinManager
    {
      public:
        explicit ManagerFaceImpl(CSkinManager &owner) noexcept : m_owner(owner)
        {
        }
        STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP OpenPage(BSTR name, LONG parameter, LONG index) override;
        STDMETHODIMP GoBack(LONG steps) override;
        STDMETHODIMP GoForward(LONG steps) override;
        STDMETHODIMP IsLastPage(BOOL *last) override;
        STDMETHODIMP IsFirstPage(BOOL *first) override;
        STDMETHODIMP GoToNewestPage() override;
        STDMETHODIMP GoToFirstPage() override;
        STDMETHODIMP FindElement(IUnknown *controller, BSTR id, ISkinElement **element) override;
        STDMETHODIMP ShowChoiceBox(BSTR dialogId, BSTR message, LONG value, BSTR entry1, BSTR entry2,
                                   BSTR entry3) override;
        STDMETHODIMP SetFocus(BSTR id) override;
        STDMETHODIMP Redraw() override;
        STDMETHODIMP RegisterMenuFilters(IUnknown *controller) override;
        STDMETHODIMP GetPageName(BSTR *name) override;

      private:
        CSkinManager &m_owner;
    };
    class StringFaceImpl final : public ISkinStringTable
    {
      public:
        explicit StringFaceImpl(CSkinManager &owner) noexcept : m_owner(owner)
        {
        }
        STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;
        STDMETHODIMP GetString(BSTR text, BSTR *result) override;
        STDMETHODIMP GetSkinFolder(BSTR *folder) override;

      private:
        CSkinManager &m_owner;
    };
    HRESULT QueryFace(REFIID riid, void **ppv) noexcept;

    // The captions' and the host log's side of the indicators.
    class StatusFaceImpl final : public tx::host::IOsdStatusSkin, public tx::host::IOsdLogSink
    {
      public:
        explicit StatusFaceImpl(CSkinManager &owner) noexcept : m_owner(owner)
        {
        }
        tx::skin::StatusIndicators *Indicators() override;
        void RefreshPage() override;
        void SetSlideInterval(int32_t seconds) override;
        void SetPictureView(bool on) override;
        void AppendOsdLog(std::wstring_view piece) noexcept override;

      private:
        CSkinManager &m_owner;
    };

    COsd &m_owner;
    ManagerFaceImpl m_managerFace{*this};
    StringFaceImpl m_stringFace{*this};
    StatusFaceImpl m_statusFace{*this};
    std::atomic<ULONG> m_refCount{0};
    tx::CriticalSection m_lock;

    tx::ComPtr<IHost> m_host;
    std::vector<DialogEntry> m_dialogs;
    std::vector<ClassEntry> m_classes;
    std::vector<std::unique_ptr<CSkinPage>> m_pages;
    CSkinPage *m_statusPage = nullptr;
    CSkinPage *m_subtitlePage = nullptr;
    CSkinPage *m_logPage = nullptr;
    std::wstring m_timeFormat;
    std::wstring m_dateFormat;
    std::wstring m_defaultImage;
    std::wstring m_folder;

    LONG m_currentPage = 0;
    std::vector<HistoryEntry> m_history;
    LONG m_historyPosition = 0;
    ChoiceBox m_choice;

    tx::skin::SkinFontCache m_fonts;
    tx::skin::SkinImageCache m_images;

    // the status indicators, which also keep the picture timer; and the picture view
    tx::skin::SkinStatusSet m_status;
    BOOL m_pictureView = FALSE;

    // string tables: the documents, and their ids read into maps at load
    tx::ComPtr<IXMLDOMDocument> m_strings;
    tx::ComPtr<IXMLDOMDocument> m_english;
    StringMap m_stringMap;
    StringMap m_englishMap;

    PluginList m_elementPlugins;
    PluginList m_pagePlugins;
    SkinPageCreator m_pageCreator;
    bool m_pluginsFound = false; // the category manager answered once

    // activations in progress (they may pump messages) and a reload that waits for them
    LONG m_activations = 0;
    int m_groupDepth = 0; // nesting of groups while loading
    std::wstring m_dataFolder;
    bool m_skinLoading = true;
    ShiftQuery m_shiftQuery = nullptr;
    bool m_reloadPending = false;
};
