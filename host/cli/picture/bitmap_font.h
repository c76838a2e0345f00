// The picture's one font: 5 x 9 pixel glyphs for printable ASCII, accented
// Latin letters drawn as their base letter with a mark, and a box for every
// other character, so that any text from a plug-in can be drawn.
#pragma once

#include <cstdint>

namespace plenar::cli::font {

// A glyph's rows, top first; bit 4 of each is its leftmost pixel. Rows 0 to
// 6 hold capitals and digits, 7 and 8 descenders.
constexpr int glyph_width = 5, glyph_rows = 9;
// Rows above a glyph kept for the marks of accented capitals.
constexpr int mark_rows = 2;
constexpr int advance = glyph_width + 1;
constexpr int line_height = mark_rows + glyph_rows + 2;

enum class Mark { none, acute, grave, circumflex, diaeresis, tilde, ring, cedilla };

struct Glyph {
    const uint8_t* rows;  // glyph_rows of them
    Mark mark = Mark::none;
    bool capital = false;  // a mark above sits over the glyph, not in its upper rows
};

Glyph glyph_for(char32_t character);
const uint8_t* mark_rows_of(Mark mark);  // two rows; a cedilla's go below the glyph

}  // namespace plenar::cli::font
