#pragma once
// The status indicators' view of a skin page: IStatusElements over the page's elements,
// found by id at every call (FindSkinElementById) and released afterwards, so a reloaded
// skin never leaves the indicators holding a stale element. Text operations go through
// ISkinText, bar lengths through ISkinRect or ISkinBlockRect; an element without the face
// an operation needs counts as missing for it.
// Thread: the UI thread under the skin lock (the indicators' caller).
#include "txHost/skin/SkinInterfaces.h"
#include "txHost/skin/StatusIndicators.h"

#include <functional>
#include <string>

class CSkinElement;

namespace tx::skin
{

// How the adapter finds an element by id: the skin manager's page search in the program,
// a fake in tests. *element gets one reference; a failure means "no such element".
class ISkinElementLookup
{
  public:
    virtual HRESULT FindElement(const wchar_t *id, ISkinElement **element) = 0;

  protected:
    ~ISkinElementLookup() = default;
};

// The lookup over one page root (a group): depth-first by exact id.
class SkinRootLookup final : public ISkinElementLookup
{
  public:
    explicit SkinRootLookup(CSkinElement *root) noexcept : m_root(root)
    {
    }
    void SetRoot(CSkinElement *root) noexcept
    {
        m_root = root;
    }
    HRESULT FindElement(const wchar_t *id, ISkinElement **element) override;

  private:
    CSkinElement *m_root;
};

class SkinStatusElements final : public IStatusElements
{
  public:
    // The lookup must outlive the adapter; null: every element is missing.
    explicit SkinStatusElements(ISkinElementLookup *lookup) noexcept : m_lookup(lookup)
    {
    }

    bool SetVisible(std::wstring_view id, bool visible) override;
    bool GetVisible(std::wstring_view id, bool *visible) override;
    bool SetText(std::wstring_view id, std::wstring_view text) override;
    bool GetText(std::wstring_view id, std::wstring *text) override;
    bool AppendText(std::wstring_view id, std::wstring_view text) override;
    bool SetPosition(std::wstring_view id, int32_t x, int32_t y) override;
    bool SetAlign(std::wstring_view id, int32_t align) override;
    bool GetLength(std::wstring_view id, int32_t *length) override;
    bool SetLength(std::wstring_view id, int32_t length) override;

  private:
    template <class Face> bool Find(std::wstring_view id, Face **face);

    ISkinElementLookup *m_lookup;
};

// The local time of the machine, formatted with the user's locale and the skin's pictures.
class SystemStatusClock final : public IStatusClock
{
  public:
    StatusClockTime Now() override;
    std::wstring FormatDate(const StatusClockTime &time, const std::wstring &picture) override;
    std::wstring FormatTime(const StatusClockTime &time, const std::wstring &picture) override;
};

// Everything the skin manager owns for the indicators: the clock, the two page adapters
// and the indicator state. Bind after every skin start (pages may be null), Unbind before
// the skin's pages are freed; Tick once per 100 ms tick under the skin lock.
class SkinStatusSet
{
  public:
    SkinStatusSet() = default;
    SkinStatusSet(const SkinStatusSet &) = delete;
    SkinStatusSet &operator=(const SkinStatusSet &) = delete;

    // Points the indicators at the roots of the "status" and "log" pages, takes the
    // skin's time and date pictures, and hides the indicators a skin shows by default.
    void Bind(CSkinElement *statusRoot, CSkinElement *logRoot, std::wstring timePicture, std::wstring datePicture);
    void Unbind() noexcept;
    // Counters, clock and picture countdown, then the queued log text.
    void Tick(bool *changed, const std::function<bool()> &onPictureTimer) noexcept;

    StatusIndicators &Indicators() noexcept
    {
        return m_indicators;
    }

  private:
    SystemStatusClock m_clock;
    SkinRootLookup m_statusLookup{nullptr};
    SkinRootLookup m_logLookup{nullptr};
    SkinStatusElements m_statusPage{&m_statusLookup};
    SkinStatusElements m_logPage{&m_logLookup};
    StatusIndicators m_indicators{m_clock};
};

} // namespace tx::skin
