// outlina-fontpack: builds a ku-ten or INDX outline font file from an installed font.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fontpack.h"

namespace {

constexpr uint32_t kLastCode = 0xFFFF;  // Shift-JIS codes are at most two bytes
constexpr int kMaxBase = 99;            // the base marker has two digits

void usage() {
  std::fprintf(stderr,
               "usage: outlina-fontpack --format kuten|indx [--face NAME] [--from CODE]\n"
               "                        [--to CODE] [--base N] [--no-bez2] OUTPUT\n"
               "  Packs the Shift-JIS codes FROM to TO (hexadecimal; default 20 to 7E) of the\n"
               "  installed face NAME (default IPAGothic) in both writing directions.\n"
               "  kuten: quadratic curves kept (\"BEZ2\") unless --no-bez2 turns them into arcs;\n"
               "  --base N (0 to 99) writes the base marker. indx: quadratic curves kept,\n"
               "  coordinates on multiples of 4.\n");
}

bool parseCode(const char *text, uint32_t *code) {
  char *end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 16);
  if (end == text || *end != '\0' || value > kLastCode) return false;
  *code = static_cast<uint32_t>(value);
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  std::string format;
  std::string face = "IPAGothic";
  std::string output;
  uint32_t first = 0x20;
  uint32_t last = 0x7E;
  fontpack::KuTenLayout layout;
  bool valid = true;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--format" && hasValue) {
      format = argv[++i];
    } else if (arg == "--face" && hasValue) {
      face = argv[++i];
    } else if (arg == "--from" && hasValue) {
      valid &= parseCode(argv[++i], &first);
    } else if (arg == "--to" && hasValue) {
      valid &= parseCode(argv[++i], &last);
    } else if (arg == "--base" && hasValue) {
      layout.base = std::atoi(argv[++i]);
    } else if (arg == "--no-bez2") {
      layout.bez2 = false;
    } else if (output.empty() && arg[0] != '-') {
      output = arg;
    } else {
      valid = false;
    }
  }
  if (!valid || (format != "kuten" && format != "indx") || output.empty() || first > last ||
      layout.base < 0 || layout.base > kMaxBase) {
    usage();
    return 2;
  }

  std::vector<fontpack::Glyph> glyphs;
  if (!fontpack::collectGlyphs(face.c_str(), first, last, &glyphs)) {
    std::fprintf(stderr, "outlina-fontpack: cannot open the installed face \"%s\"\n",
                 face.c_str());
    return 1;
  }
  std::vector<uint8_t> bytes;
  if (format == "kuten") {
    layout.rows = 0;
    for (const fontpack::Glyph &glyph : glyphs) {
      int32_t row = 0;
      int32_t cell = 0;
      if (fontpack::kuTenSlot(glyph.code, &row, &cell)) layout.rows = std::max(layout.rows, row);
    }
    bytes = fontpack::packKuTenFile(glyphs, layout);
  } else {
    bytes = fontpack::packIndxFile(glyphs, {{{'N', 'A', 'M', 'E'},
                                             std::vector<uint8_t>(face.begin(), face.end())}});
  }
  if (bytes.empty()) {
    std::fprintf(stderr, "outlina-fontpack: a glyph does not fit the %s format\n",
                 format.c_str());
    return 1;
  }
  if (!fontpack::writeFileBytes(output, bytes)) {
    std::fprintf(stderr, "outlina-fontpack: cannot write %s\n", output.c_str());
    return 1;
  }
  std::printf("%s: %zu characters, %zu bytes\n", output.c_str(), glyphs.size(), bytes.size());
  return 0;
}
