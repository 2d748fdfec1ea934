// The ku-ten outline font file, as both its reader and its writer lay it out: markers in a
// 256-byte header after the base offset, an index of rows x 94 cells of 10-byte records, then
// outline blocks of 15-bit coordinate words whose top bits carry the point mode.
#ifndef OUTLINA_FONT_KUTEN_FORMAT_H
#define OUTLINA_FONT_KUTEN_FORMAT_H

#include <cstdint>

#include "outlina/font.h"

namespace outlina::kuten {

constexpr uint64_t kBaseMarkerAt = 64;   // "S" and two digits: the base offset of the file
constexpr uint64_t kRowMarkerAt = 68;    // "K" and three digits: the number of index rows
constexpr uint64_t kFlagMarkerAt = 96;   // "LP0": the glyph info flag becomes 1
constexpr uint64_t kQuadMarkerAt = 100;  // "BEZ2": curve points are quadratic, not arcs
constexpr int32_t kDefaultRows = 84;     // index rows of a file without a row marker
constexpr uint64_t kIndexAt = 256;       // the index follows a 256-byte header, past the base
constexpr int32_t kCells = 94;           // cells per row, as in JIS X 0208
constexpr uint64_t kRecordSize = 10;
constexpr uint64_t kOutlineHeaderSize = 24;
constexpr uint16_t kEndWord = 0xFFFF;    // a pair of these ends the point list

// Single-byte characters live in rows that JIS X 0208 leaves empty.
constexpr int32_t kAsciiRow = 9;      // printable ASCII, cell = code - 0x20
constexpr uint32_t kAsciiFirst = 0x21;
constexpr uint32_t kAsciiLast = 0x7E;
constexpr int32_t kKanaRow = 10;      // half-width katakana, cell = code - 0xA0
constexpr uint32_t kKanaFirst = 0xA1;
constexpr uint32_t kKanaLast = 0xDF;
constexpr int32_t kOtherRow = 11;     // every other single byte, cell 1

// Row and cell of a Shift-JIS code in the file. jFontSJISToKuTen answers ku 0 exactly for codes
// whose high byte is not a lead byte: every double-byte pair gives a row of 1 or more, or -32.
inline void fileCell(uint32_t code, int32_t *row, int32_t *cell) {
  jFontSJISToKuTen(code, row, cell);
  if (*row != 0) return;
  if (code >= kAsciiFirst && code <= kAsciiLast) {
    *row = kAsciiRow;
    *cell = static_cast<int32_t>(code - kAsciiFirst) + 1;
  } else if (code >= kKanaFirst && code <= kKanaLast) {
    *row = kKanaRow;
    *cell = static_cast<int32_t>(code - kKanaFirst) + 1;
  } else {
    *row = kOtherRow;
    *cell = 1;
  }
}

}  // namespace outlina::kuten

#endif
