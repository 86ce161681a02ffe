// Groups: drawing and passing operations on to the children, and focus movement.
#include "txHost/skin/SkinGroup.h"

#include "comkit/Bstr.h"
#include "comkit/HResult.h"
#include "txHost/skin/SkinCreators.h"
#include "txHost/skin/SkinManager.h"
#include "txHost/skin/SkinMenu.h"
#include "txHost/skin/SkinPage.h"

#include <algorithm>
#include <atomic>

namespace
{

using tx::skin::SkinAttrRow;

const SkinAttrRow kGroupRows[] = {
    {L"ver", tx::skin::SKINATTR_BOOL, TX_SKIN_FIELD(CSkinGroup, ver)},
    {L"overlap", tx::skin::SKINATTR_BOOL, TX_SKIN_FIELD(CSkinGroup, overlap)},
    {L"id", tx::skin::SKINATTR_STRING, TX_SKIN_FIELD(CSkinGroup, id)},
};

// The data text of a menu element's item through ISkinMenu.
HRESULT ReadMenuItemData(ISkinElement *element, LONG index, BSTR *data) noexcept
{
    tx::ComPtr<ISkinMenu> menu;
    if (FAILED(element->QueryInterface(__uuidof(ISkinMenu), reinterpret_cast<void **>(menu.GetAddressOf()))))
        return E_NOINTERFACE;
    return menu->GetItem(index, nullptr, nullptr, data);
}

std::atomic<SkinMenuItemDataReader> g_menuReader{&ReadMenuItemData};

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

// Strings and values an element gives for its command.
struct Command
{
    tx::Bstr id, action, data;
    LONG first = 0;
    LONG second = 0;
};

} // namespace

const SkinAttrPart CSkinGroup::kParts[] = {{nullptr, kGroupRows, std::size(kGroupRows), nullptr}};
const size_t CSkinGroup::kPartCount = std::size(CSkinGroup::kParts);

void SetSkinMenuItemDataReader(SkinMenuItemDataReader reader) noexcept
{
    g_menuReader = reader ? reader : &ReadMenuItemData;
}

void SplitMenuFilterData(const std::wstring &data, std::wstring &first, std::wstring &second)
{
    first.clear();
    second.clear();
    if (data.empty())
        return;
    const size_t slash = data.rfind(L'/');
    if (slash != std::wstring::npos && (slash + 1 >= data.size() || data[slash + 1] != L'['))
    {
        first = data.substr(slash + 1);
        second = data.substr(0, slash);
        return;
    }
    if (data[0] == L'[' || data[0] == L'/')
        second = data;
    else
        first = data;
}

