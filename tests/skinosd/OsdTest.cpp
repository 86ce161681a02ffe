// The OSD engine under Wine: attaching to a card, the frame it delivers, the drawing
// operations of IOsd, the OSD rectangle, delivery failures, the thumbnail window.
#include "tests/skinosd/FakeCard.h"
#include "tests/support/TestPaths.h"
#include "txHost/core/AppMessages.h"
#include "txHost/core/HostSettings.h"
#include "txHost/skin/Osd.h"
#include "txHost/skin/PictureSurface.h"

#include <gdiplus.h>
#include <gtest/gtest.h>

#include <memory>

namespace
{

using tx::test::FakeCardState;
using tx::test::WriteMode;

constexpr LONG kWidth = 720;
constexpr LONG kHeight = 480;
constexpr size_t kPixels = static_cast<size_t>(kWidth) * kHeight;

FakeCardState *g_card = nullptr;

HRESULT CreateFakeGraph(IZCardGraph **graph) noexcept
{
    tx::ComPtr<tx::test::CFakeCardGraph> object = tx::MakeComObject<tx::test::CFakeCardGraph>(*g_card);
    if (!object)
        return E_OUTOFMEMORY;
    *graph = object.Detach();
    return S_OK;
}

HRESULT FailGraph(IZCardGraph **graph) noexcept
{
    *graph = nullptr;
    return REGDB_E_CLASSNOTREG;
}

class OsdTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        g_card = &card;
        ASSERT_EQ(::OleInitialize(nullptr), S_OK);
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr), Gdiplus::Ok);
        tx::host::g_hostGlobals.antiflickerOverride = 0;
        osd = std::make_unique<COsd>();
        osd->SkinManager().SetSkinLoading(false); // the OSD alone, without a skin
        osd->SetDriverPath(false);
        osd->SetGraphFactory(CreateFakeGraph);
    }
    void TearDown() override
    {
        if (osd)
        {
            osd->Shutdown();
            osd.reset();
        }
        EXPECT_EQ(card.liveObjects.load(), 0);
        tx::host::g_hostGlobals.antiflickerOverride = 0;
        Gdiplus::GdiplusShutdown(gdiplusToken);
        ::OleUninitialize();
        g_card = nullptr;
    }

    void Attach()
    {
        ASSERT_EQ(osd->AttachOsd(kWidth, kHeight, kHeight, nullptr), S_FALSE); // skin loading is off
    }
    uint32_t *Scratch()
    {
        return ScratchOf(*osd);
    }
    static uint32_t *ScratchOf(COsd &o)
    {
        HDC dc = nullptr;
        o.GetScratchDC(&dc);
        BITMAP bitmap{};
        ::GetObjectW(::GetCurrentObject(dc, OBJ_BITMAP), sizeof(bitmap), &bitmap);
        return static_cast<uint32_t *>(bitmap.bmBits);
    }
    uint32_t *Target()
    {
        DWORD *bits = nullptr;
        osd->GetTargetBits(&bits);
        return reinterpret_cast<uint32_t *>(bits);
    }
    // Pixel at column x of line y (from the top) in a bottom-up surface.
    static uint32_t &At(uint32_t *bits, LONG x, LONG y)
    {
        return bits[static_cast<size_t>(kHeight - 1 - y) * kWidth + x];
    }
    static BYTE FramePixel(const std::vector<BYTE> &frame, LONG x, LONG y)
    {
        return frame[COsd::kHeaderBytes + static_cast<size_t>(y) * kWidth + x];
    }

    FakeCardState card;
    ULONG_PTR gdiplusToken = 0;
    std::unique_ptr<COsd> osd;
};

