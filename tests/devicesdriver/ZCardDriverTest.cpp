// CZCardDriver against a simulated kernel driver standing behind the device I/O seam:
// the exact codes and records it sends, in order, and that every wait is bounded.
#include "txHost/devices/ZCardDriver.h"

#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace tx::devices;

namespace
{
constexpr DWORD kShortWait = 7; // stands for the 500 ms of the card

// What the simulated driver does with a request of one code.
enum class Completion
{
    AtOnce,  // completes synchronously
    Refuse,  // fails at once, nothing pending
    Pending, // pending; ends when cancelled
    Stuck,   // pending; ends only when the device closes
};

struct Call
{
    std::string what; // "create", "control", "wait", "cancel", "close", "sleep"
    std::wstring path;
    HANDLE device = nullptr;
    DWORD code = 0;
    std::vector<BYTE> input;
    std::vector<BYTE> output;
    DWORD number = 0; // flags, wait or sleep time
};

class FakeDriver final : public IZCardDeviceIo
{
  public:
    std::vector<std::wstring> devices;     // paths that open
    std::wstring link;                     // first subkey of the stream driver's Links key
    std::map<DWORD, Completion> behaviour; // by code; AtOnce when absent
    std::vector<Call> calls;
    std::vector<OVERLAPPED *> stuck;
    int lateSignalsThatFailed = 0;

    HANDLE CreateDevice(const wchar_t *path, DWORD access, DWORD share, DWORD disposition, DWORD flags) override
    {
        Call call{"create", path};
        EXPECT_EQ(access, DWORD(GENERIC_READ | GENERIC_WRITE));
        EXPECT_EQ(share, DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE));
        EXPECT_EQ(disposition, DWORD(OPEN_EXISTING));
        call.number = flags;
        calls.push_back(call);
        for (size_t i = 0; i < devices.size(); ++i)
            if (devices[i] == path)
                return HandleOf(i);
        return INVALID_HANDLE_VALUE;
    }
    DWORD Control(HANDLE device, DWORD code, void *input, DWORD inputSize, void *output, DWORD outputSize,
                  OVERLAPPED *overlapped) override
    {
        EXPECT_NE(overlapped, nullptr);
        EXPECT_NE(overlapped->hEvent, nullptr);
        Call call{"control", L"", device, code};
        call.input.assign(static_cast<BYTE *>(input), static_cast<BYTE *>(input) + inputSize);
        call.output.assign(static_cast<BYTE *>(output), static_cast<BYTE *>(output) + outputSize);
        calls.push_back(call);
        const auto found = behaviour.find(code);
        switch (found == behaviour.end() ? Completion::AtOnce : found->second)
        {
        case Completion::AtOnce:
            ::SetEvent(overlapped->hEvent);
            return ERROR_SUCCESS;
        case Completion::Refuse:
            return ERROR_INVALID_FUNCTION;
        case Completion::Pending:
            m_cancellable.push_back(overlapped);
            return ERROR_IO_PENDING;
        case Completion::Stuck:
            stuck.push_back(overlapped);
            return ERROR_IO_PENDING;
        }
        return ERROR_GEN_FAILURE;
    }
    DWORD Wait(HANDLE event, DWORD milliseconds) override
    {
        calls.push_back(Call{"wait", L"", nullptr, 0, {}, {}, milliseconds});
        // The simulated clock: a wait that is not satisfied times out at once.
        return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0 ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    }
    void Cancel(HANDLE device, OVERLAPPED *overlapped) override
    {
        calls.push_back(Call{"cancel", L"", device});
        // A cancelled request ends: it signals once and is forgotten.
        for (auto it = m_cancellable.begin(); it != m_cancellable.end(); ++it)
        {
            if (*it == overlapped)
            {
                ::SetEvent(overlapped->hEvent);
                m_cancellable.erase(it);
                break;
            }
        }
    }
    void CloseDevice(HANDLE device) override
    {
        calls.push_back(Call{"close", L"", device});
        // Closing ends the requests that would not end otherwise; their memory must still be there.
        for (OVERLAPPED *o : stuck)
        {
            o->Internal = 0xC0000120; // STATUS_CANCELLED, written as the system would
            if (!::SetEvent(o->hEvent))
                ++lateSignalsThatFailed;
        }
        stuck.clear();
    }
    void Sleep(DWORD milliseconds) override
    {
        calls.push_back(Call{"sleep", L"", nullptr, 0, {}, {}, milliseconds});
    }
    LSTATUS FirstSubkeyName(HKEY root, const wchar_t *path, std::wstring &name) override
    {
        EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
        EXPECT_STREQ(path, L"System\\CurrentControlSet\\Services\\rmstream\\Links");
        if (link.empty())
            return ERROR_NO_MORE_ITEMS;
        name = link;
        return ERROR_SUCCESS;
    }

