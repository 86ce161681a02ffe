#pragma once
// Line breaking of multi-line skin texts over measured widths, and the scroll state of a
// text block. Portable: the caller measures (GDI on Windows, a fake in tests) and draws.
//
// Two layouts: by words (lines break after the last word that fits; a word wider than the
// block is cut at a character) and by characters (lines break at line feeds and wherever
// the next character would not fit). In both, a block narrower than one character still
// places one character per line, so the layout always ends and loses nothing.
#include "txHost/skin/SkinAttributes.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace tx::skin
{

// Measures text[0, length): width and height in pixels. An empty length is never passed;
// an empty line is measured as a single space.
using TextMeasure = std::function<void(const SkinChar *text, size_t length, int32_t &width, int32_t &height)>;
// Draws one line of length characters at the layout's left edge and the given top.
using TextOutput = std::function<void(const SkinChar *text, size_t length, int32_t top)>;

struct TextLayoutResult
{
    int32_t lines = 0;       // lines laid out
    int32_t visible = 0;     // of those, lines whose top is above bottom - their height
    int32_t lineHeight = 0;  // height of the last measured line
    bool reachedEnd = false; // the whole text was laid out
};

// Lays text out into a block of the given width from top to bottom. With draw, each
// non-empty line goes to output, and the layout stops once the next line's top reaches
// bottom - line height (the first line is always laid out); without draw (output may be
// empty) it runs to the end of the text and only counts. byCharacters selects the
// character layout. Throws nothing but what the callbacks throw.
TextLayoutResult LayoutText(SkinStringView text, int32_t top, int32_t bottom, int32_t width, bool byCharacters,
                            bool draw, const TextMeasure &measure, const TextOutput &output);

// Where the scroll thumb of a block of height h with total and visible line counts at
// scroll position sits: offset from the top and height (at least 30, at most h).
struct ScrollThumb
{
    int32_t offset = 0;
    int32_t height = 0;
};
ScrollThumb ComputeScrollThumb(int32_t h, int32_t total, int32_t visible, int32_t position) noexcept;

// The scroll position and half-line animation of a text block.
struct TextScrollState
{
    int32_t total = -1; // -1 while the text has not been found to overflow
    int32_t visible = -1;
    int32_t position = 0; // first line shown; -1 asks the next draw to show the end
    int32_t step = 0;     // -1, 0 or +1: half a line of movement still to show

    // Direction 1 up, 2 down; others do nothing. Sets *handled only when the text moved.
    void Navigate(int32_t direction, bool &handled) noexcept;
    // One tick of the animation: true when the step changed (a redraw is needed).
    bool Animate() noexcept;
};

} // namespace tx::skin
