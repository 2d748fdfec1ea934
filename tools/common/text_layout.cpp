#include "text_layout.h"

#include <iconv.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numeric>

namespace outlina::cli {
namespace {

// Every glyph comes in a cell of this many units.
constexpr double kCellUnits = 10000.0;
// Registering installed fonts with every class bit set accepts every family.
constexpr uint32_t kAllCharsets = 0x1000007Fu;

bool decodeUtf8(const std::string &s, std::vector<char32_t> &out, std::string &error) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    const int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > s.size()) {
      error = "the text is not valid UTF-8 (byte " + std::to_string(i + 1) + ")";
      return false;
    }
    char32_t cp = len == 1 ? b : b & (0x7F >> len);
    for (int k = 1; k < len; ++k) {
      const unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) {
        error = "the text is not valid UTF-8 (byte " + std::to_string(i + k + 1) + ")";
        return false;
      }
      cp = (cp << 6) | (c & 0x3F);
    }
    out.push_back(cp);
    i += len;
  }
  return true;
}

std::string utf8Of(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

size_t editDistance(const std::string &a, const std::string &b) {
  std::vector<size_t> row(b.size() + 1);
  std::iota(row.begin(), row.end(), 0);
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t above = row[j];
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

struct RegistryCloser {
  void operator()(JFont *f) const { jFontEnd(f); }
};
struct HandleCloser {
  void operator()(JFontHandle *h) const { jFontClose(h); }
};
struct PathCloser {
  void operator()(JVect *p) const { jVectClose(p); }
};

void copyText(char *dst, size_t size, const std::string &src) {
  std::snprintf(dst, size, "%s", src.c_str());
}

// The names of every registered face, in the registry's order.
std::vector<std::string> registeredNames(const JFont *registry) {
  std::vector<std::string> names;
  char name[64];
  for (int i = 0; i < jFontGetFontNum(registry); ++i)
    if (jFontGetFontName(registry, i, name) == 1) names.push_back(name);
  return names;
}

void registerInstalledFonts(JFont *registry) {
  JFontEntry mask{};
  mask.charset = kAllCharsets;
  jFontRegistTTF(registry, mask);
}

}  // namespace

std::vector<std::string> installedFontNames() {
  std::unique_ptr<JFont, RegistryCloser> registry(jFontInit());
  if (!registry) return {};
  registerInstalledFonts(registry.get());
  return registeredNames(registry.get());
}

bool encodeShiftJis(const std::string &utf8, std::vector<CodedChar> &out, std::string &error) {
  std::vector<char32_t> cps;
  if (!decodeUtf8(utf8, cps, error)) return false;
  iconv_t cd = iconv_open("CP932", "UTF-32LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    error = "the system has no CP932 converter";
    return false;
  }
  for (char32_t cp : cps) {
    char in[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                  static_cast<char>((cp >> 16) & 0xFF), static_cast<char>(cp >> 24)};
    char bytes[8];
    char *inp = in, *outp = bytes;
    size_t inLeft = sizeof in, outLeft = sizeof bytes;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    const size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    const size_t n = sizeof bytes - outLeft;
    unsigned code = 0;
    if (r != static_cast<size_t>(-1) && (n == 1 || n == 2))
      code = n == 1 ? static_cast<unsigned char>(bytes[0])
                    : static_cast<unsigned char>(bytes[0]) * 256u +
                          static_cast<unsigned char>(bytes[1]);
    out.push_back({cp, code});
  }
  iconv_close(cd);
  return true;
}

std::vector<std::string> closestNames(const std::vector<std::string> &names,
                                      const std::string &name, size_t most) {
  std::vector<std::pair<size_t, std::string>> scored;
  for (const std::string &n : names) scored.push_back({editDistance(n, name), n});
  std::stable_sort(scored.begin(), scored.end(),
                   [](const auto &a, const auto &b) { return a.first < b.first; });
  std::vector<std::string> out;
  for (size_t i = 0; i < scored.size() && i < most; ++i) out.push_back(scored[i].second);
  return out;
}

bool setText(const TextSetting &setting, JVect *path, std::string &error, bool &usageError) {
  usageError = true;
  // The two characters \n break the line as a line feed does.
  std::string text;
  for (size_t i = 0; i < setting.text.size(); ++i) {
    const bool escape = setting.text.compare(i, 2, "\\n") == 0;
    text += escape ? '\n' : setting.text[i];
    i += escape ? 1 : 0;
  }
  std::vector<CodedChar> chars;
  if (!encodeShiftJis(text, chars, error)) return false;
  for (size_t i = 0; i < chars.size(); ++i)
    if (chars[i].code == 0 && chars[i].codePoint != U'\n' && !setting.skipMissing) {
      char hex[16];
      std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(chars[i].codePoint));
      error = "--text: character '" + utf8Of(chars[i].codePoint) + "' (" + hex + ") at position " +
              std::to_string(i + 1) +
              " cannot be written in Shift-JIS (--skip-missing drops such characters)";
      return false;
    }

  std::unique_ptr<JFont, RegistryCloser> registry(jFontInit());
  if (!registry) {
    error = "cannot create a font registry";
    usageError = false;
    return false;
  }
  std::string face = setting.font;
  if (!setting.fontFile.empty()) {
    const size_t colon = setting.fontFile.find(':');
    const std::string kind = setting.fontFile.substr(0, colon);
    if (colon == std::string::npos || (kind != "kuten" && kind != "indx")) {
      error = "--font-file: expected kuten:PATH or indx:PATH";
      return false;
    }
    const std::string file = setting.fontFile.substr(colon + 1);
    JFontEntry entry{};
    entry.kind = kind == "kuten" ? JFK_KUTEN_FILE : JFK_INDX_FILE;
    copyText(entry.name, sizeof entry.name, std::filesystem::path(file).stem().string());
    copyText(entry.path, sizeof entry.path, file);
    jFontRegist(registry.get(), entry);
    if (face.empty()) face = entry.name;
  }
  registerInstalledFonts(registry.get());
  if (face.empty()) {
    error = "--font: no font given";
    return false;
  }
  if (jFontGetFontID(registry.get(), face.c_str()) < 0) {
    error = "--font: \"" + face + "\" is not a registered font; closest:";
    for (const std::string &n : closestNames(registeredNames(registry.get()), face, 5))
      error += " \"" + n + "\"";
    return false;
  }

  usageError = false;
  std::unique_ptr<JFontHandle, HandleCloser> font(
      jFontOpen(registry.get(), face.c_str(), setting.vertical ? 1 : 0));
  std::unique_ptr<JVect, PathCloser> glyph(jVectOpen(1000));
  if (!font || !glyph) {
    error = "cannot open the font \"" + face + "\"";
    return false;
  }
  const double scale = setting.sizeMm / kCellUnits;
  const double gap = setting.lineGapMm >= 0 ? setting.lineGapMm : setting.sizeMm / 4;
  const int direction = setting.vertical ? 1 : 0;
  double pen = 0;   // along the line
  double line = 0;  // across lines
  for (const CodedChar &c : chars) {
    if (c.codePoint == U'\n') {
      pen = 0;
      line += setting.sizeMm + gap;
      continue;
    }
    if (c.code == 0) continue;  // dropped by --skip-missing
    jVectClear(glyph.get());
    JFontGlyphInfo info{};
    JFontGlyphMetrics metrics{};
    if (jFontGlyphVect(font.get(), c.code, direction, &info, &metrics, glyph.get()) < 0) {
      error = "the font \"" + face + "\" could not give the glyph of '" + utf8Of(c.codePoint) + "'";
      return false;
    }
    const double advance = metrics.advance * scale;
    // Horizontal lines run down the page; vertical columns run right to left and the glyph
    // cell hangs below the pen.
    const double ox = setting.vertical ? -line : pen;
    const double oy = setting.vertical ? pen - advance : -line;
    JVectPoint *v = jVectGetVd(glyph.get());
    for (int i = 0; i < jVectGetNum(glyph.get()); ++i) {
      v[i].x = static_cast<float>(v[i].x * scale + ox);
      v[i].y = static_cast<float>(v[i].y * scale + oy);
    }
    if (jVectAdd(path, glyph.get()) != 1) {
      error = "out of memory while setting the text";
      return false;
    }
    pen += setting.vertical ? -(advance + setting.spacingMm) : advance + setting.spacingMm;
  }
  return true;
}

}  // namespace outlina::cli