    static HANDLE HandleOf(size_t deviceIndex)
    {
        return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x100 + deviceIndex));
    }
    std::vector<Call> Controls() const
    {
        std::vector<Call> result;
        for (const Call &c : calls)
            if (c.what == "control")
                result.push_back(c);
        return result;
    }
    std::vector<std::string> Sequence() const
    {
        std::vector<std::string> result;
        for (const Call &c : calls)
        {
            char text[64];
            if (c.what == "control")
                std::snprintf(text, sizeof(text), "control %08lX", static_cast<unsigned long>(c.code));
            else if (c.what == "wait" || c.what == "sleep")
                std::snprintf(text, sizeof(text), "%s %lu", c.what.c_str(), static_cast<unsigned long>(c.number));
            else
                std::snprintf(text, sizeof(text), "%s", c.what.c_str());
            result.push_back(text);
        }
        return result;
    }

  private:
    std::vector<OVERLAPPED *> m_cancellable;
};

template <class T> std::vector<BYTE> Bytes(const T &value)
{
    const BYTE *p = reinterpret_cast<const BYTE *>(&value);
    return std::vector<BYTE>(p, p + sizeof(T));
}

std::vector<BYTE> Channel()
{
    return {'O', 'S', 'D', 0};
}

const ZCardDriverTimings kTimings{kShortWait, 3};

struct Opened
{
    BYTE *buffer = nullptr;
    SIZE_T size = 0;
    ~Opened()
    {
        if (buffer)
            ::GlobalFree(buffer);
    }
};
} // namespace

TEST(ZCardDriver, NewDriverOpensTheSysDeviceAndStartsTheOsdChannel)
{
    FakeDriver fake;
    fake.devices = {L"\\\\.\\RM847x.SYS"};
    Opened opened;
    {
        CZCardDriver driver(fake, kTimings);
        ASSERT_TRUE(driver.Open(true, 346632, &opened.buffer, &opened.size));
        EXPECT_NE(opened.buffer, nullptr);
        EXPECT_EQ(opened.size, 346632u);
        opened.buffer[346631] = 0x5A; // the whole buffer is ours
        EXPECT_TRUE(driver.IsOpen());
        ASSERT_EQ(fake.calls.size(), 3u);
        EXPECT_EQ(fake.calls[0].path, L"\\\\.\\RM847x.SYS");
        EXPECT_EQ(fake.calls[0].number, 0x44000000u);
        EXPECT_EQ(fake.Sequence(), (std::vector<std::string>{"create", "sleep 3", "control 83002134"}));
        EXPECT_EQ(fake.calls[2].device, FakeDriver::HandleOf(0));
        EXPECT_EQ(fake.calls[2].input, Channel());
        EXPECT_TRUE(fake.calls[2].output.empty());
    }
    // Destruction stops the channel and closes the device.
    EXPECT_EQ(fake.Sequence(), (std::vector<std::string>{"create", "sleep 3", "control 83002134", "control 870021F4",
                                                         "control 83002138", "close"}));
    const std::vector<Call> controls = fake.Controls();
    EXPECT_EQ(controls[1].input, Channel());
    EXPECT_EQ(controls[2].input, Channel());
}

