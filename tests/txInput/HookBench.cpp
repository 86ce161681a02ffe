// Benchmark of the keyboard hook: for 1,000 keystrokes, the time from the key reaching
// txInput's hook to the host's answer, and from SendInput to the host's window
// procedure. A probe hook installed after txInput's is called before it (hooks run
// newest first) and times the call down the chain: txInput's window lookup, its send
// and the host's answer. The stand-in host swallows every key, as the host does.
#include "tests/txInput/HookHarness.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
constexpr int kKeys = 1000;

HHOOK g_probe = nullptr;
std::vector<double> g_chainMicroseconds;

LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    const auto start = Clock::now();
    const LRESULT result = ::CallNextHookEx(g_probe, code, wParam, lParam);
    if (code == HC_ACTION)
        g_chainMicroseconds.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    return result;
}

void Report(const char *what, std::vector<double> samples)
{
    if (samples.empty())
    {
        std::printf("%-40s no samples\n", what);
        return;
    }
    std::sort(samples.begin(), samples.end());
    const double median = samples[samples.size() / 2];
    const double p95 = samples[std::min(samples.size() - 1, samples.size() * 95 / 100)];
    std::printf("%-40s n=%zu median %.1f us  p95 %.1f us  max %.1f us\n", what, samples.size(), median, p95,
                samples.back());
}
} // namespace

int main()
{
    tx::test::StandInHostThread host;
    if (!host.Start())
    {
        std::fprintf(stderr, "stand-in host did not start\n");
        return 1;
    }
    std::atomic<long long> sentAt{0};
    std::vector<double> endToEnd;
    host.SetPolicy([](UINT, UINT) { return LRESULT(0); });
    host.SetObserver([&](UINT, UINT) {
        const long long sent = sentAt.load();
        if (sent)
            endToEnd.push_back(std::chrono::duration<double, std::micro>(Clock::now().time_since_epoch()).count() -
                               sent / 1000.0);
    });
    host.RunOnHostThread([&] {
        host.Init();
        g_probe = ::SetWindowsHookExW(WH_KEYBOARD_LL, &ProbeHook, ::GetModuleHandleW(nullptr), 0);
    });
    if (!g_probe)
    {
        std::fprintf(stderr, "probe hook not installed\n");
        return 1;
    }

    for (int i = 0; i < kKeys; ++i)
    {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = 'A';
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW('A', MAPVK_VK_TO_VSC));
        input.ki.dwFlags = (i % 2) ? KEYEVENTF_KEYUP : 0;
        sentAt = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
        ::SendInput(1, &input, sizeof(input));
    }
    // Let the host thread drain what is still queued before the numbers are read.
    host.RunOnHostThread([&] {
        ::UnhookWindowsHookEx(g_probe);
        host.Uninit();
    });
    host.Stop();

    std::printf("keyboard hook, %d keystrokes (target: median under 500 us)\n", kKeys);
    Report("hook entry to host answer", g_chainMicroseconds);
    Report("SendInput to host window procedure", endToEnd);
    return 0;
}
