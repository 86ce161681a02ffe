#pragma once
// CSource: a push-source filter whose output pins are CSourceStream pins. The pins
// register themselves when constructed and are numbered "1", "2", ... in that order
// (their ids; names are the pins' own). The filter owns and deletes them.
#include "dshowbase/BaseFilter.h"

#include <memory>
#include <vector>

namespace tx::dshow
{
class CSourceStream;

class CSource : public CBaseFilter
{
  public:
    CSource(const wchar_t *name, const CLSID &clsid) noexcept;
    ~CSource() override;

    int GetPinCount() override;
    CBasePin *GetPin(int index) override;

    // Called by CSourceStream's constructor; returns the 0-based index, -1 when out
    // of memory (the pin is then not part of the filter).
    int AddPin(CSourceStream *pin) noexcept;
    // Removes and deletes a pin; false when it is not one of ours.
    bool RemovePin(CSourceStream *pin) noexcept;

  private:
    std::vector<CSourceStream *> m_pins;
};

} // namespace tx::dshow