TEST_F(OsdTest, AttachWritesTheHeaderAndConnectsThePin)
{
    Attach();
    EXPECT_EQ(card.findIndex, 0);
    EXPECT_EQ(card.findKind, -2);
    EXPECT_EQ(card.findName, L"CATEGORY_PIN_OSD");
    EXPECT_TRUE(IsEqualGUID(card.findCategory, CATEGORY_PIN_OSD));
    const ULONG size = kWidth * kHeight + 1032;
    ASSERT_EQ(card.allocatedSize, size);
    const std::vector<BYTE> &buffer = card.buffer;
    const BYTE header[8] = {0x3E, 0x05, 0x4A, 0x08, 0x02, 0xD0, 0x01, 0xE0}; // 346632, 720, 480
    EXPECT_EQ(std::vector<BYTE>(buffer.begin(), buffer.begin() + 8), std::vector<BYTE>(header, header + 8));
    EXPECT_EQ(std::count(buffer.begin() + 8, buffer.begin() + 1032, 0x80), 1024);
    EXPECT_EQ(static_cast<size_t>(std::count(buffer.begin() + 1032, buffer.end(), 0xFF)), kPixels);

    // A second attach fails and changes nothing.
    EXPECT_EQ(osd->AttachOsd(kWidth, kHeight, kHeight, nullptr), E_FAIL);
    EXPECT_EQ(card.allocatedSize, size);

    LONG width = 0, height = 0;
    EXPECT_EQ(osd->GetSize(&width, &height), S_OK);
    EXPECT_EQ(width, kWidth);
    EXPECT_EQ(height, kHeight);
    double factor = 0;
    EXPECT_EQ(osd->GetFactor(&factor), S_OK);
    EXPECT_EQ(factor, 1.0);

    // The hidden OSD window: its class, and a client area of the OSD's size.
    HWND window = osd->OsdWindow();
    ASSERT_NE(window, nullptr);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"TessaronixOSDWindowClass");
    EXPECT_FALSE(::IsWindowVisible(window));
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, kWidth);
    EXPECT_EQ(client.bottom, kHeight);
}

