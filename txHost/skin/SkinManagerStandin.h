#pragma once
// CSkinManager as far as the OSD needs it until the skin manager exists: every call the
// OSD makes, each a logged no-op. The compose hook lets tests and the benchmark draw a
// page through IOsd in place of the skin.
#include "txHost/skin/OsdInterfaces.h"

#include <functional>

class COsd;

class CSkinManager
{
  public:
    explicit CSkinManager(COsd &osd) noexcept : m_osd(osd)
    {
    }
    CSkinManager(const CSkinManager &) = delete;
    CSkinManager &operator=(const CSkinManager &) = delete;

    // Draws the current screen into the OSD's surfaces (under the skin lock). Without a
    // skin nothing is drawn; the hook, when set, draws in its place.
    void Compose(IOsd *osd) noexcept;
    // Moves and stretches the loaded skin by a change of layout height.
    void Relayout(LONG delta) noexcept;
    // The host's 100 ms tick.
    void OnTick(LONG value) noexcept;
    // Loads the language's string table and the skin. S_FALSE: nothing loaded (the skin
    // loader is not part of this build yet).
    HRESULT LoadLanguageAndSkin() noexcept;
    // Frees the loaded skin.
    void FreeSkin() noexcept;

    std::function<void(IOsd *)> composeHook;
    LONG relayoutTotal = 0;
    LONG ticks = 0;

  private:
    COsd &m_osd;
};
