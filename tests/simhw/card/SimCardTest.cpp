// The simulated decoder card, OSD side: the graph object by class, the OSD pin by
// category, frames delivered and read back byte for byte, the failure switches, the
// pending write, the picture of the television, and every object released to zero.
#include "simhw/card/SimCard.h"
#include "txHost/skin/DecoderOsdInterfaces.h"

#include "comkit/ComPtr.h"
#include "comkit/Handles.h"
#include "tests/support/TestPaths.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

using tx::ComPtr;
using namespace tx::simhw;

namespace
{
constexpr UINT kWidth = 720;
constexpr UINT kHeight = 480;
constexpr ULONG kFrameBytes = kWidth * kHeight + 1032;

ULONG RefCount(IUnknown *unknown)
{
    unknown->AddRef();
    return unknown->Release();
}

// Frees the class object of the card when the test ends, whichever way it was reached.
class SimCardTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        m_initialised = true;
        ASSERT_EQ(CreateGraph(m_graph), S_OK);
        ASSERT_EQ(m_graph.As(&m_control), S_OK);
        m_control->Reset();
    }
    void TearDown() override
    {
        if (m_control)
            m_control->Reset();
        m_control.Reset();
        if (m_graph)
        {
            EXPECT_EQ(m_graph.Reset(), 0u) << "graph object still referenced";
        }
        m_factory.Reset();
        if (m_initialised)
            ::CoUninitialize();
    }

    // By class, as the host creates it; when the prefix has not registered the server,
    // straight from the DLL beside the test.
    HRESULT CreateGraph(ComPtr<IZCardGraph> &graph)
    {
        HRESULT hr = ::CoCreateInstance(CLSID_ZCardGraph, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IZCardGraph),
                                        reinterpret_cast<void **>(graph.ReleaseAndGetAddressOf()));
        if (hr != REGDB_E_CLASSNOTREG)
            return hr;
        if (!m_factory)
        {
            if (!m_module)
                m_module.Reset(::LoadLibraryW((tx::test::ExecutableFolder() + L"txSimCard.dll").c_str()));
            if (!m_module)
                return HRESULT_FROM_WIN32(::GetLastError());
            using GetClassObject = HRESULT(STDAPICALLTYPE *)(REFCLSID, REFIID, void **);
            const auto get = tx::GetProcAddressAs<GetClassObject>(m_module.Get(), "DllGetClassObject");
            if (!get)
                return E_FAIL;
            hr = get(CLSID_ZCardGraph, __uuidof(IClassFactory), reinterpret_cast<void **>(m_factory.GetAddressOf()));
            if (FAILED(hr))
                return hr;
        }
        return m_factory->CreateInstance(nullptr, __uuidof(IZCardGraph),
                                         reinterpret_cast<void **>(graph.ReleaseAndGetAddressOf()));
    }

    HRESULT FindOsdPin(ComPtr<IZCardOsdPin> &pin)
    {
        return m_graph->FindPin(kZCardPinSearchIndex, kZCardPinSearchKind, kCategoryPinOsdName, CATEGORY_PIN_OSD,
                                pin.ReleaseAndGetAddressOf());
    }

    // A frame in the decoder's format: header, palette entries {i, i+1, i+2, i+3}, pixels (x + 3y) mod 256.
    static void FillFrame(BYTE *frame, UINT width, UINT height)
    {
        const ULONG size = width * height + 1032;
        frame[0] = 0x3E;
        frame[1] = static_cast<BYTE>(size >> 16);
        frame[2] = static_cast<BYTE>(size >> 8);
        frame[3] = static_cast<BYTE>(size);
        frame[4] = static_cast<BYTE>(width >> 8);
        frame[5] = static_cast<BYTE>(width);
        frame[6] = static_cast<BYTE>(height >> 8);
        frame[7] = static_cast<BYTE>(height);
        for (int i = 0; i < 1024; ++i)
            frame[8 + i] = static_cast<BYTE>(i / 4 + i % 4);
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width; ++x)
                frame[1032 + y * width + x] = static_cast<BYTE>(x + 3 * y);
    }

    struct Delivery
    {
        ComPtr<IZCardOsdPin> pin;
        ComPtr<IZCardOsdBuffer> buffer;
        ComPtr<IZCardOsdProperties> properties;
        BYTE *frame = nullptr;
        ZCardWriteRecord record{};
        OVERLAPPED overlapped{};
        tx::UniqueHandle event;
    };

    void Prepare(Delivery &d)
    {
        ASSERT_EQ(FindOsdPin(d.pin), S_OK);
        ASSERT_EQ(d.pin.As(&d.buffer), S_OK);
        ASSERT_EQ(d.pin.As(&d.properties), S_OK);
        ULONG_PTR cookie = 0;
        ASSERT_EQ(d.buffer->AllocateBuffer(kFrameBytes, &d.frame, &cookie), S_OK);
        ASSERT_NE(d.frame, nullptr);
        FillFrame(d.frame, kWidth, kHeight);
        d.record.recordSize = sizeof(ZCardWriteRecord);
        d.record.headerCount = 1;
        d.record.header.size = sizeof(ZCardStreamHeader);
        d.record.header.frameExtent = kFrameBytes;
        d.record.header.data = d.frame;
        d.event.Reset(::CreateEventW(nullptr, FALSE, FALSE, nullptr));
        d.overlapped.hEvent = d.event.Get();
    }

    ComPtr<IZCardGraph> m_graph;
    ComPtr<ISimCardControl> m_control;
    ComPtr<IClassFactory> m_factory;
    tx::UniqueModule m_module;
    bool m_initialised = false;
};
} // namespace