TEST_F(OsdTest, RefreshDeliversHeaderPaletteAndPixels)
{
    Attach();
    osd->SkinManager().composeHook = [](IOsd *o) {
        // An index-drawn box and a true-colour box.
        BYTE red = 0;
        ASSERT_EQ(o->GetPaletteIndex(0xFF123456, &red), S_OK);
        EXPECT_EQ(red, 22);
        uint32_t *scratch = ScratchOf(static_cast<COsd &>(*o));
        for (LONG y = 10; y < 20; ++y)
            for (LONG x = 10; x < 30; ++x)
                At(scratch, x, y) = red;
        for (LONG y = 100; y < 110; ++y)
            for (LONG x = 100; x < 130; ++x)
                At(scratch, x, y) = 0x00FFFFFF; // pure white: fixed entry 7
        o->CopyFromScratch(10, 10, 20, 10, TRUE, FALSE, FALSE, 0);
        o->CopyFromScratch(100, 100, 30, 10, FALSE, FALSE, FALSE, 0);
    };
    ASSERT_EQ(osd->Refresh(), S_OK);
    ASSERT_EQ(card.frames.size(), 1u);
    const std::vector<BYTE> &frame = card.frames[0];
    ASSERT_EQ(frame.size(), kPixels + 1032);

    const BYTE header[8] = {0x3E, 0x05, 0x4A, 0x08, 0x02, 0xD0, 0x01, 0xE0};
    EXPECT_EQ(std::vector<BYTE>(frame.begin(), frame.begin() + 8), std::vector<BYTE>(header, header + 8));
    // Palette: the fixed entries, the requested one, then transparent black.
    const auto entry = [&](int i) { return std::vector<BYTE>(frame.begin() + 8 + 4 * i, frame.begin() + 12 + 4 * i); };
    EXPECT_EQ(entry(0), (std::vector<BYTE>{0, 16, 128, 128}));
    EXPECT_EQ(entry(1), (std::vector<BYTE>{0xFF, 16, 128, 128}));
    EXPECT_EQ(entry(7), (std::vector<BYTE>{0xFF, 235, 128, 128}));
    const tx::skin::OsdPaletteEntry requested = tx::skin::ToOsdPaletteEntry(0xFF123456);
    EXPECT_EQ(entry(22), (std::vector<BYTE>{requested.alpha, requested.y, requested.cb, requested.cr}));
    for (int i = 23; i < 256; ++i)
        ASSERT_EQ(entry(i), (std::vector<BYTE>{0, 16, 128, 128})) << i;

    EXPECT_EQ(FramePixel(frame, 15, 15), 22);
    EXPECT_EQ(FramePixel(frame, 110, 105), 7);
    EXPECT_EQ(FramePixel(frame, 400, 300), 0); // nothing drawn: transparent
    for (LONG x = 0; x < kWidth; ++x)
        ASSERT_EQ(FramePixel(frame, x, 0), 0); // the top line is always transparent

    // The write record and the properties that follow a delivered frame.
    const ZCardWriteRecord &record = card.records[0];
    EXPECT_EQ(record.recordSize, sizeof(ZCardWriteRecord));
    EXPECT_EQ(record.headerCount, 1u);
    EXPECT_EQ(record.header.size, sizeof(ZCardStreamHeader));
    EXPECT_EQ(record.header.frameExtent, kPixels + 1032);
    EXPECT_EQ(record.header.dataUsed, 0u);
    EXPECT_EQ(record.header.data, card.buffer.data());
    ASSERT_EQ(card.properties.size(), 2u);
    EXPECT_EQ(card.properties[0].first, 822u);
    EXPECT_EQ(card.properties[0].second, (std::vector<LONG>{0, 0, 720, 480}));
    EXPECT_EQ(card.properties[1].first, 824u);
    EXPECT_EQ(card.properties[1].second, (std::vector<LONG>{1}));

    // Colours added while drawing last for one frame only.
    EXPECT_EQ(osd->PaletteCount(), 23u);
    osd->SkinManager().composeHook = nullptr;
    ASSERT_EQ(osd->Refresh(), S_OK);
    EXPECT_EQ(osd->PaletteCount(), 22u);
}

TEST_F(OsdTest, ClearDeliversOpaqueBlack)
{
    Attach();
    ASSERT_EQ(osd->Clear(), S_OK);
    ASSERT_EQ(card.frames.size(), 1u);
    const std::vector<BYTE> &frame = card.frames[0];
    EXPECT_EQ(static_cast<size_t>(std::count(frame.begin() + 1032, frame.end(), 1)), kPixels);
}

TEST_F(OsdTest, FullPaletteAnswersKnownColoursAndRefusesNewOnes)
{
    Attach();
    osd->SkinManager().composeHook = [](IOsd *o) {
        BYTE index = 0;
        for (DWORD i = 0; i < 234; ++i)
            ASSERT_EQ(o->GetPaletteIndex(0xFF000100 + i, &index), S_OK);
        EXPECT_EQ(index, 255);
        EXPECT_EQ(o->GetPaletteIndex(0xFF000100 + 17, &index), S_OK);
        EXPECT_EQ(index, 22 + 17);
        EXPECT_EQ(o->GetPaletteIndex(0xFFFFFFFF, &index), S_OK); // a fixed entry
        EXPECT_EQ(index, 7);
        index = 99;
        EXPECT_EQ(o->GetPaletteIndex(0xFF7F7F7F, &index), E_UNEXPECTED);
        EXPECT_EQ(index, 99);
    };
    ASSERT_EQ(osd->Refresh(), S_OK);
    EXPECT_EQ(osd->PaletteCount(), 256u);
}