TEST(ZCardDriver, OpenChoosesTheDeviceOrFails)
{
    struct Case
    {
        const char *name;
        bool newDriver;
        std::vector<std::wstring> devices;
        std::wstring link;
        bool opens;
        std::vector<std::wstring> tried;
    } cases[] = {
        {"vxd fallback", true, {L"\\\\.\\RM847x.VXD"}, L"", true, {L"\\\\.\\RM847x.SYS", L"\\\\.\\RM847x.VXD"}},
        {"no new device", true, {}, L"", false, {L"\\\\.\\RM847x.SYS", L"\\\\.\\RM847x.VXD"}},
        {"old driver",
         false,
         {L"\\\\.\\rmstream0", L"\\\\.\\rmstream0\\4"},
         L"rmstream0",
         true,
         {L"\\\\.\\rmstream0", L"\\\\.\\rmstream0\\4"}},
        {"old driver without a link", false, {L"\\\\.\\rmstream0"}, L"", false, {}},
        {"old driver without its stream",
         false,
         {L"\\\\.\\rmstream0\\4"},
         L"rmstream0",
         false,
         {L"\\\\.\\rmstream0", L"\\\\.\\rmstream0\\4"}},
        {"old driver without its control",
         false,
         {L"\\\\.\\rmstream0"},
         L"rmstream0",
         false,
         {L"\\\\.\\rmstream0", L"\\\\.\\rmstream0\\4"}},
    };
    for (const Case &c : cases)
    {
        FakeDriver fake;
        fake.devices = c.devices;
        fake.link = c.link;
        Opened opened;
        {
            CZCardDriver driver(fake, kTimings);
            EXPECT_EQ(driver.Open(c.newDriver, 1032, &opened.buffer, &opened.size), c.opens) << c.name;
            EXPECT_EQ(opened.buffer != nullptr, c.opens) << c.name;
            std::vector<std::wstring> tried;
            for (const Call &call : fake.calls)
                if (call.what == "create")
                    tried.push_back(call.path);
            EXPECT_EQ(tried, c.tried) << c.name;
            if (!c.opens)
            {
                // A failed open starts nothing and keeps nothing open.
                EXPECT_TRUE(fake.Controls().empty()) << c.name;
                size_t opens = 0, closes = 0;
                for (const Call &call : fake.calls)
                    if (call.what == "close")
                        ++closes;
                for (const std::wstring &path : tried)
                    for (const std::wstring &device : c.devices)
                        opens += path == device;
                EXPECT_EQ(opens, closes) << c.name;
            }
        }
        if (c.opens && c.newDriver)
        {
            EXPECT_EQ(fake.Controls().front().code, kZCardStartChannel) << c.name;
        }
    }
}