TEST_F(SimCardTest, FindsTheOsdPinOnlyByItsCategoryAndAnswersItsInterfaces)
{
    struct Case
    {
        LONG index, kind;
        const wchar_t *name;
        GUID category;
    } wrong[] = {
        {1, -2, L"CATEGORY_PIN_OSD", CATEGORY_PIN_OSD},   {0, 0, L"CATEGORY_PIN_OSD", CATEGORY_PIN_OSD},
        {0, -2, L"CATEGORY_PIN_VIDEO", CATEGORY_PIN_OSD}, {0, -2, nullptr, CATEGORY_PIN_OSD},
        {0, -2, L"CATEGORY_PIN_OSD", GUID_NULL},
    };
    for (const Case &c : wrong)
    {
        IZCardOsdPin *pin = reinterpret_cast<IZCardOsdPin *>(1);
        EXPECT_EQ(m_graph->FindPin(c.index, c.kind, c.name, c.category, &pin), E_INVALIDARG);
        EXPECT_EQ(pin, nullptr);
    }

    ComPtr<IZCardOsdPin> pin;
    ASSERT_EQ(FindOsdPin(pin), S_OK);
    struct Face
    {
        IUnknown *object;
        IID iid;
        bool answered;
    } faces[] = {
        {m_graph.Get(), __uuidof(IZCardGraph), true},   {m_graph.Get(), __uuidof(ISimCardControl), true},
        {m_graph.Get(), __uuidof(IZCardOsdPin), false}, {pin.Get(), __uuidof(IZCardOsdPin), true},
        {pin.Get(), __uuidof(IZCardOsdBuffer), true},   {pin.Get(), __uuidof(IZCardOsdProperties), true},
        {pin.Get(), __uuidof(ISimCardControl), false},  {pin.Get(), __uuidof(IZCardGraph), false},
        {pin.Get(), __uuidof(IDispatch), false},
    };
    for (const Face &f : faces)
    {
        ComPtr<IUnknown> face;
        EXPECT_EQ(f.object->QueryInterface(f.iid, reinterpret_cast<void **>(face.GetAddressOf())) == S_OK, f.answered);
        EXPECT_EQ(face != nullptr, f.answered);
    }
    // One identity and one count per pin; the pin keeps the graph alive.
    ComPtr<IUnknown> a, b;
    ComPtr<IZCardOsdBuffer> buffer;
    ASSERT_EQ(pin.As(&buffer), S_OK);
    ASSERT_EQ(pin.As(&a), S_OK);
    ASSERT_EQ(buffer.As(&b), S_OK);
    EXPECT_EQ(a.Get(), b.Get());
    EXPECT_EQ(pin->Reserved4(), E_NOTIMPL);
    EXPECT_EQ(RefCount(m_graph.Get()), 3u); // ours, the control's, the pin's
    a.Reset();
    b.Reset();
    buffer.Reset();
    EXPECT_EQ(pin.Reset(), 0u);
    EXPECT_EQ(RefCount(m_graph.Get()), 2u);
}

