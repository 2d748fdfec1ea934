// Writer of INDX outline font files: a 12-byte header, the caller's leading chunks, the "INDX"
// chunk and one "GLYF" chunk per character and direction.
#include <algorithm>
#include <cstring>

#include "fontpack.h"

namespace fontpack {
namespace {

constexpr char kFileHeader[] = "OUTLINA-FONT";  // 12 bytes, never read
constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kSingleByteRecords = 256;
constexpr int32_t kCells = 94;
constexpr size_t kRecordSize = 10;
constexpr size_t kGlyphHeaderSize = 30;  // glyph info, then origin, advance, margin per direction
constexpr int32_t kWordMin = -32768;
constexpr int32_t kWordMax = 32767;

struct ModeBits {
  int16_t mode;
  uint16_t x;  // the two low bits of the x word
  uint16_t y;  // the two low bits of the y word
};

constexpr ModeBits kModeBits[] = {
    {JVM_START, 0, 0},     {JVM_LINE, 0, 1},      {JVM_ARC_MID, 1, 0},
    {JVM_ARC_END, 1, 1},   {JVM_QUAD_CTRL, 1, 2}, {JVM_QUAD_END, 1, 3},
    {JVM_BEZ_CTRL1, 2, 0}, {JVM_BEZ_CTRL2, 2, 1}, {JVM_BEZ_END, 2, 2}};

// A word whose coordinate, (w / 4) * 4 truncating toward zero, is the multiple of 4 q and whose
// two low bits are bits. Below zero the bits must come from the multiple below q.
bool indxWord(int32_t q, uint16_t bits, uint16_t *word) {
  const int32_t w = (q >= 0 || bits == 0) ? q + bits : q - 4 + bits;
  if (w < kWordMin || w > kWordMax) return false;
  *word = static_cast<uint16_t>(w);
  return true;
}

bool encodePoints(const Outline &outline, std::vector<uint16_t> *words) {
  for (const Point &p : outline.points) {
    const ModeBits *bits = std::find_if(std::begin(kModeBits), std::end(kModeBits),
                                        [&](const ModeBits &m) { return m.mode == p.mode; });
    if (bits == std::end(kModeBits)) return false;
    uint16_t x = 0;
    uint16_t y = 0;
    if (!indxWord(indxQuantise(p.x), bits->x, &x) || !indxWord(indxQuantise(p.y), bits->y, &y)) {
      return false;
    }
    words->push_back(x);
    words->push_back(y);
  }
  return true;
}

bool fitsWord(int32_t v) { return v >= kWordMin && v <= kWordMax; }

// Record number of a character: the code for single bytes, 256 + its ku-ten cell otherwise;
// -1 when it has none.
int64_t recordOf(uint32_t code, int32_t *ku) {
  int32_t ten = 0;
  jFontSJISToKuTen(code, ku, &ten);
  if (*ku == 0) return code < kSingleByteRecords ? code : -1;
  if (*ku < 1 || ten < 1 || ten > kCells) return -1;
  return static_cast<int64_t>(kSingleByteRecords) + (*ku - 1) * kCells + (ten - 1);
}

}  // namespace

int32_t indxQuantise(int32_t v) {
  const int32_t t = v + 2;
  return (t >= 0 ? t / 4 : -((-t + 3) / 4)) * 4;
}

std::vector<uint8_t> packIndxFile(const std::vector<Glyph> &glyphs,
                                  const std::vector<Chunk> &leading) {
  int32_t rows = 0;
  for (const Glyph &glyph : glyphs) {
    int32_t ku = 0;
    if (recordOf(glyph.code, &ku) < 0) return {};
    rows = std::max(rows, ku);
  }
  ByteImage image;
  image.putText(0, kFileHeader);
  for (const Chunk &chunk : leading) {
    const size_t at = image.size();
    image.bytes.insert(image.bytes.end(), chunk.tag, chunk.tag + 4);
    image.put32(at + 4, static_cast<uint32_t>(chunk.content.size()));
    image.bytes.insert(image.bytes.end(), chunk.content.begin(), chunk.content.end());
  }
  const size_t indexSize = (kSingleByteRecords + static_cast<size_t>(rows) * kCells) * kRecordSize;
  const size_t indexAt = image.size() + kChunkHeaderSize;
  image.putText(indexAt - kChunkHeaderSize, "INDX");
  image.put32(indexAt - 4, static_cast<uint32_t>(indexSize));
  image.bytes.resize(indexAt + indexSize);

  for (const Glyph &glyph : glyphs) {
    int32_t ku = 0;
    const size_t recordAt = indexAt + static_cast<size_t>(recordOf(glyph.code, &ku)) * kRecordSize;
    image.put16(recordAt, static_cast<uint16_t>(glyph.code));
    for (int d = 0; d < 2; ++d) {
      const Outline &outline = glyph.outline[d];
      image.put32(recordAt + 2 + 4 * static_cast<size_t>(d), 0);
      if (!outline.present) continue;
      std::vector<uint16_t> words;
      if (!encodePoints(outline, &words)) return {};
      const size_t at = image.size();
      image.put32(recordAt + 2 + 4 * static_cast<size_t>(d), static_cast<uint32_t>(at));
      image.putText(at, "GLYF");
      image.put32(at + 4, static_cast<uint32_t>(kGlyphHeaderSize + 2 * words.size() + 4));
      uint8_t info[sizeof(JFontGlyphInfo)];
      std::memcpy(info, &outline.info, sizeof info);
      image.bytes.insert(image.bytes.end(), info, info + sizeof info);
      // Both direction blocks are filled, each with its own direction's values; origins are 0.
      for (int e = 0; e < 2; ++e) {
        const Outline &block = glyph.outline[e];
        if (!fitsWord(block.advance) || !fitsWord(block.margin)) return {};
        const size_t blockAt = image.size();
        image.put32(blockAt, 0);
        image.put16(blockAt + 4, static_cast<uint16_t>(block.advance));
        image.put16(blockAt + 6, static_cast<uint16_t>(block.margin));
      }
      for (uint16_t word : words) image.put16(image.size(), word);
      image.put32(image.size(), 0xFFFFFFFF);
    }
  }
  return image.bytes;
}

}  // namespace fontpack