HRESULT CSkinGroup::AddGroupChild(ISkinElement *child, CSkinGroup *childGroup) noexcept
{
    if (!child)
        return E_POINTER;
    try
    {
        Child entry;
        tx::Bstr childId;
        HRESULT hr = child->GetId(childId.Put());
        if (FAILED(hr))
            return hr;
        entry.id.assign(childId.c_str(), childId.Length());
        entry.element = child;
        entry.group = childGroup;
        m_children.push_back(std::move(entry));
        return S_OK;
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
}

HRESULT CSkinGroup::AddFocusable(ISkinControl *control) noexcept
{
    if (!control)
        return E_POINTER;
    try
    {
        m_focusable.emplace_back(control);
        return S_OK;
    }
    catch (const std::bad_alloc &)
    {
        return E_OUTOFMEMORY;
    }
}

CSkinElement *CSkinGroup::GroupChild(ULONG index) noexcept
{
    if (index >= m_children.size())
        return nullptr;
    tx::ComPtr<ISkinResolve> resolve;
    if (FAILED(m_children[index].element->QueryInterface(__uuidof(ISkinResolve),
                                                         reinterpret_cast<void **>(resolve.GetAddressOf()))))
        return nullptr;
    CSkinElement *object = nullptr;
    resolve->GetElement(&object);
    return object;
}

// ---- passing on ----

HRESULT CSkinGroup::Draw(IOsd *osd)
{
    if (!visible)
        return S_OK;
    for (Child &child : m_children)
    {
        BOOL shown = FALSE;
        if (SUCCEEDED(child.element->GetVisible(&shown)) && shown)
            child.element->Draw(osd); // a child that fails to draw leaves the others
    }
    return S_OK;
}

HRESULT CSkinGroup::Clone(ISkinElement **clone)
{
    return CloneSkinElement(this, clone);
}

HRESULT CSkinGroup::CopyAttributesTo(CSkinElement *target)
{
    // Only the layout flags: a class's group prototype gives no id and no children.
    CSkinGroup *group = static_cast<CSkinGroup *>(target);
    group->ver = ver;
    group->overlap = overlap;
    return S_OK;
}

HRESULT CSkinGroup::Attach(IUnknown *source, LONG_PTR value)
{
    for (Child &child : m_children)
        child.element->Attach(source, value);
    return S_OK;
}

HRESULT CSkinGroup::Relayout(LONG delta)
{
    for (Child &child : m_children)
        child.element->Relayout(delta);
    return S_OK;
}

HRESULT CSkinGroup::Animate(BOOL *redraw)
{
    for (Child &child : m_children)
        child.element->Animate(redraw);
    return S_OK;
}

HRESULT CSkinGroup::ResetAnimation()
{
    for (Child &child : m_children)
        child.element->ResetAnimation();
    return S_OK;
}

HRESULT CSkinGroup::ReleaseResources()
{
    for (Child &child : m_children)
        child.element->ReleaseResources();
    return S_OK;
}

HRESULT CSkinGroup::ResolveResources(IOsd *osd, tx::skin::SkinFontCache *fonts, tx::skin::SkinImageCache *images)
{
    for (Child &child : m_children)
    {
        tx::ComPtr<ISkinResolve> resolve;
        if (SUCCEEDED(child.element->QueryInterface(__uuidof(ISkinResolve),
                                                    reinterpret_cast<void **>(resolve.GetAddressOf()))))
            resolve->ResolveResources(osd, fonts, images);
    }
    return S_OK;
}

// ---- focus ----

HRESULT CSkinGroup::GetFocusRect(LONG *x, LONG *y, LONG *width, LONG *height)
{
    if (!x || !y || !width || !height)
        return E_POINTER;
    if (!visible)
        return S_FALSE;
    bool any = false;
    LONG left = 0, top = 0, right = 0, bottom = 0;
    for (auto &control : m_focusable)
    {
        LONG cx = 0, cy = 0, cw = 0, ch = 0;
        if (control->GetFocusRect(&cx, &cy, &cw, &ch) != S_OK)
            continue;
        if (!any)
        {
            left = cx, top = cy, right = cx + cw, bottom = cy + ch;
            any = true;
        }
        else
        {
            left = std::min(left, cx);
            top = std::min(top, cy);
            right = std::max(right, cx + cw);
            bottom = std::max(bottom, cy + ch);
        }
    }
    if (!any)
        return S_FALSE;
    *x = left;
    *y = top;
    *width = right - left;
    *height = bottom - top;
    return S_OK;
}

HRESULT CSkinGroup::SetFocus(LONG direction, LONG x, LONG y)
{
    if (!visible)
        return S_FALSE;
    const LONG count = static_cast<LONG>(m_focusable.size());
    int step = 0; // ordered entry: +1 first to last, -1 last to first
    if (ver)
        step = direction == SKIN_DIR_DOWN ? 1 : direction == SKIN_DIR_UP ? -1 : 0;
    else
        step = direction == SKIN_DIR_RIGHT ? 1 : direction == SKIN_DIR_LEFT ? -1 : 0;
    if (step != 0)
    {
        for (LONG i = step > 0 ? 0 : count - 1; i >= 0 && i < count; i += step)
        {
            HRESULT hr = m_focusable[static_cast<size_t>(i)]->SetFocus(direction, x, y);
            if (FAILED(hr))
                return hr;
            if (hr == S_OK)
            {
                m_focusIndex = i;
                return S_OK;
            }
        }
    }
    return ChooseSpatially(direction, x, y);
}

HRESULT CSkinGroup::ChooseSpatially(LONG direction, LONG x, LONG y) noexcept
{
    double kx = 1.0, ky = 1.0;
    if (direction == SKIN_DIR_UP || direction == SKIN_DIR_DOWN)
        ky = 0.1;
    else if (direction == SKIN_DIR_LEFT || direction == SKIN_DIR_RIGHT)
        kx = 0.1;
    double best = 2147483647.0;
    LONG winner = -1;
    for (size_t i = 0; i < m_focusable.size(); ++i)
    {
        LONG cx = 0, cy = 0, cw = 0, ch = 0;
        if (m_focusable[i]->GetFocusRect(&cx, &cy, &cw, &ch) != S_OK)
            continue;
        LONG ax = cx, ay = cy;
        switch (direction)
        {
        case SKIN_DIR_UP: // entering from below: the bottom centre
            ax = cx + cw / 2, ay = cy + ch;
            break;
        case SKIN_DIR_DOWN:
            ax = cx + cw / 2, ay = cy;
            break;
        case SKIN_DIR_LEFT:
            ax = cx + cw, ay = cy + ch / 2;
            break;
        case SKIN_DIR_RIGHT:
            ax = cx, ay = cy + ch / 2;
            break;
        default:
            break;
        }
        const double dx = static_cast<double>(ax) - x;
        const double dy = static_cast<double>(ay) - y;
        const double distance = dx * dx * kx + dy * dy * ky;
        if (distance < best)
        {
            best = distance;
            winner = static_cast<LONG>(i);
        }
    }
    if (winner < 0)
        return S_FALSE;
    m_focusIndex = winner;
    return m_focusable[static_cast<size_t>(winner)]->SetFocus(direction, x, y);
}

HRESULT CSkinGroup::GetCenter(LONG *x, LONG *y)
{
    if (ISkinControl *focused = FocusedChild())
        return focused->GetCenter(x, y);
    return S_OK;
}

HRESULT CSkinGroup::KillFocus()
{
    HRESULT hr = S_OK;
    if (ISkinControl *focused = FocusedChild())
        hr = focused->KillFocus();
    m_focusIndex = -1;
    return hr;
}

HRESULT CSkinGroup::Navigate(LONG direction, BOOL *used)
{
    if (!used)
        return E_POINTER;
    tx::ComPtr<ISkinControl> focused(FocusedChild());
    if (!focused)
        return S_OK;
    BOOL childUsed = FALSE;
    HRESULT hr = focused->Navigate(direction, &childUsed);
    if (FAILED(hr))
        return hr;
    if (childUsed)
    {
        *used = TRUE;
        return S_OK;
    }
    LONG x = 0, y = 0;
    focused->GetCenter(&x, &y);
    const bool vertical = direction == SKIN_DIR_UP || direction == SKIN_DIR_DOWN;
    const bool forward = direction == SKIN_DIR_DOWN || direction == SKIN_DIR_RIGHT;
    const bool ordered = overlap || (ver ? vertical : (direction == SKIN_DIR_LEFT || direction == SKIN_DIR_RIGHT));
    *used = FALSE;
    if (!ordered || direction < SKIN_DIR_UP || direction > SKIN_DIR_RIGHT)
        return S_OK;
    const LONG count = static_cast<LONG>(m_focusable.size());
    const LONG step = forward ? 1 : -1;
    for (LONG i = m_focusIndex + step; i >= 0 && i < count; i += step)
    {
        hr = m_focusable[static_cast<size_t>(i)]->SetFocus(direction, x, y);
        if (FAILED(hr))
            return hr;
        if (hr == S_OK)
        {
            // The sibling already holds the focus; take it away from the old child only.
            ISkinControl *old = FocusedChild();
            if (old && old != m_focusable[static_cast<size_t>(i)].Get())
                old->KillFocus();
            m_focusIndex = i;
            *used = TRUE;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT CSkinGroup::GetCommand(BOOL activate, BSTR *id, LONG *first, LONG *second, BSTR *action, BSTR *data)
{
    if (ISkinControl *focused = FocusedChild())
        focused->GetCommand(activate, id, first, second, action, data);
    return S_OK;
}

HRESULT CSkinGroup::JumpToDigit(LONG digit)
{
    tx::ComPtr<ISkinControl> focused(FocusedChild());
    if (focused && focused->JumpToDigit(digit) == S_OK)
        NotifySelection();
    return S_FALSE;
}

HRESULT CSkinGroup::FocusFirst() noexcept
{
    KillFocus();
    const LONG direction = ver ? SKIN_DIR_DOWN : SKIN_DIR_RIGHT;
    for (size_t i = 0; i < m_focusable.size(); ++i)
    {
        HRESULT hr = m_focusable[i]->SetFocus(direction, 0, 0);
        if (FAILED(hr))
        {
            m_focusIndex = -1;
            return hr;
        }
        if (hr == S_OK)
        {
            m_focusIndex = static_cast<LONG>(i);
            return S_OK;
        }
    }
    m_focusIndex = -1;
    return S_OK;
}

HRESULT CSkinGroup::SetFocusByIdWalk(const wchar_t *id, tx::ComPtr<ISkinControl> &taker) noexcept
{
    for (Child &child : m_children)
    {
        if (child.id == id)
        {
            tx::ComPtr<ISkinControl> control;
            if (FAILED(child.element->QueryInterface(__uuidof(ISkinControl),
                                                     reinterpret_cast<void **>(control.GetAddressOf()))))
                return S_FALSE; // the element exists but can never take the focus
            HRESULT hr = control->SetFocus(0, 0, 0);
            taker = control;
            return hr;
        }
        if (child.group && child.group->SetFocusById(id) == S_OK)
        {
            taker = child.group->ControlFace();
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT CSkinGroup::SetFocusById(const wchar_t *id) noexcept
{
    if (!id)
        return E_POINTER;
    KillFocus();
    tx::ComPtr<ISkinControl> taker;
    HRESULT hr = SetFocusByIdWalk(id, taker);
    if (hr == S_OK)
    {
        for (size_t i = 0; i < m_focusable.size(); ++i)
            if (SameObject(m_focusable[i].Get(), taker.Get()))
            {
                m_focusIndex = static_cast<LONG>(i);
                break;
            }
        NotifySelection();
        return S_OK;
    }
    if (hr == S_FALSE)
        return FocusFirst();
    return hr;
}

IPage *CSkinGroup::PageController() const noexcept
{
    return m_page ? m_page->Controller() : nullptr;
}

void CSkinGroup::NotifySelection() noexcept
{
    tx::ComPtr<ISkinControl> focused(FocusedChild());
    tx::ComPtr<IPage> controller(PageController());
    if (!focused)
        return;
    Command command;
    if (focused->GetCommand(FALSE, command.id.Put(), &command.first, &command.second, command.action.Put(),
                            command.data.Put()) != S_OK)
        return;
    if (controller)
        controller->OnSelect(command.id.Get(), command.first, command.second);
}

void CSkinGroup::ActivateFocused(CSkinManager *manager, IHost *host, LONG value) noexcept
{
    // Everything used below is held by reference: the host's program pumps messages, and
    // the page may be asked to close meanwhile.
    tx::ComPtr<ISkinControl> focused(FocusedChild());
    if (!focused)
        return;
    tx::ComPtr<ISkinElement> self(ElementFace());
    tx::ComPtr<IPage> controller(PageController());
    tx::ComPtr<IHost> hostRef(host);
    Command command;
    if (focused->GetCommand(TRUE, command.id.Put(), &command.first, &command.second, command.action.Put(),
                            command.data.Put()) != S_OK)
        return;
    if (manager)
        manager->Redraw();
    if (!controller)
    {
        focused->MarkActivated();
        return;
    }
    tx::Bstr argument;
    controller->GetCommandValue(command.id.Get(), command.first, command.second, value, argument.Put());
    if (hostRef)
        hostRef->RunProgramAndWait(command.action.Get(), argument.IsNull() ? command.data.Get() : argument.Get());
    controller->OnCommand(command.id.Get(), command.first, command.second, value);
    focused->MarkActivated();
}

void CSkinGroup::MoveFocusInPage(LONG direction) noexcept
{
    if (!FocusedChild())
        return;
    BOOL used = FALSE;
    if (SUCCEEDED(Navigate(direction, &used)) && used)
    {
        NotifySelection();
        return;
    }
    LONG x = 0, y = 0;
    GetCenter(&x, &y);
    KillFocus();
    HRESULT hr;
    switch (direction)
    {
    case SKIN_DIR_UP:
        hr = SetFocus(direction, x, y + m_pageHeight);
        break;
    case SKIN_DIR_DOWN:
        hr = SetFocus(direction, x, y - m_pageHeight);
        break;
    case SKIN_DIR_LEFT:
        hr = SetFocus(direction, x + m_pageWidth, y);
        break;
    case SKIN_DIR_RIGHT:
        hr = SetFocus(direction, x - m_pageWidth, y);
        break;
    default:
        return;
    }
    if (hr != S_OK)
        FocusFirst();
    NotifySelection();
}

HRESULT CSkinGroup::RegisterMenuFilters(IHostCollection *collection) noexcept
{
    const SkinMenuItemDataReader reader = g_menuReader.load();
    for (Child &child : m_children)
    {
        HRESULT hr = E_NOINTERFACE;
        if (reader)
        {
            tx::Bstr data;
            hr = reader(child.element.Get(), 0, data.Put());
            for (LONG index = 1; SUCCEEDED(hr); ++index)
            {
                try
                {
                    std::wstring first, second;
                    SplitMenuFilterData(std::wstring(data.View()), first, second);
                    if (collection && !first.empty())
                        collection->AddCategoryName(tx::Bstr(first).Get());
                    if (collection && !second.empty())
                        collection->AddNamedList(tx::Bstr(second).Get());
                }
                catch (const std::bad_alloc &)
                {
                    return E_OUTOFMEMORY;
                }
                hr = reader(child.element.Get(), index, data.Put());
            }
            if (hr != E_NOINTERFACE)
                continue; // a menu, read to its end
        }
        if (child.group)
        {
            hr = child.group->RegisterMenuFilters(collection);
            if (FAILED(hr))
                return hr;
        }
    }
    return S_OK;
}
