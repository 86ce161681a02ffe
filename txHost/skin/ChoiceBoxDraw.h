#pragma once
// Drawing of the skin manager's choice box: a message and up to three buttons in the look
// of a "dialog" definition of the skin, drawn over the current page during composition.
// Frame, header and buttons go to the target as exact palette colours; the message and
// the captions as smoothed true colour keyed on their backgrounds.
//
// Thread: the composing thread, under the OSD lock (as every drawing through IOsd).
#include "txHost/skin/OsdInterfaces.h"
#include "txHost/skin/SkinAttributes.h"

#include <windows.h>

// The look of the box: the dialog definition's attributes and its button part, and the
// fonts made from its styles (owned by the skin's font cache; null draws with the DC's font).
struct ChoiceBoxLook
{
    tx::skin::SkinPair pos;
    tx::skin::SkinPair size;
    tx::skin::SkinRectStyle rect;
    tx::skin::SkinHeader header; // colour and height
    tx::skin::SkinStyle style;
    tx::skin::SkinMargin margin; // left, right, top, bottom of the message
    int32_t buttonTop = 0;       // relative to the box
    uint8_t rtlReading = 0;
    tx::skin::SkinPair buttonSize;
    tx::skin::SkinRectStyle rectNosel;
    tx::skin::SkinRectStyle rectFocus;
    tx::skin::SkinStyle styleNosel;
    tx::skin::SkinStyle styleFocus;
    tx::skin::SkinMargin buttonMargin; // the third value moves the captions below the buttons' top
    HFONT font = nullptr;
    HFONT fontNosel = nullptr;
    HFONT fontFocus = nullptr;
};

// The look from a dialog definition object with the fields of the dialog tag (pos, size,
// rect, header, style, margin, buttonTop, rtlReading, buttonSize, rectNosel, rectFocus,
// styleNosel, styleFocus, buttonMargin, font, fontNosel, fontFocus).
template <class Dialog> ChoiceBoxLook MakeChoiceBoxLook(const Dialog &dialog)
{
    ChoiceBoxLook look;
    look.pos = dialog.pos;
    look.size = dialog.size;
    look.rect = dialog.rect;
    look.header = dialog.header;
    look.style = dialog.style;
    look.margin = dialog.margin;
    look.buttonTop = dialog.buttonTop;
    look.rtlReading = dialog.rtlReading;
    look.buttonSize = dialog.buttonSize;
    look.rectNosel = dialog.rectNosel;
    look.rectFocus = dialog.rectFocus;
    look.styleNosel = dialog.styleNosel;
    look.styleFocus = dialog.styleFocus;
    look.buttonMargin = dialog.buttonMargin;
    look.font = dialog.font;
    look.fontNosel = dialog.fontNosel;
    look.fontFocus = dialog.fontFocus;
    return look;
}

// What the box shows: the message, whether it is word-wrapped, the captions (counting
// stops at the first null one) and the selected button (any other value selects none).
struct ChoiceBoxContent
{
    const wchar_t *message = nullptr;
    bool wrap = false;
    const wchar_t *captions[3] = {};
    LONG selected = 0;
};

// Draws the box through the OSD's scratch bitmap onto the target. A box without buttons
// draws frame, header and message only. The first failing palette lookup or scratch DC
// request ends the drawing with its error (what was copied stays); otherwise the result
// of the last copy. E_POINTER for a null osd.
HRESULT DrawChoiceBox(IOsd *osd, const ChoiceBoxLook &look, const ChoiceBoxContent &content) noexcept;
