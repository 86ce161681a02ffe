// The skin manager: page history, input routing, the choice box, ticks, plug-ins and the
// string lookup. Loading and freeing the skin is in SkinLoader.cpp.
#include "txHost/skin/SkinManager.h"

#include "comkit/Categories.h"
#include "comkit/HResult.h"
#include "txHost/core/Actions.h"
#include "txHost/core/HostSettings.h"
#include "txHost/skin/ChoiceBoxDraw.h"
#include "txHost/skin/Osd.h"
#include "txHost/skin/SkinPageStandin.h"

#include <algorithm>

using namespace tx::host;

namespace
{

bool SameObject(IUnknown *a, IUnknown *b) noexcept
{
    if (!a || !b)
        return false;
    tx::ComPtr<IUnknown> ua, ub;
    if (FAILED(a->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void **>(ua.GetAddressOf()))) ||
        FAILED(b->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void **>(ub.GetAddressOf()))))
        return false;
    return ua.Get() == ub.Get();
}

HRESULT RewindStream(IStream *stream) noexcept
{
    if (!stream)
        return E_POINTER;
    LARGE_INTEGER zero{};
    return stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

HRESULT CopyString(const std::wstring &text, BSTR *out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = ::SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Program mode adds this to the action that follows it.
constexpr LONG kProgramSelect = ACTION_SELECT + ACTION_PROGRAM_MODE_OFFSET;
constexpr LONG kProgramDigit0 = ACTION_DIGIT_0 + ACTION_PROGRAM_MODE_OFFSET;
constexpr LONG kProgramDigit9 = ACTION_DIGIT_9 + ACTION_PROGRAM_MODE_OFFSET;

} // namespace

CSkinManager::CSkinManager(COsd &osd) noexcept : m_owner(osd), m_pageCreator(&CreateStandinPage)
{
    m_elementPlugins.category = CATID_SkinElementPlugins;
    m_pagePlugins.category = CATID_SkinPagePlugins;
    // COM may not be up yet when the host constructs the OSD; loading a skin looks again.
    RefreshPlugins();
}

CSkinManager::~CSkinManager()
{
    FreeSkin();
    m_elementPlugins.objects.clear();
    m_pagePlugins.objects.clear();
    m_strings.Reset();
    m_english.Reset();
}

// ---- COM faces ----

HRESULT CSkinManager::QueryFace(REFIID riid, void **ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(ISkinManager))
        *ppv = &m_managerFace;
    else if (riid == __uuidof(ISkinStringTable))
        *ppv = &m_stringFace;
    else
        return E_NOINTERFACE;
    ++m_refCount;
    return S_OK;
}

#define TX_MANAGER_GUARD(expr)                                                                                         \
    try                                                                                                                \
    {                                                                                                                  \
        return (expr);                                                                                                 \
    }                                                                                                                  \
    catch (...)                                                                                                        \
    {                                                                                                                  \
        return E_FAIL;                                                                                                 \
    }