TEST_F(SimCardTest, DeliveredFrameAndPropertiesReadBackExactly)
{
    Delivery d;
    ASSERT_NO_FATAL_FAILURE(Prepare(d));
    ULONG size = 1;
    EXPECT_EQ(m_control->GetLastFrame(nullptr, 0, &size), S_FALSE);
    EXPECT_EQ(size, 0u);

    ASSERT_EQ(d.pin->WriteFrame(&d.record, &d.overlapped), S_OK);
    const LONG rectangle[4] = {0, 48, 720, 479};
    const LONG enable = 1;
    EXPECT_EQ(d.properties->SetProperty(ZCARD_OSD_PROPERTY_RECT, rectangle), S_OK);
    EXPECT_EQ(d.properties->SetProperty(ZCARD_OSD_PROPERTY_ENABLE, &enable), S_OK);
    EXPECT_TRUE(FAILED(d.properties->SetProperty(823, &enable)));

    SimCardOsdState state{};
    ASSERT_EQ(m_control->GetOsdState(&state), S_OK);
    EXPECT_EQ(state.frames, 1u);
    EXPECT_EQ(state.writes, 1u);
    EXPECT_EQ(state.pendingWrites, 0u);
    EXPECT_EQ(std::vector<LONG>(state.rectangle, state.rectangle + 4), std::vector<LONG>(rectangle, rectangle + 4));
    EXPECT_EQ(state.enable, 1);
    EXPECT_EQ(state.rectangleSets, 1u);
    EXPECT_EQ(state.enableSets, 1u);

    std::vector<BYTE> back(kFrameBytes);
    EXPECT_EQ(m_control->GetLastFrame(back.data(), 10, &size), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, kFrameBytes);
    ASSERT_EQ(m_control->GetLastFrame(back.data(), kFrameBytes, &size), S_OK);
    EXPECT_EQ(std::memcmp(back.data(), d.frame, 8), 0) << "header";
    EXPECT_EQ(std::memcmp(back.data() + 8, d.frame + 8, 1024), 0) << "palette";
    EXPECT_EQ(std::memcmp(back.data() + 1032, d.frame + 1032, kWidth * kHeight), 0) << "pixels";

    // The card keeps its copy: the host's next drawing does not change what is shown.
    d.frame[1032] ^= 0xFF;
    ASSERT_EQ(m_control->GetLastFrame(back.data(), kFrameBytes, &size), S_OK);
    EXPECT_NE(back[1032], d.frame[1032]);
}

TEST_F(SimCardTest, FramesOutsideTheFormatAreRefused)
{
    Delivery d;
    ASSERT_NO_FATAL_FAILURE(Prepare(d));
    struct Case
    {
        const char *name;
        void (*spoil)(BYTE *frame, ZCardWriteRecord &record);
    } cases[] = {
        {"header byte", [](BYTE *f, ZCardWriteRecord &) { f[0] = 0x3F; }},
        {"declared size", [](BYTE *f, ZCardWriteRecord &) { f[3] ^= 1; }},
        {"width", [](BYTE *f, ZCardWriteRecord &) { f[5] ^= 1; }},
        {"zero height", [](BYTE *f, ZCardWriteRecord &) { f[6] = f[7] = 0; }},
        {"extent", [](BYTE *, ZCardWriteRecord &r) { r.header.frameExtent -= 1; }},
        {"record size", [](BYTE *, ZCardWriteRecord &r) { r.recordSize = 56; }},
        {"header size", [](BYTE *, ZCardWriteRecord &r) { r.header.size = 48; }},
        {"header count", [](BYTE *, ZCardWriteRecord &r) { r.headerCount = 2; }},
        {"foreign buffer", [](BYTE *, ZCardWriteRecord &r) { r.header.data = &r; }},
    };
    for (const Case &c : cases)
    {
        FillFrame(d.frame, kWidth, kHeight);
        ZCardWriteRecord record = d.record;
        c.spoil(d.frame, record);
        EXPECT_EQ(d.pin->WriteFrame(&record, &d.overlapped), E_INVALIDARG) << c.name;
    }
    SimCardOsdState state{};
    m_control->GetOsdState(&state);
    EXPECT_EQ(state.frames, 0u);
    EXPECT_EQ(state.writes, 0u);
}