TEST(ZCardDriver, OldDriverStartsWithTheConnectionStateAndSetsPropertiesOnTheStream)
{
    FakeDriver fake;
    fake.devices = {L"\\\\.\\rm0", L"\\\\.\\rm0\\4"};
    fake.link = L"rm0";
    Opened opened;
    const LONG rectangle[4] = {0, 48, 720, 479};
    {
        CZCardDriver driver(fake, kTimings);
        ASSERT_TRUE(driver.Open(false, 2000, &opened.buffer, &opened.size));
        driver.ShowOsdBitmap(2000, opened.buffer, rectangle, 1);
        driver.Stop(); // nothing for the old driver
    }
    const std::vector<Call> controls = fake.Controls();
    ASSERT_EQ(controls.size(), 4u);
    const HANDLE stream = FakeDriver::HandleOf(0), control = FakeDriver::HandleOf(1);

    // Start: connection state set to run, on the control handle.
    EXPECT_EQ(controls[0].device, control);
    EXPECT_EQ(controls[0].code, 0x82000003u);
    const BYTE startHeader[24] = {0x20, 0xC9, 0x58, 0x1D, 0x9B, 0xAC, 0xCF, 0x11, 0xA5, 0xD6, 0x28, 0xDB,
                                  0x04, 0xC1, 0x00, 0x00, 0,    0,    0,    0,    2,    0,    0,    0};
    EXPECT_EQ(controls[0].input, std::vector<BYTE>(startHeader, startHeader + 24));
    EXPECT_EQ(controls[0].output, (std::vector<BYTE>{3, 0, 0, 0}));

    // The write record goes out as the output buffer, with 64-bit address and the size.
    EXPECT_EQ(controls[1].device, control);
    EXPECT_EQ(controls[1].code, 0x82008013u);
    EXPECT_TRUE(controls[1].input.empty());
    ASSERT_EQ(controls[1].output.size(), sizeof(ZCardDriverStreamRecord));
    ZCardDriverStreamRecord record;
    std::memcpy(&record, controls[1].output.data(), sizeof(record));
    EXPECT_EQ(record.recordSize, sizeof(ZCardDriverStreamRecord));
    EXPECT_EQ(record.headerCount, 1u);
    EXPECT_EQ(record.header.size, sizeof(ZCardDriverStreamHeader));
    EXPECT_EQ(record.header.frameExtent, 2000u);
    EXPECT_EQ(record.header.dataUsed, 0u);
    EXPECT_EQ(record.header.data, opened.buffer);
    EXPECT_EQ(record.header.presentationTime, 0);
    EXPECT_EQ(record.header.optionsFlags, 0u);

    // Properties: on the stream handle, header in, {id, value} out.
    const BYTE propertyHeader[24] = {0x17, 0x3D, 0xDC, 0x18, 0x60, 0xB0, 0xFD, 0x46, 0x8B, 0x5C, 0xE4, 0xB6,
                                     0x29, 0x19, 0xDF, 0xE0, 2,    0,    0,    0,    2,    0,    0,    0};
    for (int i = 2; i < 4; ++i)
    {
        EXPECT_EQ(controls[i].device, stream);
        EXPECT_EQ(controls[i].code, 0x82000003u);
        EXPECT_EQ(controls[i].input, std::vector<BYTE>(propertyHeader, propertyHeader + 24));
    }
    EXPECT_EQ(controls[2].output, Bytes(MakeZCardProperty(822, reinterpret_cast<ULONG_PTR>(rectangle))));
    EXPECT_EQ(controls[3].output, Bytes(MakeZCardProperty(824, 1)));

    // Both handles are closed.
    size_t closes = 0;
    for (const Call &call : fake.calls)
        closes += call.what == "close";
    EXPECT_EQ(closes, 2u);
}

TEST(ZCardDriver, NewDriverShowsTheBitmapThenSetsRectangleAndEnable)
{
    FakeDriver fake;
    fake.devices = {L"\\\\.\\RM847x.SYS"};
    Opened opened;
    const LONG rectangle[4] = {0, 0, 720, 480};
    CZCardDriver driver(fake, kTimings);
    ASSERT_TRUE(driver.Open(true, 4096, &opened.buffer, &opened.size));
    fake.calls.clear();
    driver.ShowOsdBitmap(4096, opened.buffer, rectangle, 1);
    driver.SetOsdRect(rectangle);
    const std::vector<Call> controls = fake.Controls();
    ASSERT_EQ(controls.size(), 4u);
    ZCardBitmapRecord bitmap{};
    bitmap.buffer = opened.buffer;
    bitmap.size = 4096;
    EXPECT_EQ(controls[0].code, 0x870021E8u);
    EXPECT_EQ(controls[0].input, Bytes(bitmap));
    EXPECT_EQ(controls[0].input.size(), 32u);
    EXPECT_EQ(controls[1].code, 0x870021ECu);
    EXPECT_EQ(controls[1].input, Bytes(MakeZCardProperty(822, reinterpret_cast<ULONG_PTR>(rectangle))));
    EXPECT_EQ(controls[2].code, 0x870021ECu);
    EXPECT_EQ(controls[2].input, Bytes(MakeZCardProperty(824, 1)));
    EXPECT_EQ(controls[3].input, Bytes(MakeZCardProperty(822, reinterpret_cast<ULONG_PTR>(rectangle))));
    for (const Call &c : controls)
        EXPECT_EQ(c.device, FakeDriver::HandleOf(0));
}

