// txInput: forwards every keystroke of the desktop to the host window, which decides
// whether the key is swallowed.
//
// The hook is a low-level keyboard hook: it sees the keys of every application
// (32- and 64-bit alike) without the library being mapped into them, and it runs on
// the host's own UI thread, so the host's answer is a direct call.
#include "txInput/InputHooks.h"
#include "txInput/KeystrokeFlags.h"

#include "comkit/HResult.h"

namespace
{
using namespace tx::input;

constexpr UINT_PTR kNoHook = ~UINT_PTR(0);
constexpr int kKeyboardSlot = 1;

// Hook handles, one slot per hook kind; only the keyboard slot is used. They are per
// process: only the process that installed the hook holds its handle.
__attribute__((section(".shared"))) UINT_PTR g_hookSlots[3] = {kNoHook, kNoHook, kNoHook};

HMODULE g_module = nullptr;
UINT g_keyMessage = 0;
UINT g_mouseMessage = 0; // registered for the host's sake; this library sends none

// Touched only on the hook's thread: a low-level hook is always called there.
KeystrokeTranslator g_translator;

HHOOK SlotHook(int slot) noexcept
{
    return reinterpret_cast<HHOOK>(g_hookSlots[slot]);
}

LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION)
    {
        const auto *event = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        const std::uint32_t flags = g_translator.Translate({event->vkCode, event->scanCode, event->flags});
        if (const HWND host = ::FindWindowW(kHostWindowClass, nullptr))
        {
            DWORD_PTR reply = 1;
            const LRESULT delivered =
                ::SendMessageTimeoutW(host, g_keyMessage, event->vkCode, static_cast<LPARAM>(flags),
                                      SMTO_NORMAL | SMTO_ABORTIFHUNG, kHostReplyTimeoutMs, &reply);
            if (delivered && reply == 0)
                return 1;
        }
    }
    return ::CallNextHookEx(SlotHook(kKeyboardSlot), code, wParam, lParam);
}

void RemoveHooks() noexcept
{
    for (UINT_PTR &slot : g_hookSlots)
    {
        if (slot != kNoHook)
        {
            ::UnhookWindowsHookEx(reinterpret_cast<HHOOK>(slot));
            slot = kNoHook;
        }
    }
}
} // namespace

extern "C" int WINAPI InitMessageHooks()
{
    if (g_hookSlots[kKeyboardSlot] != kNoHook)
        return 0;
    g_translator.Reset();
    const HHOOK hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, &KeyboardHookProc, g_module, 0);
    if (!hook)
    {
        tx::LogFailure(tx::HResultFromLastError(), L"Failed to install the keyboard hook");
        return 0;
    }
    g_hookSlots[kKeyboardSlot] = reinterpret_cast<UINT_PTR>(hook);
    return 0;
}

extern "C" int WINAPI UninitMessageHooks()
{
    RemoveHooks();
    return 0;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH)
    {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
        g_keyMessage = ::RegisterWindowMessageW(kKeyMessageName);
        g_mouseMessage = ::RegisterWindowMessageW(kMouseMessageName);
    }
    else if (reason == DLL_PROCESS_DETACH && !reserved)
    {
        // Freed with the hook still installed: the system would call into unmapped code.
        RemoveHooks();
    }
    return TRUE;
}