HRESULT CSkinManager::ManagerFaceImpl::QueryInterface(REFIID riid, void **ppv)
{
    return m_owner.QueryFace(riid, ppv);
}
ULONG CSkinManager::ManagerFaceImpl::AddRef()
{
    return ++m_owner.m_refCount;
}
ULONG CSkinManager::ManagerFaceImpl::Release()
{
    return --m_owner.m_refCount;
}
HRESULT CSkinManager::ManagerFaceImpl::OpenPage(BSTR name, LONG parameter, LONG index)
{
    return m_owner.OpenPage(name ? name : L"", parameter, index);
}
HRESULT CSkinManager::ManagerFaceImpl::GoBack(LONG steps)
{
    return m_owner.GoBack(steps);
}
HRESULT CSkinManager::ManagerFaceImpl::GoForward(LONG steps)
{
    return m_owner.GoForward(steps);
}
HRESULT CSkinManager::ManagerFaceImpl::IsLastPage(BOOL *last)
{
    if (!last)
        return E_POINTER;
    *last = m_owner.IsLastPage();
    return S_OK;
}
HRESULT CSkinManager::ManagerFaceImpl::IsFirstPage(BOOL *first)
{
    if (!first)
        return E_POINTER;
    *first = m_owner.IsFirstPage();
    return S_OK;
}
HRESULT CSkinManager::ManagerFaceImpl::GoToNewestPage()
{
    tx::CriticalSectionLock lock(m_owner.m_lock);
    return m_owner.GoForward(static_cast<LONG>(m_owner.m_history.size()) - m_owner.m_historyPosition - 1);
}
HRESULT CSkinManager::ManagerFaceImpl::GoToFirstPage()
{
    tx::CriticalSectionLock lock(m_owner.m_lock);
    return m_owner.GoBack(m_owner.m_historyPosition);
}
HRESULT CSkinManager::ManagerFaceImpl::FindElement(IUnknown *controller, BSTR id, ISkinElement **element)
{
    return m_owner.FindElement(controller, id ? id : L"", element);
}
HRESULT CSkinManager::ManagerFaceImpl::ShowChoiceBox(BSTR dialogId, BSTR message, LONG value, BSTR entry1, BSTR entry2,
                                                     BSTR entry3)
{
    return m_owner.ShowChoiceBox(dialogId, message, value, entry1, entry2, entry3);
}
HRESULT CSkinManager::ManagerFaceImpl::SetFocus(BSTR id)
{
    return m_owner.SetFocus(id ? id : L"");
}
HRESULT CSkinManager::ManagerFaceImpl::Redraw()
{
    return m_owner.Redraw();
}
HRESULT CSkinManager::ManagerFaceImpl::RegisterMenuFilters(IUnknown *controller)
{
    return m_owner.RegisterMenuFilters(controller);
}
HRESULT CSkinManager::ManagerFaceImpl::GetPageName(BSTR *name)
{
    return m_owner.GetPageName(name);
}

HRESULT CSkinManager::StringFaceImpl::QueryInterface(REFIID riid, void **ppv)
{
    return m_owner.QueryFace(riid, ppv);
}
ULONG CSkinManager::StringFaceImpl::AddRef()
{
    return ++m_owner.m_refCount;
}
ULONG CSkinManager::StringFaceImpl::Release()
{
    return --m_owner.m_refCount;
}
HRESULT CSkinManager::StringFaceImpl::GetString(BSTR text, BSTR *result)
{
    return m_owner.GetString(text, result);
}
HRESULT CSkinManager::StringFaceImpl::GetSkinFolder(BSTR *folder)
{
    return m_owner.GetSkinFolder(folder);
}

// ---- plug-ins ----

HRESULT CSkinManager::CreateCategoryObjects(PluginList &list) noexcept
{
    list.objects.clear();
    std::vector<CLSID> classes;
    HRESULT hr = tx::EnumerateCategoryClasses(list.category, classes);
    if (FAILED(hr))
        return E_FAIL;
    for (const CLSID &clsid : classes)
    {
        tx::ComPtr<IUnknown> object;
        // A class that cannot be created is left out of every lookup.
        if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_ALL, __uuidof(IUnknown),
                                      reinterpret_cast<void **>(object.GetAddressOf()))))
            continue;
        try
        {
            list.objects.push_back(std::move(object));
        }
        catch (const std::bad_alloc &)
        {
            return E_OUTOFMEMORY;
        }
    }
    return S_OK;
}

void CSkinManager::RefreshPlugins() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    const HRESULT elements = CreateCategoryObjects(m_elementPlugins);
    const HRESULT pages = CreateCategoryObjects(m_pagePlugins);
    m_pluginsFound = SUCCEEDED(elements) && SUCCEEDED(pages);
}

void CSkinManager::EnsurePlugins() noexcept
{
    // Enumerating a category walks every registered class: once is enough.
    if (!m_pluginsFound)
        RefreshPlugins();
}

