#include "MisleadingCharacters.h"

#include <QChar>

#include <algorithm>
#include <iterator>
#include <utility>

bool misleadsTheReader(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        break;
    }
    // What Unicode does not class as format characters: the combining grapheme
    // joiner, Hangul fillers, Khmer inherent vowels, variation selectors, the
    // Braille blank, specials, padlocks, and tags with their selectors.
    static const std::pair<char32_t, char32_t> blanks[] = {
        {0x034f, 0x034f}, {0x115f, 0x1160},   {0x17b4, 0x17b5},  {0x180b, 0x180f},
        {0x2800, 0x2800}, {0x3164, 0x3164},   {0xfe00, 0xfe0f},  {0xffa0, 0xffa0},
        {0xfff0, 0xfff8}, {0x1f50f, 0x1f513}, {0xe0000, 0xe0fff}};
    return std::any_of(std::begin(blanks), std::end(blanks),
                       [c](const auto &range) { return range.first <= c && c <= range.second; });
}
