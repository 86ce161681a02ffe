#include "simhw/card/SimCardObjects.h"

#include "simhw/card/SimCardState.h"

#include <cwchar>
#include <new>

namespace tx::simhw
{

HRESULT CSimCardGraph::FinalConstruct() noexcept
{
    return CSimCardState::Instance().Failure(SIMCARD_STEP_CREATE_GRAPH);
}

STDMETHODIMP CSimCardGraph::FindPin(LONG index, LONG kind, const wchar_t *categoryName, REFGUID category,
                                    IZCardOsdPin **pin)
{
    if (!pin)
        return E_POINTER;
    *pin = nullptr;
    const HRESULT failure = CSimCardState::Instance().Failure(SIMCARD_STEP_FIND_PIN);
    if (FAILED(failure))
        return failure;
    if (index != kZCardPinSearchIndex || kind != kZCardPinSearchKind || !categoryName ||
        std::wcscmp(categoryName, kCategoryPinOsdName) != 0 || category != CATEGORY_PIN_OSD)
        return E_INVALIDARG;
    tx::ComPtr<CSimOsdPin> found = tx::MakeComObject<CSimOsdPin>(static_cast<IZCardGraph *>(this));
    if (!found)
        return E_OUTOFMEMORY;
    *pin = found.Detach();
    return S_OK;
}

STDMETHODIMP CSimCardGraph::Reset()
{
    CSimCardState::Instance().Reset();
    return S_OK;
}

STDMETHODIMP CSimCardGraph::SetFailure(SimCardStep step, HRESULT hr)
{
    if (step < 0 || step >= SIMCARD_STEP_COUNT)
        return E_INVALIDARG;
    CSimCardState::Instance().SetFailure(step, hr);
    return S_OK;
}

STDMETHODIMP CSimCardGraph::SetWriteMode(SimCardWriteMode mode, DWORD delayMs)
{
    if (mode < SIMCARD_WRITE_AT_ONCE || mode > SIMCARD_WRITE_NEVER_ENDS)
        return E_INVALIDARG;
    CSimCardState::Instance().SetWriteMode(mode, delayMs);
    return S_OK;
}

STDMETHODIMP CSimCardGraph::CompletePendingWrite()
{
    return CSimCardState::Instance().CompletePendingWrite();
}

STDMETHODIMP CSimCardGraph::GetOsdState(SimCardOsdState *state)
{
    if (!state)
        return E_POINTER;
    CSimCardState::Instance().GetOsdState(*state);
    return S_OK;
}

STDMETHODIMP CSimCardGraph::GetLastFrame(BYTE *buffer, ULONG capacity, ULONG *size)
{
    return CSimCardState::Instance().GetLastFrame(buffer, capacity, size);
}

STDMETHODIMP CSimCardGraph::SaveImage(const wchar_t *path)
{
    return CSimCardState::Instance().SaveImage(path);
}

STDMETHODIMP CSimCardGraph::SetImageOnEveryFrame(const wchar_t *path)
{
    return CSimCardState::Instance().SetImageOnEveryFrame(path);
}

STDMETHODIMP CSimCardGraph::ShowTelevision(BOOL show)
{
    return CSimCardState::Instance().ShowTelevision(show != FALSE);
}

STDMETHODIMP CSimCardGraph::GetTelevisionWindow(HWND *window)
{
    if (!window)
        return E_POINTER;
    *window = CSimCardState::Instance().TelevisionWindow();
    return S_OK;
}

STDMETHODIMP CSimOsdPin::QueryInterface(REFIID riid, void **ppv)
{
    // The card's faces of the pin can be made unavailable one by one.
    if (riid == __uuidof(IZCardOsdBuffer) || riid == __uuidof(IZCardOsdProperties))
    {
        const HRESULT failure = CSimCardState::Instance().Failure(
            riid == __uuidof(IZCardOsdBuffer) ? SIMCARD_STEP_BUFFER_INTERFACE : SIMCARD_STEP_PROPERTY_INTERFACE);
        if (FAILED(failure))
        {
            if (ppv)
                *ppv = nullptr;
            return failure;
        }
    }
    return ComObject::QueryInterface(riid, ppv);
}

HRESULT CSimOsdPin::QueryInterfaceExtra(REFIID, void **) noexcept
{
    return E_NOINTERFACE;
}

STDMETHODIMP CSimOsdPin::Reserved4()
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimOsdPin::Reserved5()
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimOsdPin::Reserved6()
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimOsdPin::Reserved7()
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimOsdPin::Reserved8()
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimOsdPin::Reserved9()
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimOsdPin::Reserved10()
{
    return E_NOTIMPL;
}
STDMETHODIMP CSimOsdPin::Reserved11()
{
    return E_NOTIMPL;
}

STDMETHODIMP CSimOsdPin::WriteFrame(ZCardWriteRecord *record, OVERLAPPED *overlapped)
{
    if (!record || !overlapped)
        return E_POINTER;
    // The record as the card reads it: its size, one header, the header's own size, and
    // a frame inside the buffer this pin handed out.
    if (record->recordSize != sizeof(ZCardWriteRecord) || record->headerCount != 1 ||
        record->header.size != sizeof(ZCardStreamHeader) || record->header.data == nullptr)
        return E_INVALIDARG;
    const BYTE *data = static_cast<const BYTE *>(record->header.data);
    if (m_buffer.empty() || data != m_buffer.data() || record->header.frameExtent > m_buffer.size())
        return E_INVALIDARG;
    return CSimCardState::Instance().Write(data, record->header.frameExtent, overlapped->hEvent);
}

STDMETHODIMP CSimOsdPin::AllocateBuffer(ULONG size, BYTE **buffer, ULONG_PTR *cookie)
{
    if (!buffer || !cookie)
        return E_POINTER;
    *buffer = nullptr;
    *cookie = 0;
    const HRESULT failure = CSimCardState::Instance().Failure(SIMCARD_STEP_ALLOCATE_BUFFER);
    if (FAILED(failure))
        return failure;
    if (size == 0 || !m_buffer.empty())
        return E_INVALIDARG;
    try
    {
        m_buffer.assign(size, 0);
    }
    catch (...)
    {
        return E_OUTOFMEMORY;
    }
    *buffer = m_buffer.data();
    *cookie = reinterpret_cast<ULONG_PTR>(m_buffer.data());
    return S_OK;
}

STDMETHODIMP CSimOsdPin::SetProperty(ULONG id, const LONG *value)
{
    return CSimCardState::Instance().SetProperty(id, value);
}

} // namespace tx::simhw