HRESULT CSkinManager::CreatePluginElement(const wchar_t *tag, ISkinElement **element) noexcept
{
    if (!element)
        return E_POINTER;
    *element = nullptr;
    tx::Bstr name(tag);
    for (auto &object : m_elementPlugins.objects)
    {
        tx::ComPtr<ISkinElementPlugin> plugin;
        if (FAILED(
                object->QueryInterface(__uuidof(ISkinElementPlugin), reinterpret_cast<void **>(plugin.GetAddressOf()))))
            continue;
        if (SUCCEEDED(plugin->CreateElement(name.Get(), element)) && *element)
            break;
        *element = nullptr;
    }
    return S_OK;
}

HRESULT CSkinManager::CreatePluginPage(const wchar_t *name, IPage **page) noexcept
{
    if (!page)
        return E_POINTER;
    *page = nullptr;
    tx::Bstr text(name);
    for (auto &object : m_pagePlugins.objects)
    {
        tx::ComPtr<ISkinPagePlugin> plugin;
        if (FAILED(object->QueryInterface(__uuidof(ISkinPagePlugin), reinterpret_cast<void **>(plugin.GetAddressOf()))))
            continue;
        if (SUCCEEDED(plugin->CreatePage(text.Get(), page)) && *page)
            return S_OK;
        *page = nullptr;
    }
    return E_FAIL;
}

HRESULT CSkinManager::FindSkinClass(const wchar_t *tag, const wchar_t *classId, ISkinElement **element) noexcept
{
    if (!element)
        return E_POINTER;
    const ClassEntry *found = nullptr;
    for (const ClassEntry &entry : m_classes)
        if (entry.tag == (tag ? tag : L"") && entry.classId == (classId ? classId : L""))
            found = &entry;
    if (found)
    {
        *element = found->prototype.Get();
        (*element)->AddRef();
    }
    return S_OK;
}

// ---- start and history ----

HRESULT CSkinManager::NewStateStream(tx::ComPtr<IStream> &stream) noexcept
{
    stream.Reset();
    HRESULT hr = ::CreateStreamOnHGlobal(nullptr, TRUE, stream.GetAddressOf());
    TX_RETURN_IF_FAILED(hr, L"Failed to create page state stream");
    return S_OK;
}

HRESULT CSkinManager::OpenCurrentPage(CSkinPage &page, LONG parameter, LONG index) noexcept
{
    page.RootElement()->ResetAnimation();
    page.Root()->FocusFirst();
    tx::ComPtr<IPage> controller(page.Controller());
    if (!controller)
        return S_OK;
    return controller->Open(&m_managerFace, m_host.Get(), parameter, index);
}

HRESULT CSkinManager::StartSkin(IOsd *osd, LONG width, LONG height, LONG layoutHeight) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    HRESULT hr = m_images.SetFolder(m_folder.c_str());
    TX_RETURN_IF_FAILED(hr, L"Failed to set skin image folder");
    for (DialogEntry &dialog : m_dialogs)
    {
        dialog.object->Attach(&m_stringFace, reinterpret_cast<LONG_PTR>(osd));
        dialog.object->ResolveResources(osd, &m_fonts, &m_images);
    }
    for (auto &page : m_pages)
    {
        hr = page->Bind(osd, &m_stringFace, m_defaultImage.c_str(), &m_fonts, &m_images, width, height, layoutHeight);
        if (FAILED(hr))
            return hr;
    }
    m_currentPage = 0;
    // The indicators find their elements in the bound pages; binding also hides those a
    // skin shows by default.
    m_status.Bind(m_statusPage ? m_statusPage->Root() : nullptr, m_logPage ? m_logPage->Root() : nullptr,
                  m_timeFormat, m_dateFormat);
    TX_RETURN_HR_IF(m_pages.empty(), E_FAIL, L"Failed to start skin: the skin has no pages");

    tx::ComPtr<IStream> state;
    hr = NewStateStream(state);
    if (FAILED(hr))
        return hr;
    hr = OpenCurrentPage(*m_pages[0], 0, 0);
    TX_RETURN_IF_FAILED(hr, L"Failed to open start page");
    m_history.clear();
    try
    {
        m_history.push_back({0, std::move(state)});
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
    m_historyPosition = 0;
    return S_OK;
}

