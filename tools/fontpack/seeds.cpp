// fontpack-seeds: writes the starting corpora of the outline font file fuzz targets. Each seed
// is the input layout those targets read: the Shift-JIS code (u16, little-endian), the
// direction (one signed byte), then the whole font file.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fontpack.h"

namespace {

using fontpack::Glyph;
using fontpack::Point;

// A few characters that reach every row kind and point mode of both formats.
std::vector<Glyph> sampleGlyphs() {
  Glyph a;  // 'A': row 9 of a ku-ten file, record 0x41 of an INDX file
  a.code = 0x41;
  a.outline[0].present = true;
  a.outline[0].advance = 5000;
  a.outline[0].margin = 2500;
  a.outline[0].points = {{JVM_START, 100, 0},       {JVM_QUAD_CTRL, 2500, 9000},
                         {JVM_QUAD_END, 4900, 0},   {JVM_LINE, 100, 0},
                         {JVM_START, 1800, 2000},   {JVM_LINE, 3200, 2000},
                         {JVM_LINE, 2500, 4000},    {JVM_LINE, 1800, 2000}};
  a.outline[1] = a.outline[0];
  a.outline[1].advance = 10000;
  a.outline[1].margin = 0;
  Glyph comma;  // 1-2, with negative coordinates and a vertical outline only
  comma.code = 0x8141;
  comma.outline[1].present = true;
  comma.outline[1].points = {{JVM_START, -500, -300},   {JVM_LINE, 9000, -300},
                             {JVM_QUAD_CTRL, 9500, 5000}, {JVM_QUAD_END, 9000, 9700},
                             {JVM_LINE, -500, 9700},    {JVM_LINE, -500, -300}};
  Glyph space;  // row 11, cell 1: an outline without points
  space.code = 0x20;
  space.outline[0].present = true;
  space.outline[0].advance = 3000;
  space.outline[0].margin = 3500;
  return {a, comma, space};
}

bool writeSeeds(const std::filesystem::path &folder, const std::string &name,
                const std::vector<uint8_t> &file) {
  struct Request {
    uint32_t code;
    int8_t direction;
  };
  constexpr Request kRequests[] = {{0x41, 0}, {0x8141, 1}, {0x20, 0}};
  if (file.empty()) return false;
  std::filesystem::create_directories(folder);
  int n = 0;
  for (const Request &r : kRequests) {
    fontpack::ByteImage seed;
    seed.put16(0, static_cast<uint16_t>(r.code));
    seed.put8(2, static_cast<uint8_t>(r.direction));
    seed.bytes.insert(seed.bytes.end(), file.begin(), file.end());
    const auto path = folder / (name + "-" + std::to_string(n++) + ".bin");
    if (!fontpack::writeFileBytes(path.string(), seed.bytes)) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fontpack-seeds FOLDER\n");
    return 2;
  }
  const std::filesystem::path root = argv[1];
  const std::vector<Glyph> glyphs = sampleGlyphs();
  constexpr int32_t kSeedRows = 11;  // the single-byte rows 9 to 11, and a small index
  fontpack::KuTenLayout quadratic;
  quadratic.base = 12;
  quadratic.rows = kSeedRows;
  fontpack::KuTenLayout arcs = quadratic;
  arcs.bez2 = false;
  arcs.lp0 = false;
  arcs.baseMarker = false;
  const bool ok =
      writeSeeds(root / "kuten_reader_fuzz", "bez2", fontpack::packKuTenFile(glyphs, quadratic)) &&
      writeSeeds(root / "kuten_reader_fuzz", "arcs", fontpack::packKuTenFile(glyphs, arcs)) &&
      writeSeeds(root / "indx_reader_fuzz", "indx",
                 fontpack::packIndxFile(glyphs, {{{'N', 'A', 'M', 'E'}, {'s', 'e', 'e', 'd'}}}));
  if (!ok) {
    std::fprintf(stderr, "fontpack-seeds: cannot write the seeds under %s\n", argv[1]);
    return 1;
  }
  return 0;
}
