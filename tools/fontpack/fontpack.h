// Writers of the two outline font file formats (ku-ten and INDX), and the collection of glyphs
// from an installed font through the public API. Used by the outlina-fontpack program, by the
// tests to make fixtures and by the fuzz seed generator.
#ifndef OUTLINA_TOOLS_FONTPACK_H
#define OUTLINA_TOOLS_FONTPACK_H

#include <cstdint>
#include <string>
#include <vector>

#include "outlina.h"

namespace fontpack {

// One point as a reader hands it to a path: a JVectMode and whole-number glyph coordinates.
struct Point {
  int16_t mode;
  int32_t x;
  int32_t y;
  bool operator==(const Point &) const = default;
};

// One writing direction of a character.
struct Outline {
  bool present = false;
  JFontGlyphInfo info{};  // stored by the INDX format only
  int32_t advance = 10000;
  int32_t margin = 0;     // stored by the INDX format only
  std::vector<Point> points;
};

struct Glyph {
  uint32_t code = 0;  // Shift-JIS code
  Outline outline[2]; // [0] horizontal, [1] vertical
};

// Header choices of a ku-ten file. A marker that is not written leaves the reader's default
// (base 0, 84 rows, flag 0, arcs).
struct KuTenLayout {
  bool baseMarker = true;
  int32_t base = 0;  // 0 to 99
  bool rowMarker = true;
  int32_t rows = 84; // 0 to 999
  bool lp0 = true;
  bool bez2 = true;
};

// A chunk placed before the index chunk of an INDX file.
struct Chunk {
  char tag[4];
  std::vector<uint8_t> content;
};

// Little-endian file image with absolute writes; writing past the end grows it with zeros.
class ByteImage {
 public:
  std::vector<uint8_t> bytes;
  void put8(size_t at, uint8_t v);
  void put16(size_t at, uint16_t v);
  void put32(size_t at, uint32_t v);
  void putText(size_t at, const char *text);  // without its terminator
  size_t size() const { return bytes.size(); }
};

// Row and cell of a character in a ku-ten file: double-byte codes by their ku and ten, printable
// ASCII in row 9, half-width katakana in row 10, every other single-byte code in row 11, cell 1.
// False when the code has no cell (a code the conversion rejects).
bool kuTenSlot(uint32_t code, int32_t *row, int32_t *cell);

// Whole file images. Empty when a glyph cannot be stored: a coordinate outside the 15-bit
// range, a point mode the format lacks, or (ku-ten) a character beyond layout.rows.
std::vector<uint8_t> packKuTenFile(const std::vector<Glyph> &glyphs, const KuTenLayout &layout);
std::vector<uint8_t> packIndxFile(const std::vector<Glyph> &glyphs,
                                  const std::vector<Chunk> &leading = {});

// An INDX coordinate word keeps multiples of 4: the nearest one, halves rounded up.
int32_t indxQuantise(int32_t v);

// Replaces each quadratic curve by three-point arcs (or a line when it is straight) that stay
// within tolerance units of it, for ku-ten files without quadratic points.
std::vector<Point> quadsToArcs(const std::vector<Point> &points, double tolerance);

// Reads codes first to last (Shift-JIS, invalid codes skipped) of an installed face in both
// directions through jFontOpen and jFontGlyphVect. False when the face cannot be opened.
bool collectGlyphs(const char *face, uint32_t first, uint32_t last, std::vector<Glyph> *out);

bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes);

}  // namespace fontpack

#endif