TEST_F(OsdTest, CopyFromScratchClipsKeysAndSmooths)
{
    Attach();
    uint32_t *scratch = Scratch();
    uint32_t *target = Target();
    // Each line of the scratch has its own grey level (line y: 4y per lane) and a top byte.
    const auto fillScratch = [&] {
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x)
                At(scratch, x, y) = 0xAB000000u | ((4u * y) & 0xFF) * 0x010101u;
    };
    const auto clearTarget = [&] { std::fill_n(target, kPixels, 0xFF000000u); };
    const auto count = [&] {
        return std::count_if(target, target + kPixels, [](uint32_t p) { return p != 0xFF000000u; });
    };

    fillScratch();
    // Clip on the left: x = -10, w = 30 copies 20 columns from column 0.
    clearTarget();
    osd->CopyFromScratch(-10, 5, 30, 1, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(count(), 20);
    EXPECT_EQ(At(target, 0, 5), 20u * 0x010101u);
    EXPECT_EQ(At(target, 19, 5), 20u * 0x010101u);
    EXPECT_EQ(At(target, 20, 5), 0xFF000000u);
    // Clip at the right and bottom edges, and rectangles entirely outside.
    clearTarget();
    osd->CopyFromScratch(kWidth - 5, kHeight - 2, 50, 50, FALSE, FALSE, FALSE, 0);
    EXPECT_EQ(count(), 10);
    for (const RECT &outside : {RECT{-40, 0, 30, 10}, RECT{kWidth, 0, 10, 10}, RECT{0, kHeight, 10, 10},
                                RECT{0, -20, 10, 20}, RECT{5, 5, 0, 10}})
    {
        clearTarget();
        osd->CopyFromScratch(outside.left, outside.top, outside.right, outside.bottom, FALSE, FALSE, FALSE, 0);
        EXPECT_EQ(count(), 0) << outside.left << "," << outside.top;
    }

    // Smoothing at heights 1 and 2 copies unfiltered; at 3 the middle line is filtered.
    for (LONG h : {1, 2})
    {
        clearTarget();
        osd->CopyFromScratch(0, 10, 4, h, FALSE, TRUE, FALSE, 0);
        for (LONG y = 10; y < 10 + h; ++y)
            EXPECT_EQ(At(target, 2, y), 4u * y * 0x010101u) << h;
    }
    At(scratch, 3, 11) = 0x00FFFFFF; // a bright pixel in the middle line
    clearTarget();
    osd->CopyFromScratch(0, 10, 4, 3, FALSE, TRUE, FALSE, 0);
    EXPECT_EQ(At(target, 2, 10), 40u * 0x010101u);
    EXPECT_EQ(At(target, 2, 11), 44u * 0x010101u); // (40 + 88 + 48) / 4
    EXPECT_EQ(At(target, 3, 11), ((40u + 510u + 48u) / 4) * 0x010101u);
    EXPECT_EQ(At(target, 2, 12), 48u * 0x010101u);
    // Under AntiflickerOverride smoothing is off.
    tx::host::g_hostGlobals.antiflickerOverride = 1;
    clearTarget();
    osd->CopyFromScratch(0, 10, 4, 3, FALSE, TRUE, FALSE, 0);
    EXPECT_EQ(At(target, 2, 11), 44u * 0x010101u);
    EXPECT_EQ(At(target, 3, 11), 0x00FFFFFFu);
    tx::host::g_hostGlobals.antiflickerOverride = 0;

    // Index mode: the key leaves the target alone; other pixels become index pixels.
    fillScratch();
    At(scratch, 1, 0) = 0x00000009;
    At(scratch, 2, 0) = 0x00000005;
    clearTarget();
    At(target, 2, 0) = 0x00123456;
    osd->CopyFromScratch(0, 0, 3, 1, TRUE, FALSE, TRUE, 0x00000005);
    EXPECT_EQ(At(target, 1, 0), 0xFF000009u);
    EXPECT_EQ(At(target, 2, 0), 0x00123456u);
    // Colour mode with a key compares the colour without its top byte.
    At(scratch, 1, 0) = 0xAB00FF00;
    clearTarget();
    osd->CopyFromScratch(0, 0, 3, 1, FALSE, FALSE, TRUE, 0x0000FF00);
    EXPECT_EQ(At(target, 1, 0), 0xFF000000u);
    EXPECT_EQ(At(target, 0, 0), 0u);
}

