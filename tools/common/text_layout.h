// Sets UTF-8 text in a registered font the way a host does: Shift-JIS codes, one glyph at a
// time from the 10000-unit cell, scaled to millimetres and placed by its advance.
#ifndef OUTLINA_TOOLS_TEXT_LAYOUT_H
#define OUTLINA_TOOLS_TEXT_LAYOUT_H

#include <string>
#include <vector>

#include "outlina.h"

namespace outlina::cli {

struct TextSetting {
  std::string text;      // UTF-8; a line feed or the two characters \n break the line
  std::string font;      // registered face name; empty: the file font's name
  std::string fontFile;  // "kuten:PATH" or "indx:PATH", registered under the file's stem
  bool vertical = false;
  double sizeMm = 10;        // cell height
  double spacingMm = 0;      // added after every advance
  double lineGapMm = -1;     // between lines or columns; negative: a quarter of the size
  bool skipMissing = false;  // drop characters that Shift-JIS cannot hold instead of failing
};

// Each code point of a UTF-8 text with its Shift-JIS code, 0 when it has none.
struct CodedChar {
  char32_t codePoint;
  unsigned code;
};
// False with a reason for text that is not valid UTF-8.
bool encodeShiftJis(const std::string &utf8, std::vector<CodedChar> &out, std::string &error);

// Appends the glyph outlines of the text to path. On failure returns false with a one-line
// reason; usageError tells bad input (exit 2) from a failing step (exit 1).
bool setText(const TextSetting &setting, JVect *path, std::string &error, bool &usageError);

// The families of the installed fonts, as setText finds them by name.
std::vector<std::string> installedFontNames();

// The registered names closest to name, best first.
std::vector<std::string> closestNames(const std::vector<std::string> &names,
                                      const std::string &name, size_t most);

}  // namespace outlina::cli

#endif
