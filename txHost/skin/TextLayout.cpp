// Line breaking of multi-line skin texts and the scroll state of a text block.
#include "txHost/skin/TextLayout.h"

#include <algorithm>

namespace tx::skin
{

namespace
{

bool IsHighSurrogate(SkinChar c) noexcept
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(SkinChar c) noexcept
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

class LineMeasure
{
  public:
    LineMeasure(const SkinChar *text, const TextMeasure &measure) noexcept : m_text(text), m_measure(measure)
    {
    }

    int32_t Width(size_t start, size_t length) const
    {
        if (length == 0)
            return 0;
        int32_t width = 0;
        int32_t height = 0;
        m_measure(m_text + start, length, width, height);
        return width;
    }

    // The longest beginning of text[start, start + length) narrower than limit, given that
    // the whole of it is not. Widths grow with the length, so a binary search finds the
    // same cut as removing characters from the end one by one. Never splits a surrogate
    // pair, and never answers 0 for a non-empty line: a block narrower than one character
    // gets one character per line instead of a layout that makes no progress.
    size_t FittingPrefix(size_t start, size_t length, int32_t limit) const
    {
        size_t low = 0;       // known to fit (an empty prefix counts as fitting)
        size_t high = length; // known not to fit
        while (high - low > 1)
        {
            size_t middle = low + (high - low) / 2;
            if (Width(start, middle) < limit)
                low = middle;
            else
                high = middle;
        }
        size_t cut = low;
        if (cut > 0 && IsHighSurrogate(m_text[start + cut - 1]))
            --cut;
        if (cut == 0 && length > 0)
            cut = (length > 1 && IsHighSurrogate(m_text[start]) && IsLowSurrogate(m_text[start + 1])) ? 2 : 1;
        return cut;
    }

  private:
    const SkinChar *m_text;
    const TextMeasure &m_measure;
};

// One line of the word layout from pos: [start, end) is its content, next where the
// following line begins (before skipping a line feed).
struct LineSpan
{
    size_t start;
    size_t end;
    size_t next;
};

LineSpan NextWordLine(const SkinChar *s, size_t n, size_t pos, int32_t width, const LineMeasure &m)
{
    while (pos < n && s[pos] == ' ')
        ++pos;
    const size_t start = pos;
    size_t fitting = 0;
    size_t fitEnd = start; // end of the last word known to fit
    size_t p = start;
    size_t scanStop = start;
    bool restTaken = false;
    for (;;)
    {
        while (p < n && s[p] != ' ' && s[p] != '\n')
            ++p;
        if (p < n && s[p] == ' ')
        {
            if (m.Width(start, p - start) >= width)
            {
                scanStop = p;
                break;
            }
            ++fitting;
            fitEnd = p;
            ++p;
            continue;
        }
        scanStop = p; // a line feed or the end: the rest of the paragraph
        if (p == start || m.Width(start, p - start) < width)
        {
            fitEnd = p;
            restTaken = true;
        }
        break;
    }

    if (restTaken)
        return {start, fitEnd, fitEnd};
    if (fitting > 0)
    {
        // Break after the last fitting word; spaces in front of the break are not drawn.
        size_t end = fitEnd;
        while (end > start && s[end - 1] == ' ')
            --end;
        return {start, end, fitEnd};
    }
    // Not even the first word fits: cut it at a character, the rest goes on the next line.
    size_t cut = m.FittingPrefix(start, scanStop - start, width);
    return {start, start + cut, start + cut};
}

LineSpan NextCharacterLine(const SkinChar *s, size_t n, size_t pos, int32_t width, const LineMeasure &m)
{
    size_t end = pos;
    while (end < n && s[end] != '\n')
        ++end;
    if (end > pos && m.Width(pos, end - pos) >= width)
        end = pos + m.FittingPrefix(pos, end - pos, width);
    return {pos, end, end};
}

} // namespace

TextLayoutResult LayoutText(SkinStringView text, int32_t top, int32_t bottom, int32_t width, bool byCharacters,
                            bool draw, const TextMeasure &measure, const TextOutput &output)
{
    static const SkinChar kSpace[] = {' ', 0};
    TextLayoutResult result;
    const SkinChar *s = text.data();
    const size_t n = text.size();
    LineMeasure lines(s, measure);
    int64_t lineTop = top;
    size_t pos = 0;
    for (;;)
    {
        LineSpan line =
            byCharacters ? NextCharacterLine(s, n, pos, width, lines) : NextWordLine(s, n, pos, width, lines);
        int32_t lineWidth = 0;
        int32_t lineHeight = 0;
        if (line.end == line.start)
        {
            measure(kSpace, 1, lineWidth, lineHeight); // an empty line still takes its height
        }
        else
        {
            measure(s + line.start, line.end - line.start, lineWidth, lineHeight);
            if (draw && output)
                output(s + line.start, line.end - line.start, static_cast<int32_t>(lineTop));
        }
        ++result.lines;
        if (lineTop < static_cast<int64_t>(bottom) - lineHeight)
            ++result.visible;
        result.lineHeight = lineHeight;
        lineTop += lineHeight;

        pos = line.next;
        if (pos < n && s[pos] == '\n')
            ++pos;
        if (pos >= n)
        {
            result.reachedEnd = true;
            break;
        }
        if (draw && lineTop >= static_cast<int64_t>(bottom) - lineHeight)
            break;
    }
    return result;
}

ScrollThumb ComputeScrollThumb(int32_t h, int32_t total, int32_t visible, int32_t position) noexcept
{
    ScrollThumb thumb;
    int64_t t = total > 0 ? static_cast<int64_t>(h) * visible / total : h;
    t = std::max<int64_t>(t, 30);
    t = std::min<int64_t>(t, h);
    thumb.height = static_cast<int32_t>(t);
    if (total > visible)
        thumb.offset = static_cast<int32_t>((static_cast<int64_t>(h) - t) * position / (total - visible));
    return thumb;
}

void TextScrollState::Navigate(int32_t direction, bool &handled) noexcept
{
    if (direction == 1)
    {
        --position;
        if (position >= 0)
        {
            step = -1;
            handled = true;
        }
        else
        {
            position = 0;
        }
    }
    else if (direction == 2)
    {
        ++position;
        if (static_cast<int64_t>(position) + visible > total)
        {
            position = total - visible;
        }
        else
        {
            step = 1;
            handled = true;
        }
    }
}

bool TextScrollState::Animate() noexcept
{
    if (step > 0)
        --step;
    else if (step < 0)
        ++step;
    else
        return false;
    return true;
}

} // namespace tx::skin