TEST_F(OsdTest, OutputRectangles)
{
    struct Case
    {
        LONG width, height, preserve;
        OsdRect expected;
    };
    const Case cases[] = {
        {720, 576, 1, {0, 48, 720, 479}},
        {720, 576, 0, {0, 0, 720, 576}},
        {720, 480, 1, {0, 0, 720, 480}},
        {1280, 1152, 1, {0, 96, 1280, 958}},
    };
    Attach();
    for (const Case &c : cases)
    {
        const OsdRect rect = COsd::ComputeOsdRect(c.width, c.height, c.preserve, 480);
        EXPECT_EQ(rect.top, c.expected.top) << c.height << " " << c.preserve;
        EXPECT_EQ(rect.width, c.expected.width);
        EXPECT_EQ(rect.extent, c.expected.extent);
        card.properties.clear();
        EXPECT_EQ(osd->SetOutputRect(c.width, c.height, c.preserve), S_OK);
        ASSERT_EQ(card.properties.size(), 1u);
        EXPECT_EQ(card.properties[0].second,
                  (std::vector<LONG>{0, c.expected.top, c.expected.width, c.expected.extent}));
    }
    // The next frame carries the last rectangle.
    card.properties.clear();
    osd->SetOutputRect(720, 576, 1);
    card.properties.clear();
    ASSERT_EQ(osd->Refresh(), S_OK);
    EXPECT_EQ(card.properties[0].second, (std::vector<LONG>{0, 48, 720, 479}));
}

TEST_F(OsdTest, PendingWritesWaitThenTimeOut)
{
    Attach();
    // Completed while the OSD waits: delivered, properties set.
    card.writeMode = WriteMode::Pending;
    EXPECT_EQ(osd->Refresh(), S_OK);
    EXPECT_EQ(card.properties.size(), 2u);

    // Never completed: E_PENDING after the time-out, and no property.
    osd->SetDeliveryTimeout(50);
    card.writeMode = WriteMode::Never;
    card.properties.clear();
    EXPECT_EQ(osd->Refresh(), E_PENDING);
    EXPECT_TRUE(card.properties.empty());
    EXPECT_EQ(card.frames.size(), 2u);
    // While the card still holds that frame, no new write is handed over.
    EXPECT_EQ(osd->Refresh(), E_PENDING);
    EXPECT_EQ(card.frames.size(), 2u);
    // Once the card lets go, frames flow again.
    card.CompletePending();
    card.writeMode = WriteMode::Complete;
    EXPECT_EQ(osd->Refresh(), S_OK);
    EXPECT_EQ(card.frames.size(), 3u);
    EXPECT_EQ(card.properties.size(), 2u);
}

TEST_F(OsdTest, RefusedWritesAndPropertiesReturnTheCardsError)
{
    Attach();
    card.writeMode = WriteMode::Refuse;
    card.refuseResult = HRESULT_FROM_WIN32(ERROR_GEN_FAILURE);
    EXPECT_EQ(osd->Refresh(), HRESULT_FROM_WIN32(ERROR_GEN_FAILURE));
    EXPECT_TRUE(card.properties.empty());
    card.writeMode = WriteMode::Complete;
    card.propertyResult = E_INVALIDARG;
    EXPECT_EQ(osd->Refresh(), E_INVALIDARG);
    card.propertyResult = S_OK;
    EXPECT_EQ(osd->Refresh(), S_OK);
}