TEST_F(SimCardTest, EachStepCanBeToldToFail)
{
    const HRESULT failure = HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    for (LONG step = 0; step < SIMCARD_STEP_COUNT; ++step)
    {
        m_control->Reset();
        ASSERT_EQ(m_control->SetFailure(static_cast<SimCardStep>(step), failure), S_OK);
        HRESULT seen = S_OK;
        ComPtr<IZCardGraph> graph;
        seen = CreateGraph(graph);
        if (step == SIMCARD_STEP_CREATE_GRAPH)
        {
            EXPECT_EQ(seen, failure);
            EXPECT_EQ(graph, nullptr);
            continue;
        }
        ASSERT_EQ(seen, S_OK) << step;
        ComPtr<IZCardOsdPin> pin;
        seen = graph->FindPin(kZCardPinSearchIndex, kZCardPinSearchKind, kCategoryPinOsdName, CATEGORY_PIN_OSD,
                              pin.GetAddressOf());
        ComPtr<IZCardOsdBuffer> buffer;
        ComPtr<IZCardOsdProperties> properties;
        if (SUCCEEDED(seen))
            seen = pin.As(&buffer);
        if (SUCCEEDED(seen))
            seen = pin.As(&properties);
        BYTE *frame = nullptr;
        ULONG_PTR cookie = 0;
        if (SUCCEEDED(seen))
            seen = buffer->AllocateBuffer(kFrameBytes, &frame, &cookie);
        if (SUCCEEDED(seen))
        {
            FillFrame(frame, kWidth, kHeight);
            ZCardWriteRecord record{sizeof(ZCardWriteRecord), 1, {}};
            record.header.size = sizeof(ZCardStreamHeader);
            record.header.frameExtent = kFrameBytes;
            record.header.data = frame;
            OVERLAPPED overlapped{};
            seen = pin->WriteFrame(&record, &overlapped);
        }
        const LONG rectangle[4] = {0, 0, 720, 480}, enable = 1;
        if (SUCCEEDED(seen))
            seen = properties->SetProperty(ZCARD_OSD_PROPERTY_RECT, rectangle);
        if (SUCCEEDED(seen))
            seen = properties->SetProperty(ZCARD_OSD_PROPERTY_ENABLE, &enable);
        EXPECT_EQ(seen, failure) << "step " << step;
        SimCardOsdState state{};
        m_control->GetOsdState(&state);
        EXPECT_EQ(state.frames, step > SIMCARD_STEP_WRITE_FRAME ? 1u : 0u) << step;
    }
    m_control->Reset();
}

