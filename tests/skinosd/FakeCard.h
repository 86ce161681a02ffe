#pragma once
// A decoder card for the OSD tests: the graph object and an OSD pin with its buffer and
// property interfaces. It keeps every delivered frame and property, and can refuse, delay
// or never complete a write, or fail any step of the connection.
#include "comkit/ComObject.h"
#include "txHost/skin/DecoderOsdInterfaces.h"

#include <atomic>
#include <cstring>
#include <utility>
#include <vector>

namespace tx::test
{

enum class WriteMode
{
    Complete, // S_OK at once
    Pending,  // E_PENDING with the event already signalled: completes within the wait
    Never,    // E_PENDING and never signals until CompletePending
    Refuse,   // answers refuseResult
};

struct FakeCardState
{
    // Objects alive, for the release check at the end of a test.
    std::atomic<int> liveObjects{0};
    HRESULT findPinResult = S_OK;
    HRESULT allocateResult = S_OK;
    bool offerBuffer = true;
    bool offerProperties = true;
    WriteMode writeMode = WriteMode::Complete;
    HRESULT refuseResult = E_FAIL;
    HRESULT propertyResult = S_OK;

    // Recorded.
    LONG findIndex = 1, findKind = 0;
    std::wstring findName;
    GUID findCategory{};
    ULONG allocatedSize = 0;
    std::vector<BYTE> buffer;
    std::vector<std::vector<BYTE>> frames;
    std::vector<ZCardWriteRecord> records;
    std::vector<std::pair<ULONG, std::vector<LONG>>> properties;
    HANDLE pendingEvent = nullptr;

    void CompletePending()
    {
        if (pendingEvent)
            ::SetEvent(std::exchange(pendingEvent, nullptr));
    }
};

class CFakeOsdPin final : public tx::ComObject<CFakeOsdPin, IZCardOsdPin>
{
  public:
    explicit CFakeOsdPin(FakeCardState &state) : m_state(state)
    {
        m_buffer.owner = this;
        m_properties.owner = this;
        ++m_state.liveObjects;
    }
    ~CFakeOsdPin()
    {
        --m_state.liveObjects;
    }

    // The buffer and property faces are separate objects of the same pin in a real card;
    // here they are nested classes sharing the pin's reference count.
    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) noexcept
    {
        if (riid == __uuidof(IZCardOsdBuffer) && m_state.offerBuffer)
        {
            *ppv = static_cast<IZCardOsdBuffer *>(&m_buffer);
            return S_OK;
        }
        if (riid == __uuidof(IZCardOsdProperties) && m_state.offerProperties)
        {
            *ppv = static_cast<IZCardOsdProperties *>(&m_properties);
            return S_OK;
        }
        return E_NOINTERFACE;
    }

    STDMETHODIMP Reserved4() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reserved5() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reserved6() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reserved7() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reserved8() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reserved9() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reserved10() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP Reserved11() override
    {
        return E_NOTIMPL;
    }
    STDMETHODIMP WriteFrame(ZCardWriteRecord *record, OVERLAPPED *overlapped) override
    {
        if (m_state.writeMode == WriteMode::Refuse)
            return m_state.refuseResult;
        m_state.records.push_back(*record);
        const BYTE *data = static_cast<const BYTE *>(record->header.data);
        m_state.frames.emplace_back(data, data + record->header.frameExtent);
        switch (m_state.writeMode)
        {
        case WriteMode::Pending:
            ::SetEvent(overlapped->hEvent);
            return E_PENDING;
        case WriteMode::Never:
            m_state.pendingEvent = overlapped->hEvent;
            return E_PENDING;
        default:
            return S_OK;
        }
    }

  private:
    template <class I> struct Face : I
    {
        STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override
        {
            return Owner()->QueryInterface(riid, ppv);
        }
        STDMETHODIMP_(ULONG) AddRef() override
        {
            return Owner()->AddRef();
        }
        STDMETHODIMP_(ULONG) Release() override
        {
            return Owner()->Release();
        }
        CFakeOsdPin *owner = nullptr;
        CFakeOsdPin *Owner() noexcept
        {
            return owner;
        }
    };
    struct BufferFace : Face<IZCardOsdBuffer>
    {
        STDMETHODIMP Reserved4() override
        {
            return E_NOTIMPL;
        }
        STDMETHODIMP AllocateBuffer(ULONG size, BYTE **buffer, ULONG_PTR *cookie) override
        {
            FakeCardState &state = owner->m_state;
            if (FAILED(state.allocateResult))
                return state.allocateResult;
            state.allocatedSize = size;
            state.buffer.assign(size, 0xCD);
            *buffer = state.buffer.data();
            *cookie = 0x1234;
            return S_OK;
        }
    };
    struct PropertyFace : Face<IZCardOsdProperties>
    {
        STDMETHODIMP Reserved4() override
        {
            return E_NOTIMPL;
        }
        STDMETHODIMP Reserved5() override
        {
            return E_NOTIMPL;
        }
        STDMETHODIMP SetProperty(ULONG id, const LONG *value) override
        {
            FakeCardState &state = owner->m_state;
            if (FAILED(state.propertyResult))
                return state.propertyResult;
            const size_t count = id == ZCARD_OSD_PROPERTY_RECT ? 4 : 1;
            state.properties.emplace_back(id, std::vector<LONG>(value, value + count));
            return S_OK;
        }
    };

    FakeCardState &m_state;
    BufferFace m_buffer;
    PropertyFace m_properties;
};

class CFakeCardGraph final : public tx::ComObject<CFakeCardGraph, IZCardGraph>
{
  public:
    explicit CFakeCardGraph(FakeCardState &state) : m_state(state)
    {
        ++m_state.liveObjects;
    }
    ~CFakeCardGraph()
    {
        --m_state.liveObjects;
    }
    STDMETHODIMP FindPin(LONG index, LONG kind, const wchar_t *categoryName, REFGUID category,
                         IZCardOsdPin **pin) override
    {
        *pin = nullptr;
        m_state.findIndex = index;
        m_state.findKind = kind;
        m_state.findName = categoryName ? categoryName : L"";
        m_state.findCategory = category;
        if (FAILED(m_state.findPinResult))
            return m_state.findPinResult;
        tx::ComPtr<CFakeOsdPin> object = tx::MakeComObject<CFakeOsdPin>(m_state);
        if (!object)
            return E_OUTOFMEMORY;
        *pin = object.Detach();
        return S_OK;
    }

  private:
    FakeCardState &m_state;
};

} // namespace tx::test