TEST_F(OsdTest, AttachFailuresReturnTheFailingStep)
{
    struct Case
    {
        const char *name;
        void (*arrange)(FakeCardState &, COsd &);
        HRESULT expected;
    };
    const Case cases[] = {
        {"graph object", [](FakeCardState &, COsd &o) { o.SetGraphFactory(FailGraph); }, REGDB_E_CLASSNOTREG},
        {"pin search", [](FakeCardState &s, COsd &) { s.findPinResult = E_FAIL; }, E_FAIL},
        {"buffer interface", [](FakeCardState &s, COsd &) { s.offerBuffer = false; }, E_NOINTERFACE},
        {"property interface", [](FakeCardState &s, COsd &) { s.offerProperties = false; }, E_NOINTERFACE},
        {"allocation", [](FakeCardState &s, COsd &) { s.allocateResult = E_OUTOFMEMORY; }, E_OUTOFMEMORY},
        {"driver path without a card", [](FakeCardState &, COsd &o) { o.SetDriverPath(true); }, E_FAIL},
    };
    for (const Case &c : cases)
    {
        FakeCardState state;
        g_card = &state;
        {
            COsd other;
            other.SkinManager().SetSkinLoading(false);
            other.SetDriverPath(false);
            other.SetGraphFactory(CreateFakeGraph);
            c.arrange(state, other);
            EXPECT_EQ(other.AttachOsd(kWidth, kHeight, kHeight, nullptr), c.expected) << c.name;
            EXPECT_EQ(other.Refresh(), E_UNEXPECTED) << c.name;
        }
        EXPECT_EQ(state.liveObjects.load(), 0) << c.name;
    }
    g_card = &card;
}

// A card driver that takes every request at once and keeps the bitmap and property records.
class FakeDeviceIo final : public tx::devices::IZCardDeviceIo
{
  public:
    HANDLE CreateDevice(const wchar_t *, DWORD, DWORD, DWORD, DWORD) override
    {
        return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); // any closable handle
    }
    DWORD Control(HANDLE, DWORD code, void *input, DWORD inputSize, void *, DWORD, OVERLAPPED *) override
    {
        if (code == tx::devices::kZCardShowBitmap && inputSize >= sizeof(tx::devices::ZCardBitmapRecord))
        {
            const auto *record = static_cast<const tx::devices::ZCardBitmapRecord *>(input);
            const BYTE *data = static_cast<const BYTE *>(record->buffer);
            frames.emplace_back(data, data + record->size);
        }
        if (code == tx::devices::kZCardSetProperty && inputSize >= sizeof(tx::devices::ZCardPropertyRecord))
        {
            const auto *record = static_cast<const tx::devices::ZCardPropertyRecord *>(input);
            std::vector<LONG> value;
            if (record->id == tx::devices::kZCardOsdRectangle)
            {
                const LONG *rect = reinterpret_cast<const LONG *>(record->value);
                value.assign(rect, rect + 4);
            }
            else
            {
                value.push_back(static_cast<LONG>(record->value));
            }
            properties.emplace_back(record->id, value);
        }
        return ERROR_SUCCESS;
    }
    DWORD Wait(HANDLE, DWORD) override
    {
        return WAIT_OBJECT_0;
    }
    void Cancel(HANDLE, OVERLAPPED *) override
    {
    }
    void CloseDevice(HANDLE device) override
    {
        ::CloseHandle(device);
    }
    void Sleep(DWORD) override
    {
    }
    LSTATUS FirstSubkeyName(HKEY, const wchar_t *, std::wstring &) override
    {
        return ERROR_FILE_NOT_FOUND;
    }

    std::vector<std::vector<BYTE>> frames;
    std::vector<std::pair<ULONG, std::vector<LONG>>> properties;
};

