#pragma once
// A status page of plain records: every element the indicators use, with the faces a
// skin gives it (text or bar), so tests read the state the indicators left.
#include "txHost/skin/StatusIndicators.h"

#include <map>
#include <string>

namespace tx::test
{

struct FakeElement
{
    bool visible = false;
    bool isText = false;
    bool isBar = false;
    std::wstring text;
    int32_t length = 0;
    int32_t x = 0, y = 0, align = -1;
    int appends = 0;
    int setTexts = 0;
};

class FakeStatusPage final : public tx::skin::IStatusElements
{
  public:
    // Every id of the skin's status page, as the default skin lays them out.
    static FakeStatusPage Full()
    {
        FakeStatusPage page;
        for (const wchar_t *id : {L"pause", L"tvstandard", L"progress", L"time", L"date", L"dvdvcd", L"message", L"num",
                                  L"audio", L"dvd", L"channel", L"title", L"timeinfo", L"desc", L"log"})
            page.elements[id].isText = true;
        for (const wchar_t *id : {L"progressBack", L"mute", L"volume", L"webprog", L"buffering", L"epg"})
            page.elements[id];
        for (const wchar_t *id :
             {L"volumeOn", L"volumeBase", L"webprogOn", L"webprogBase", L"bufferingOn", L"bufferingBase"})
            page.elements[id].isBar = true;
        page.elements[L"volumeBase"].length = 201;
        page.elements[L"webprogBase"].length = 300;
        page.elements[L"bufferingBase"].length = 400;
        return page;
    }

    FakeElement &operator[](const wchar_t *id)
    {
        return elements.at(id);
    }

    bool SetVisible(std::wstring_view id, bool visible) override
    {
        FakeElement *e = Find(id);
        return e && ((e->visible = visible), true);
    }
    bool GetVisible(std::wstring_view id, bool *visible) override
    {
        FakeElement *e = Find(id);
        return e && ((*visible = e->visible), true);
    }
    bool SetText(std::wstring_view id, std::wstring_view text) override
    {
        FakeElement *e = FindText(id);
        return e && ((e->text = text), ++e->setTexts, true);
    }
    bool GetText(std::wstring_view id, std::wstring *text) override
    {
        FakeElement *e = FindText(id);
        return e && ((*text = e->text), true);
    }
    bool AppendText(std::wstring_view id, std::wstring_view text) override
    {
        FakeElement *e = FindText(id);
        return e && ((e->text += text), ++e->appends, true);
    }
    bool SetPosition(std::wstring_view id, int32_t x, int32_t y) override
    {
        FakeElement *e = FindText(id);
        return e && ((e->x = x), (e->y = y), true);
    }
    bool SetAlign(std::wstring_view id, int32_t align) override
    {
        FakeElement *e = FindText(id);
        return e && ((e->align = align), true);
    }
    bool GetLength(std::wstring_view id, int32_t *length) override
    {
        FakeElement *e = FindBar(id);
        return e && ((*length = e->length), true);
    }
    bool SetLength(std::wstring_view id, int32_t length) override
    {
        FakeElement *e = FindBar(id);
        return e && ((e->length = length), true);
    }

    std::map<std::wstring, FakeElement, std::less<>> elements;

  private:
    FakeElement *Find(std::wstring_view id)
    {
        auto it = elements.find(id);
        return it == elements.end() ? nullptr : &it->second;
    }
    FakeElement *FindText(std::wstring_view id)
    {
        FakeElement *e = Find(id);
        return e && e->isText ? e : nullptr;
    }
    FakeElement *FindBar(std::wstring_view id)
    {
        FakeElement *e = Find(id);
        return e && e->isBar ? e : nullptr;
    }
};

// A clock whose time the test sets; formats as "D:y-m-d/<picture>" and "T:h:m/<picture>".
class FakeClock final : public tx::skin::IStatusClock
{
  public:
    tx::skin::StatusClockTime Now() override
    {
        ++reads;
        return now;
    }
    std::wstring FormatDate(const tx::skin::StatusClockTime &t, const std::wstring &picture) override
    {
        return L"D:" + std::to_wstring(t.year) + L"-" + std::to_wstring(t.month) + L"-" + std::to_wstring(t.day) +
               L"/" + picture;
    }
    std::wstring FormatTime(const tx::skin::StatusClockTime &t, const std::wstring &picture) override
    {
        return L"T:" + std::to_wstring(t.hour) + L":" + std::to_wstring(t.minute) + L"/" + picture;
    }
    tx::skin::StatusClockTime now{2026, 12, 9, 22, 30};
    int reads = 0;
};

} // namespace tx::test