void CSkinManager::SaveCurrentState() noexcept
{
    if (m_historyPosition < 0 || static_cast<size_t>(m_historyPosition) >= m_history.size())
        return;
    HistoryEntry &entry = m_history[static_cast<size_t>(m_historyPosition)];
    CSkinPage *page = Page(static_cast<size_t>(entry.page));
    if (!entry.state || !page || !page->Controller())
        return;
    tx::ComPtr<IPage> controller(page->Controller());
    RewindStream(entry.state.Get());
    controller->SaveState(entry.state.Get()); // a page that cannot save reopens fresh later
}

void CSkinManager::TellPictureTimer() noexcept
{
    if (m_host)
        m_host->OnPictureTimerChange(m_pictureView && m_status.Indicators().Picture().running ? 1 : 0);
}

HRESULT CSkinManager::OpenPage(const wchar_t *name, LONG parameter, LONG index) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    // The forward history goes first, newest first, whatever happens next.
    while (m_history.size() > static_cast<size_t>(m_historyPosition) + 1)
        m_history.pop_back();

    size_t found = m_pages.size();
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i]->name == name)
        {
            found = i;
            break;
        }
    if (found == m_pages.size())
    {
        tx::LogFailure(E_FAIL, L"Failed to open page: no page of that name");
        return E_FAIL;
    }

    SaveCurrentState();
    const LONG previous = m_currentPage;
    m_currentPage = static_cast<LONG>(found);
    tx::ComPtr<IStream> state;
    HRESULT hr = NewStateStream(state);
    if (SUCCEEDED(hr))
        hr = OpenCurrentPage(*m_pages[found], parameter, index);
    if (SUCCEEDED(hr))
    {
        try
        {
            m_history.push_back({static_cast<LONG>(found), std::move(state)});
        }
        catch (const std::bad_alloc &)
        {
            hr = E_OUTOFMEMORY;
        }
    }
    if (FAILED(hr))
    {
        m_currentPage = previous;
        tx::LogFailure(hr, L"Failed to open page");
        return hr;
    }
    m_historyPosition = static_cast<LONG>(m_history.size()) - 1;
    TellPictureTimer();
    return S_OK;
}

HRESULT CSkinManager::MoveInHistory(LONG target) noexcept
{
    SaveCurrentState();
    HistoryEntry &entry = m_history[static_cast<size_t>(target)];
    RewindStream(entry.state.Get());
    CSkinPage *page = Page(static_cast<size_t>(entry.page));
    if (!page)
        return E_UNEXPECTED;
    const LONG previous = m_currentPage;
    page->RootElement()->ResetAnimation();
    m_currentPage = entry.page;
    if (tx::ComPtr<IPage> controller{page->Controller()})
    {
        HRESULT hr = controller->RestoreState(&m_managerFace, m_host.Get(), entry.state.Get());
        if (FAILED(hr))
        {
            m_currentPage = previous;
            tx::LogFailure(hr, L"Failed to restore page state");
            return hr;
        }
    }
    m_historyPosition = target;
    m_currentPage = m_history[static_cast<size_t>(target)].page;
    TellPictureTimer();
    return S_OK;
}

HRESULT CSkinManager::GoBack(LONG steps) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    steps = std::min(steps, m_historyPosition);
    if (steps <= 0 || m_history.empty())
        return S_OK;
    return MoveInHistory(m_historyPosition - steps);
}

HRESULT CSkinManager::GoForward(LONG steps) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    steps = std::min(steps, static_cast<LONG>(m_history.size()) - m_historyPosition - 1);
    if (steps <= 0)
        return S_OK;
    return MoveInHistory(m_historyPosition + steps);
}

BOOL CSkinManager::IsLastPage() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    return m_historyPosition == static_cast<LONG>(m_history.size()) - 1;
}

BOOL CSkinManager::IsFirstPage() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    return m_historyPosition == 0;
}

// ---- lookups ----

CSkinPage *CSkinManager::FindPageOfController(IUnknown *controller) const noexcept
{
    for (auto &page : m_pages)
        if (page->Controller() && SameObject(page->Controller(), controller))
            return page.get();
    return nullptr;
}