TEST_F(OsdTest, DriverPathDeliversThroughTheCardDriver)
{
    FakeDeviceIo io;
    {
        COsd driverOsd;
        driverOsd.SkinManager().SetSkinLoading(false);
        driverOsd.SetDriverPath(true);
        driverOsd.SetDriverDeviceIo(&io);
        ASSERT_EQ(driverOsd.AttachOsd(kWidth, kHeight, kHeight, nullptr), S_FALSE);
        EXPECT_EQ(driverOsd.SetOutputRect(720, 576, 1), S_OK);
        ASSERT_EQ(driverOsd.Clear(), S_OK);
        ASSERT_EQ(io.frames.size(), 1u);
        const std::vector<BYTE> &frame = io.frames[0];
        ASSERT_EQ(frame.size(), kPixels + 1032);
        const BYTE header[8] = {0x3E, 0x05, 0x4A, 0x08, 0x02, 0xD0, 0x01, 0xE0};
        EXPECT_EQ(std::vector<BYTE>(frame.begin(), frame.begin() + 8), std::vector<BYTE>(header, header + 8));
        EXPECT_EQ(static_cast<size_t>(std::count(frame.begin() + 1032, frame.end(), 1)), kPixels);
        ASSERT_GE(io.properties.size(), 2u);
        const auto &rect = io.properties[io.properties.size() - 2];
        EXPECT_EQ(rect.first, 822u);
        EXPECT_EQ(rect.second, (std::vector<LONG>{0, 48, 720, 479}));
        EXPECT_EQ(io.properties.back().first, 824u);
        EXPECT_EQ(io.properties.back().second, (std::vector<LONG>{1}));
        driverOsd.Shutdown();
    }
}

TEST_F(OsdTest, RunTransformScalesAPictureIntoTheScratch)
{
    Attach();
    // A 2 x 2 picture: red, green / blue, transparent.
    const DWORD pixels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00000000};
    tx::ComPtr<IPictureSurface> picture;
    ASSERT_EQ(tx::skin::CreatePictureSurface(2, 2, pixels, 2, picture.GetAddressOf()), S_OK);
    uint32_t *scratch = Scratch();
    std::fill_n(scratch, kPixels, 0x00ABCDEFu);
    tx::host::g_hostGlobals.fastPicture = 1; // nearest
    ASSERT_EQ(osd->RunTransform(picture.Get(), 0, 0, kWidth, kHeight, 2, 2), S_OK);
    tx::host::g_hostGlobals.fastPicture = 0;
    EXPECT_EQ(At(scratch, 10, 10), 0x00FF0000u);
    EXPECT_EQ(At(scratch, kWidth - 1, 0), 0x0000FF00u);
    EXPECT_EQ(At(scratch, 0, kHeight - 1), 0x000000FFu);
    EXPECT_EQ(At(scratch, kWidth - 1, kHeight - 1), 0x00ABCDEFu); // transparent: untouched
    // Bilinear: the middle of the top row blends red and green.
    ASSERT_EQ(osd->RunTransform(picture.Get(), 0, 0, 4, 2, 2, 2), S_OK);
    EXPECT_EQ(At(scratch, 0, 0), 0x00FF0000u);
    const uint32_t blend = At(scratch, 1, 0);
    EXPECT_GT((blend >> 16) & 0xFF, 0x80u);
    EXPECT_GT((blend >> 8) & 0xFF, 0x10u);

    tx::ComPtr<IUnknown> notAPicture;
    osd->QueryInterface(IID_IUnknown, reinterpret_cast<void **>(notAPicture.GetAddressOf()));
    EXPECT_EQ(osd->RunTransform(notAPicture.Get(), 0, 0, 10, 10, 1, 1), E_NOINTERFACE);
}

TEST_F(OsdTest, SubtitleBitmapIsShownOverTheVideo)
{
    Attach();
    ASSERT_NE(osd->SubtitleBits(), nullptr);
    {
        tx::CriticalSectionLock lock(osd->SubtitleLock());
        uint32_t *subtitle = reinterpret_cast<uint32_t *>(osd->SubtitleBits());
        for (LONG x = 100; x < 200; ++x)
            At(subtitle, x, 400) = 0x00FFFFFF;
    }
    ASSERT_EQ(osd->Refresh(), S_OK);
    const std::vector<BYTE> &frame = card.frames.back();
    EXPECT_EQ(FramePixel(frame, 150, 400), 7);
    EXPECT_EQ(FramePixel(frame, 150, 399), 0);
}

