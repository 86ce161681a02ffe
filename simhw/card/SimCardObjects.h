#pragma once
// The COM objects of the simulated card: the graph object and the decoder's OSD pin.
#include "simhw/card/SimCard.h"

#include "comkit/ComObject.h"
#include "txHost/skin/DecoderOsdInterfaces.h"

#include <vector>

namespace tx::simhw
{

// The card's graph object. FindPin hands out the decoder's OSD pin when asked exactly
// as the card expects (index 0, kind -2, "CATEGORY_PIN_OSD" and its category).
class CSimCardGraph final : public tx::ComObject<CSimCardGraph, IZCardGraph, ISimCardControl>
{
  public:
    HRESULT FinalConstruct() noexcept;

    // IZCardGraph
    STDMETHODIMP FindPin(LONG index, LONG kind, const wchar_t *categoryName, REFGUID category,
                         IZCardOsdPin **pin) override;

    // ISimCardControl
    STDMETHODIMP Reset() override;
    STDMETHODIMP SetFailure(SimCardStep step, HRESULT hr) override;
    STDMETHODIMP SetWriteMode(SimCardWriteMode mode, DWORD delayMs) override;
    STDMETHODIMP CompletePendingWrite() override;
    STDMETHODIMP GetOsdState(SimCardOsdState *state) override;
    STDMETHODIMP GetLastFrame(BYTE *buffer, ULONG capacity, ULONG *size) override;
    STDMETHODIMP SaveImage(const wchar_t *path) override;
    STDMETHODIMP SetImageOnEveryFrame(const wchar_t *path) override;
    STDMETHODIMP ShowTelevision(BOOL show) override;
    STDMETHODIMP GetTelevisionWindow(HWND *window) override;
};

// The decoder filter's OSD input pin with its buffer and property faces. It keeps the
// graph object alive, and owns the frame buffer it allocates.
class CSimOsdPin final : public tx::ComObject<CSimOsdPin, IZCardOsdPin, IZCardOsdBuffer, IZCardOsdProperties>
{
  public:
    explicit CSimOsdPin(IZCardGraph *graph) noexcept : m_graph(graph)
    {
    }

    HRESULT QueryInterfaceExtra(REFIID riid, void **ppv) noexcept;
    STDMETHODIMP QueryInterface(REFIID riid, void **ppv) override;

    // IZCardOsdPin
    STDMETHODIMP Reserved4() override;
    STDMETHODIMP Reserved5() override;
    STDMETHODIMP Reserved6() override;
    STDMETHODIMP Reserved7() override;
    STDMETHODIMP Reserved8() override;
    STDMETHODIMP Reserved9() override;
    STDMETHODIMP Reserved10() override;
    STDMETHODIMP Reserved11() override;
    STDMETHODIMP WriteFrame(ZCardWriteRecord *record, OVERLAPPED *overlapped) override;

    // IZCardOsdBuffer (its slot 4 is IZCardOsdPin's Reserved4 name; both answer E_NOTIMPL)
    STDMETHODIMP AllocateBuffer(ULONG size, BYTE **buffer, ULONG_PTR *cookie) override;

    // IZCardOsdProperties
    STDMETHODIMP SetProperty(ULONG id, const LONG *value) override;

  private:
    tx::ComPtr<IZCardGraph> m_graph;
    std::vector<BYTE> m_buffer;
};

} // namespace tx::simhw