HRESULT CSkinManager::FindElement(IUnknown *controller, const wchar_t *id, ISkinElement **element) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    CSkinPage *page = FindPageOfController(controller);
    if (!page)
        return E_FAIL;
    return page->FindElement(id, element);
}

HRESULT CSkinManager::RegisterMenuFilters(IUnknown *controller) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    tx::ComPtr<IHostCollection> collection;
    if (m_host)
        m_host->QueryInterface(__uuidof(IHostCollection), reinterpret_cast<void **>(collection.GetAddressOf()));
    CSkinPage *page = FindPageOfController(controller);
    if (!page)
        return E_FAIL;
    return page->RegisterMenuFilters(collection.Get());
}

HRESULT CSkinManager::SetFocus(const wchar_t *id) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    CSkinPage *page = CurrentPage();
    if (!page)
        return E_FAIL;
    HRESULT hr = page->SetFocusById(id);
    if (hr == S_FALSE)
        hr = page->Root()->FocusFirst();
    return hr;
}

HRESULT CSkinManager::Redraw() noexcept
{
    return m_owner.Refresh();
}

HRESULT CSkinManager::GetPageName(BSTR *name) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    CSkinPage *page = CurrentPage();
    if (!page)
        return E_FAIL;
    return CopyString(page->name, name);
}

HRESULT CSkinManager::GetSkinFolder(BSTR *folder) noexcept
{
    return CopyString(m_folder, folder);
}

HRESULT CSkinManager::GetString(const wchar_t *text, BSTR *result) noexcept
{
    if (!result)
        return E_POINTER;
    *result = nullptr;
    if (!text)
        return S_OK;
    try
    {
        // Looked up by exact id in maps read from the tables at load, so an id is never
        // pasted into a query.
        const std::wstring_view view(text);
        if (view.size() > 2 && view.front() == L'$' && view.back() == L'$')
        {
            const std::wstring id(view.substr(1, view.size() - 2));
            for (const StringMap *map : {&m_stringMap, &m_englishMap})
            {
                auto found = map->find(id);
                if (found != map->end())
                    return CopyString(found->second, result);
            }
        }
        return CopyString(std::wstring(view), result);
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
}

// ---- choice box ----

HRESULT CSkinManager::ShowChoiceBox(const wchar_t *dialogId, const wchar_t *message, LONG value, const wchar_t *entry1,
                                    const wchar_t *entry2, const wchar_t *entry3) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    try
    {
        for (size_t i = 0; i < m_dialogs.size(); ++i)
            if (m_dialogs[i].object->id == (dialogId ? dialogId : L""))
                m_choice.dialog = static_cast<LONG>(i);
        m_choice.value = value;
        m_choice.selected = 0;
        m_choice.message = tx::Bstr(message);
        const wchar_t *entries[3] = {entry1, entry2, entry3};
        for (int i = 0; i < 3; ++i)
            m_choice.entries[i] = tx::Bstr(entries[i]);
        return S_OK;
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
}

// ---- input and ticks ----

HRESULT CSkinManager::HandleAction(LONG action, LONG interval, BOOL *handled) noexcept
{
    if (!handled)
        return E_POINTER;
    *handled = FALSE;
    {
        tx::CriticalSectionLock lock(m_lock);
        if (action == ACTION_OSD)
        {
            tx::skin::StatusIndicators::PictureTimer &timer = m_status.Indicators().Picture();
            timer.running = !timer.running;
            TellPictureTimer();
            *handled = TRUE;
        }
        else if (m_choice.dialog >= 0)
        {
            // A box without entries still takes the three keys, so the user can close it.
            const LONG count = std::max<LONG>(m_choice.EntryCount(), 1);
            if (action == ACTION_LEFT)
                m_choice.selected = m_choice.selected <= 0 ? count - 1 : m_choice.selected - 1;
            else if (action == ACTION_RIGHT)
                m_choice.selected = m_choice.selected >= count - 1 ? 0 : m_choice.selected + 1;
            else if (action == ACTION_SELECT)
            {
                m_choice.dialog = -1;
                if (CSkinPage *page = CurrentPage())
                    if (tx::ComPtr<IPage> controller{page->Controller()})
                        controller->OnChoice(m_choice.selected);
            }
            else
                return S_OK;
            *handled = TRUE;
        }
        else
        {
            CSkinPage *page = CurrentPage();
            if (!page)
                return S_OK;
            tx::ComPtr<IPage> controller(page->Controller());
            BOOL pageHandled = FALSE;
            if (controller)
                controller->OnKey(action, &pageHandled);
            if (pageHandled)
                *handled = TRUE;
            else if (action >= ACTION_LEFT && action <= ACTION_DOWN)
            {
                static const LONG kDirections[] = {SKIN_DIR_LEFT, SKIN_DIR_RIGHT, SKIN_DIR_UP, SKIN_DIR_DOWN};
                page->MoveFocus(kDirections[action - ACTION_LEFT]);
                *handled = TRUE;
            }
            else if (action == ACTION_SELECT || action == kProgramSelect)
            {
                // The activation runs the host's program, which pumps messages: it runs
                // without the skin lock (it refreshes the OSD, whose lock comes first),
                // holding its own references, and a skin reload asked for meanwhile
                // waits until it ends.
                tx::ComPtr<ISkinElement> root(page->RootElement());
                CSkinGroup *group = page->Root();
                ++m_activations;
                m_lock.Leave();
                group->ActivateFocused(this, m_host.Get(), action == kProgramSelect ? 1 : 0);
                m_lock.Enter();
                --m_activations;
                *handled = TRUE;
            }
            else if (action == ACTION_ENTER)
            {
                GoBack(1);
                *handled = TRUE;
            }
            else if (action >= kProgramDigit0 && action <= kProgramDigit9)
            {
                page->Root()->JumpToDigit(action - kProgramDigit0);
                *handled = TRUE;
            }
            else
                return S_OK;
        }
        if (interval != 0)
            m_status.Indicators().Picture().countdown = tx::skin::SecondsToTicks(interval);
    }
    RunDeferredReload();
    m_owner.Refresh();
    return S_OK;
}

bool CSkinManager::DeferReloadIfActive() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    if (m_activations == 0)
        return false;
    m_reloadPending = true;
    return true;
}