TEST_F(OsdTest, InterfaceAndLifecycle)
{
    tx::ComPtr<IOsd> face;
    EXPECT_EQ(osd->QueryInterface(__uuidof(IOsd), reinterpret_cast<void **>(face.GetAddressOf())), S_OK);
    void *other = reinterpret_cast<void *>(1);
    EXPECT_EQ(osd->QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(osd->Refresh(), E_UNEXPECTED); // not attached
    face.Reset();

    Attach();
    osd->SetLayoutHeight(576);
    EXPECT_EQ(osd->SkinManager().relayoutTotal, 96);
    osd->SetLayoutHeight(576);
    EXPECT_EQ(osd->SkinManager().relayoutTotal, 96);
    osd->Tick(1);
    EXPECT_EQ(osd->SkinManager().ticks, 1);

    const DWORD threadId = osd->ThumbnailThreadId();
    ASSERT_NE(threadId, 0u);
    HANDLE thread = ::OpenThread(SYNCHRONIZE, FALSE, threadId);
    osd->Shutdown();
    EXPECT_EQ(osd->OsdWindow(), nullptr);
    EXPECT_EQ(osd->Refresh(), E_UNEXPECTED);
    if (thread)
    {
        EXPECT_EQ(::WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
        ::CloseHandle(thread);
    }
}

// A 4 x 2 24-bit bottom-up BMP file.
void WriteSmallBmp(const std::wstring &path)
{
    const int width = 4, height = 2, rowBytes = 12;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + rowBytes * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    std::vector<char> bytes(reinterpret_cast<const char *>(&file), reinterpret_cast<const char *>(&file + 1));
    bytes.insert(bytes.end(), reinterpret_cast<const char *>(&info), reinterpret_cast<const char *>(&info + 1));
    bytes.insert(bytes.end(), rowBytes * height, '\x40');
    tx::UniqueFileHandle out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ASSERT_TRUE(out.IsValid());
    ASSERT_TRUE(::WriteFile(out.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

TEST_F(OsdTest, ThumbnailWindowExtractsPictures)
{
    Attach();
    HWND window = COsdThread::ThumbnailWindow();
    ASSERT_NE(window, nullptr);
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    EXPECT_STREQ(className, L"TessaronixOSDWindowClassExtract");
    EXPECT_EQ(::GetWindowThreadProcessId(window, nullptr), osd->ThumbnailThreadId());

    const std::wstring folder = tx::test::MakeScratchFolder(L"osdthumb");
    const std::wstring path = folder + L"\\picture.bmp";
    WriteSmallBmp(path);
    ThumbnailRequest request{nullptr, path.c_str(), 40, 40};
    ::SendMessageW(window, tx::host::APPMSG_EXTRACT_THUMBNAIL, 0, reinterpret_cast<LPARAM>(&request));
    ASSERT_NE(request.result, nullptr);
    BITMAP bitmap{};
    ::GetObjectW(request.result, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 40); // 4 x 2 fitted into 40 x 40 keeps its aspect
    EXPECT_EQ(bitmap.bmHeight, 20);
    ::DeleteObject(request.result);

    const std::wstring missing = folder + L"\\missing.jpg";
    ThumbnailRequest bad{reinterpret_cast<HBITMAP>(1), missing.c_str(), 40, 40};
    ::SendMessageW(window, tx::host::APPMSG_EXTRACT_THUMBNAIL, 0, reinterpret_cast<LPARAM>(&bad));
    EXPECT_EQ(bad.result, nullptr);
    tx::test::RemoveFolder(folder);
}

} // namespace
