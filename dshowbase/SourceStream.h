#pragma once
// CSourceStream: the output pin of a push source, with its own streaming thread.
//
// The thread exists while the filter is paused or running: Active starts it (Init,
// then Pause), Inactive ends it (Stop, then Exit). Between commands it runs
// DoBufferProcessing: OnThreadStartPlay, then for each sample GetDeliveryBuffer,
// FillBuffer and Deliver. FillBuffer's S_FALSE ends the stream (EndOfStream is
// delivered); a failure delivers EndOfStream and raises EC_ERRORABORT.
// A pin whose thread works differently overrides ThreadProc and uses the command
// channel itself (GetRequest/CheckRequest/Reply).
#include "dshowbase/OutputPin.h"
#include "dshowbase/WorkerThread.h"

namespace tx::dshow
{
class CSource;

class CSourceStream : public CBaseOutputPin, public CWorkerThread
{
  public:
    enum Command : DWORD
    {
        CmdInit,
        CmdPause,
        CmdRun,
        CmdStop,
        CmdExit
    };

    // Registers itself with filter, which numbers it ("1", "2", ...) and owns it.
    CSourceStream(CSource *filter, const wchar_t *name) noexcept;
    ~CSourceStream() override;

    // Fills one sample (streaming thread): S_OK delivers it, S_FALSE ends the stream,
    // a failure ends it with EC_ERRORABORT.
    virtual HRESULT FillBuffer(IMediaSample *sample) = 0;
    // A source pin offers exactly the types it checks: the default CheckMediaType
    // accepts a type equal to one of GetMediaType's.
    HRESULT CheckMediaType(const CMediaType &type) override;

    HRESULT Active() override;
    HRESULT Inactive() override;

  protected:
    // Streaming thread hooks.
    virtual HRESULT OnThreadCreate();
    virtual HRESULT OnThreadDestroy();
    virtual HRESULT OnThreadStartPlay();
    virtual HRESULT DoBufferProcessing();
    DWORD ThreadProc() override;

    CSource *const m_source;
};

} // namespace tx::dshow