void CSkinManager::RunDeferredReload() noexcept
{
    bool reload = false;
    {
        tx::CriticalSectionLock lock(m_lock);
        if (m_activations == 0 && m_reloadPending)
        {
            reload = true;
            m_reloadPending = false;
        }
    }
    if (reload)
        m_owner.LoadLanguageAndSkin();
}

HRESULT CSkinManager::OnTick(BOOL *redraw) noexcept
{
    if (!redraw)
        return E_POINTER;
    tx::CriticalSectionLock lock(m_lock);
    bool changed = false;
    m_status.Tick(&changed, [this] {
        // The slide show's end: the current page may go on to the next picture.
        BOOL handled = FALSE;
        if (CSkinPage *page = CurrentPage())
            if (tx::ComPtr<IPage> controller{page->Controller()})
                controller->OnPictureTimer(&handled);
        return handled != FALSE;
    });
    if (changed)
        *redraw = TRUE;
    if (CSkinPage *page = CurrentPage())
    {
        page->RootElement()->Animate(redraw);
        if (tx::ComPtr<IPage> controller{page->Controller()})
            controller->OnTimer(redraw);
    }
    return S_OK;
}

void CSkinManager::OnTick(LONG) noexcept
{
    ++ticks;
    BOOL redraw = FALSE;
    OnTick(&redraw);
    if (redraw)
        m_owner.Refresh();
}

HRESULT CSkinManager::Relayout(LONG delta) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    relayoutTotal += delta;
    if (CSkinPage *page = CurrentPage())
        page->RootElement()->ReleaseResources();
    for (auto &page : m_pages)
    {
        HRESULT hr = page->RootElement()->Relayout(delta);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

HRESULT CSkinManager::RefreshPage() noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    CSkinPage *page = CurrentPage();
    tx::ComPtr<IPage> controller(page ? page->Controller() : nullptr);
    return controller ? controller->Refresh() : S_OK;
}