TEST_F(SimCardTest, PendingWritesEndWhenToldOrAfterTheirDelay)
{
    Delivery d;
    ASSERT_NO_FATAL_FAILURE(Prepare(d));
    ASSERT_EQ(m_control->SetWriteMode(SIMCARD_WRITE_NEVER_ENDS, 0), S_OK);
    ASSERT_EQ(d.pin->WriteFrame(&d.record, &d.overlapped), E_PENDING);
    EXPECT_EQ(::WaitForSingleObject(d.event.Get(), 50), static_cast<DWORD>(WAIT_TIMEOUT));
    SimCardOsdState state{};
    m_control->GetOsdState(&state);
    EXPECT_EQ(state.frames, 0u);
    EXPECT_EQ(state.pendingWrites, 1u);
    EXPECT_EQ(m_control->CompletePendingWrite(), S_OK);
    EXPECT_EQ(::WaitForSingleObject(d.event.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(m_control->CompletePendingWrite(), S_FALSE);
    m_control->GetOsdState(&state);
    EXPECT_EQ(state.frames, 1u);
    EXPECT_EQ(state.pendingWrites, 0u);

    ASSERT_EQ(m_control->SetWriteMode(SIMCARD_WRITE_PENDING, 20), S_OK);
    ASSERT_EQ(d.pin->WriteFrame(&d.record, &d.overlapped), E_PENDING);
    EXPECT_EQ(::WaitForSingleObject(d.event.Get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    m_control->GetOsdState(&state);
    EXPECT_EQ(state.frames, 2u);
    EXPECT_EQ(state.writes, 2u);
}

TEST_F(SimCardTest, TelevisionPictureIsWrittenAsBmp)
{
    const std::wstring folder = tx::test::MakeScratchFolder(L"simcard");
    const std::wstring saved = folder + L"\\tv.bmp", everyFrame = folder + L"\\every.bmp";
    EXPECT_EQ(m_control->SaveImage(saved.c_str()), S_FALSE);
    ASSERT_EQ(m_control->SetImageOnEveryFrame(everyFrame.c_str()), S_OK);

    Delivery d;
    ASSERT_NO_FATAL_FAILURE(Prepare(d));
    // Entry 0 transparent black, entry 1 opaque white; the top line white, the rest transparent.
    const BYTE transparent[4] = {0, 16, 128, 128}, white[4] = {255, 235, 128, 128};
    std::memcpy(d.frame + 8, transparent, 4);
    std::memcpy(d.frame + 12, white, 4);
    std::memset(d.frame + 1032, 0, kWidth * kHeight);
    std::memset(d.frame + 1032, 1, kWidth);
    ASSERT_EQ(d.pin->WriteFrame(&d.record, &d.overlapped), S_OK);
    ASSERT_EQ(m_control->SaveImage(saved.c_str()), S_OK);

    for (const std::wstring &path : {saved, everyFrame})
    {
        std::ifstream file(path.c_str(), std::ios::binary);
        ASSERT_TRUE(file.good());
        const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        ASSERT_EQ(bytes.size(), 54u + kWidth * 3 * kHeight);
        BITMAPFILEHEADER header;
        BITMAPINFOHEADER info;
        std::memcpy(&header, bytes.data(), sizeof(header));
        std::memcpy(&info, bytes.data() + sizeof(header), sizeof(info));
        EXPECT_EQ(header.bfType, 0x4D42);
        EXPECT_EQ(info.biWidth, LONG(kWidth));
        EXPECT_EQ(info.biHeight, LONG(kHeight));
        EXPECT_EQ(info.biBitCount, 24);
        // Bottom-up rows: the last row in the file is the top line (white), the first is black.
        const BYTE *pixels = reinterpret_cast<const BYTE *>(bytes.data()) + header.bfOffBits;
        const BYTE *top = pixels + static_cast<size_t>(kHeight - 1) * kWidth * 3;
        EXPECT_EQ(top[0], 255);
        EXPECT_EQ(top[1], 255);
        EXPECT_EQ(top[2], 255);
        EXPECT_EQ(pixels[0] | pixels[1] | pixels[2], 0);
    }
    m_control->SetImageOnEveryFrame(nullptr);
    tx::test::RemoveFolder(folder);
}

TEST_F(SimCardTest, TelevisionWindowShowsAndCloses)
{
    const HRESULT shown = m_control->ShowTelevision(TRUE);
    if (shown == S_FALSE)
        GTEST_SKIP() << "no display";
    ASSERT_EQ(shown, S_OK);
    HWND window = nullptr;
    ASSERT_EQ(m_control->GetTelevisionWindow(&window), S_OK);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(::FindWindowW(kSimTelevisionClass, kSimTelevisionTitle), window);
    Delivery d;
    ASSERT_NO_FATAL_FAILURE(Prepare(d));
    ASSERT_EQ(d.pin->WriteFrame(&d.record, &d.overlapped), S_OK);
    ASSERT_EQ(m_control->ShowTelevision(FALSE), S_OK);
    ASSERT_EQ(m_control->GetTelevisionWindow(&window), S_OK);
    EXPECT_EQ(window, nullptr);
}