TEST(ZCardDriver, NothingIsSentBeforeOpenOrAfterARefusedOldWrite)
{
    const LONG rectangle[4] = {0, 0, 720, 480};
    BYTE buffer[16] = {};
    {
        FakeDriver fake;
        CZCardDriver driver(fake, kTimings);
        driver.ShowOsdBitmap(sizeof(buffer), buffer, rectangle, 1);
        driver.SetOsdRect(rectangle);
        driver.Stop();
        EXPECT_TRUE(fake.calls.empty());
    }
    {
        FakeDriver fake;
        fake.devices = {L"\\\\.\\rm0", L"\\\\.\\rm0\\4"};
        fake.link = L"rm0";
        fake.behaviour[kZCardStreamWrite] = Completion::Refuse;
        Opened opened;
        CZCardDriver driver(fake, kTimings);
        ASSERT_TRUE(driver.Open(false, 64, &opened.buffer, &opened.size));
        fake.calls.clear();
        driver.ShowOsdBitmap(64, opened.buffer, rectangle, 1);
        EXPECT_EQ(fake.Sequence(), (std::vector<std::string>{"control 82008013"}));
    }
}

TEST(ZCardDriver, EveryWaitIsBoundedAndAnUnfinishedRequestKeepsItsMemory)
{
    FakeDriver fake;
    fake.devices = {L"\\\\.\\RM847x.SYS"};
    fake.behaviour[kZCardStartChannel] = Completion::Pending; // ends when cancelled
    fake.behaviour[kZCardShowBitmap] = Completion::Stuck;     // ends only when the device closes
    fake.behaviour[kZCardSetProperty] = Completion::Pending;
    Opened opened;
    const LONG rectangle[4] = {0, 0, 720, 480};
    {
        CZCardDriver driver(fake, kTimings);
        ASSERT_TRUE(driver.Open(true, 64, &opened.buffer, &opened.size));
        EXPECT_EQ(fake.Sequence(),
                  (std::vector<std::string>{"create", "sleep 3", "control 83002134", "wait 7", "cancel", "wait 7"}));
        EXPECT_EQ(driver.StuckRequestCount(), 0u);

        fake.calls.clear();
        driver.ShowOsdBitmap(64, opened.buffer, rectangle, 1);
        // The bitmap request is cancelled but does not end: it is kept; the properties still go out.
        EXPECT_EQ(fake.Sequence(), (std::vector<std::string>{"control 870021E8", "wait 7", "cancel", "wait 7",
                                                             "control 870021EC", "wait 7", "cancel", "wait 7",
                                                             "control 870021EC", "wait 7", "cancel", "wait 7"}));
        EXPECT_EQ(driver.StuckRequestCount(), 1u);
        EXPECT_FALSE(driver.SendProperty(MakeZCardProperty(kZCardOsdEnable, 0)));
    }
    // Closing the device ended the stuck request while its OVERLAPPED and event still existed.
    EXPECT_EQ(fake.lateSignalsThatFailed, 0);
    for (const Call &c : fake.calls)
    {
        if (c.what == "wait")
        {
            EXPECT_EQ(c.number, kShortWait);
        }
    }
}

TEST(ZCardDriver, StreamLinkIsReadFromTheRegistry)
{
    tx::test::RegistrySandbox sandbox;
    CWin32ZCardDeviceIo io;
    std::wstring name;
    EXPECT_NE(io.FirstSubkeyName(HKEY_LOCAL_MACHINE, kZCardStreamLinksKey, name), ERROR_SUCCESS);

    HKEY links = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kZCardStreamLinksKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &links, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(io.FirstSubkeyName(HKEY_LOCAL_MACHINE, kZCardStreamLinksKey, name), ERROR_NO_MORE_ITEMS);
    HKEY sub = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(links, L"rmstream0", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(sub);
    ::RegCloseKey(links);
    EXPECT_EQ(io.FirstSubkeyName(HKEY_LOCAL_MACHINE, kZCardStreamLinksKey, name), ERROR_SUCCESS);
    EXPECT_EQ(name, L"rmstream0");
}