HRESULT CSkinManager::ReinitPage(LONG parameter) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    CSkinPage *page = CurrentPage();
    tx::ComPtr<IPage> controller(page ? page->Controller() : nullptr);
    return controller ? controller->Reopen(parameter) : S_OK;
}

void CSkinManager::SetPictureTimer(BOOL on, LONG seconds) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    tx::skin::StatusIndicators::PictureTimer &timer = m_status.Indicators().Picture();
    timer.running = on != FALSE;
    if (on && seconds != 0)
        timer.countdown = tx::skin::SecondsToTicks(seconds);
    TellPictureTimer();
}

void CSkinManager::SetPictureView(BOOL on) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    m_pictureView = on;
    TellPictureTimer();
}

void CSkinManager::SetSlideInterval(LONG seconds) noexcept
{
    tx::CriticalSectionLock lock(m_lock);
    tx::skin::StatusIndicators::PictureTimer &timer = m_status.Indicators().Picture();
    timer.autoAdvance = true;
    if (timer.running && seconds != 0)
        timer.countdown = tx::skin::SecondsToTicks(seconds);
}

// ---- the status captions' side ----

tx::skin::StatusIndicators *CSkinManager::StatusFaceImpl::Indicators()
{
    // Without a loaded skin the captions have nothing to show.
    return m_owner.m_pages.empty() ? nullptr : &m_owner.m_status.Indicators();
}

void CSkinManager::StatusFaceImpl::RefreshPage()
{
    m_owner.RefreshPage();
}

void CSkinManager::StatusFaceImpl::SetSlideInterval(int32_t seconds)
{
    m_owner.SetSlideInterval(seconds);
}

void CSkinManager::StatusFaceImpl::SetPictureView(bool on)
{
    m_owner.SetPictureView(on ? TRUE : FALSE);
}

void CSkinManager::StatusFaceImpl::AppendOsdLog(std::wstring_view piece) noexcept
{
    // Only queues: the tick appends it to the "log" element on the UI thread.
    m_owner.m_status.Indicators().ShowLogLine(piece);
}

// ---- drawing ----

void CSkinManager::DrawPage(IOsd *osd, CSkinPage &page, bool withPicture) noexcept
{
    if (withPicture && page.Picture() && !tx::host::g_hostGlobals.noBackground)
    {
        LONG width = 0, height = 0, pictureWidth = 0, pictureHeight = 0;
        osd->GetSize(&width, &height);
        page.Picture()->GetSize(&pictureWidth, &pictureHeight);
        if (SUCCEEDED(osd->RunTransform(page.Picture(), 0, 0, width, height, pictureWidth, pictureHeight)))
            osd->CopyFromScratch(0, 0, width, height, FALSE, TRUE, FALSE, 0);
    }
    page.RootElement()->Draw(osd);
}

void CSkinManager::Compose(IOsd *osd) noexcept
{
    if (composeHook)
    {
        composeHook(osd);
        return;
    }
    tx::CriticalSectionLock lock(m_lock);
    if (m_subtitlePage)
        DrawPage(osd, *m_subtitlePage, false);
    if (CSkinPage *page = CurrentPage())
        DrawPage(osd, *page, m_pictureView != FALSE);
    if (m_choice.dialog >= 0)
        DrawChoiceBox(osd);
    if (m_statusPage)
        DrawPage(osd, *m_statusPage, false);
}

void CSkinManager::DrawChoiceBox(IOsd *osd) noexcept
{
    CSkinDialog *dialog = Dialog(static_cast<size_t>(m_choice.dialog));
    if (!dialog)
        return;
    ChoiceBoxContent content;
    content.message = m_choice.message.c_str();
    for (int i = 0; i < 3; ++i)
        content.captions[i] = m_choice.entries[i].IsNull() ? nullptr : m_choice.entries[i].c_str();
    content.selected = m_choice.selected;
    ::DrawChoiceBox(osd, MakeChoiceBoxLook(*dialog), content);
}
