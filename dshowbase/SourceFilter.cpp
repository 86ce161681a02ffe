#include "dshowbase/SourceFilter.h"

#include "dshowbase/SourceStream.h"

#include <algorithm>
#include <string>

namespace tx::dshow
{

CSource::CSource(const wchar_t *name, const CLSID &clsid) noexcept : CBaseFilter(name, clsid)
{
}

CSource::~CSource()
{
    // A pin's destructor may still look at the filter: delete them from the last.
    while (!m_pins.empty())
    {
        CSourceStream *pin = m_pins.back();
        m_pins.pop_back();
        delete pin;
    }
}

int CSource::GetPinCount()
{
    CriticalSectionLock lock(FilterLock());
    return static_cast<int>(m_pins.size());
}

CBasePin *CSource::GetPin(int index)
{
    CriticalSectionLock lock(FilterLock());
    if (index < 0 || index >= static_cast<int>(m_pins.size()))
        return nullptr;
    return m_pins[static_cast<size_t>(index)];
}

int CSource::AddPin(CSourceStream *pin) noexcept
{
    CriticalSectionLock lock(FilterLock());
    try
    {
        m_pins.push_back(pin);
        pin->SetId(std::to_wstring(m_pins.size()).c_str());
    }
    catch (...)
    {
        return -1;
    }
    IncrementPinVersion();
    return static_cast<int>(m_pins.size()) - 1;
}

bool CSource::RemovePin(CSourceStream *pin) noexcept
{
    CriticalSectionLock lock(FilterLock());
    auto it = std::find(m_pins.begin(), m_pins.end(), pin);
    if (it == m_pins.end())
        return false;
    m_pins.erase(it);
    IncrementPinVersion();
    delete pin;
    return true;
}

} // namespace tx::dshow
