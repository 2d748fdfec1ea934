// Reader of the INDX outline font file (kind 12): a chunk file whose "INDX" chunk points to one
// glyph chunk per character and direction, each carrying its own glyph info and metrics.
#include <cstdint>
#include <cstring>

#include "font/file_read.h"
#include "font/readers.h"
#include "outlina/fit.h"

namespace outlina {
namespace {

constexpr uint64_t kFirstChunkAt = 12;  // chunks follow a 12-byte file header
constexpr uint64_t kChunkHeaderSize = 8;  // 4-byte tag, u32 content size
constexpr uint64_t kLastFilePosition = 0xFFFFFFFF;  // file positions of the format are u32
constexpr int64_t kSingleByteRecords = 256;  // records 0 to 255 belong to single-byte codes
constexpr int32_t kCells = 94;
constexpr uint64_t kRecordSize = 10;
constexpr uint64_t kGlyphInfoAt = 8;     // past the glyph chunk's own tag and size
constexpr size_t kGlyphHeaderSize = 30;  // glyph info, then origin, advance, margin per direction
constexpr uint64_t kPointsAt = kGlyphInfoAt + kGlyphHeaderSize;
constexpr uint16_t kEndWord = 0xFFFF;  // a pair of these ends the point list
constexpr int16_t kSkip = 0;

// Point mode by (x & 3) * 4 + (y & 3); kSkip marks combinations that carry no point.
constexpr int16_t kModes[16] = {
    JVM_START,     JVM_LINE,     kSkip,       kSkip,          //
    JVM_ARC_MID,   JVM_ARC_END,  JVM_QUAD_CTRL, JVM_QUAD_END, //
    JVM_BEZ_CTRL1, JVM_BEZ_CTRL2, JVM_BEZ_END, kSkip,         //
    kSkip,         kSkip,        kSkip,       kSkip};

struct IndexChunk {
  uint64_t at = 0;    // first byte of the content
  uint32_t size = 0;  // content size in bytes
};

// Walks the chunks from the file header to the one tagged "INDX"; false when the file ends or
// a chunk reaches past the format's 32-bit positions first.
bool findIndexChunk(FontFileWindow &file, IndexChunk *index) {
  uint64_t at = kFirstChunkAt;
  for (;;) {
    uint8_t tag[4];
    uint8_t size[4];
    if (!file.readAll(at, tag, sizeof tag)) return false;
    if (!file.readAll(at + 4, size, sizeof size)) return false;
    if (std::memcmp(tag, "INDX", 4) == 0) {
      index->at = at + kChunkHeaderSize;
      index->size = fontLe32(size);
      return true;
    }
    at += kChunkHeaderSize + fontLe32(size);
    if (at > kLastFilePosition) return false;
  }
}

// The word's coordinate: its mode bits cleared by a division truncating toward zero.
int32_t indxCoordinate(int16_t word, int32_t origin) { return word / 4 * 4 - origin; }

// Appends the point pairs from at to the terminator; false when the file ends first.
bool readIndxPoints(FontFileWindow &file, uint64_t at, int32_t ox, int32_t oy, JVect *path) {
  PathAppender out(path);
  for (;; at += 4) {
    uint8_t pair[4];
    if (!file.readAll(at, pair, sizeof pair)) return false;
    const uint16_t xWord = fontLe16(pair);
    const uint16_t yWord = fontLe16(pair + 2);
    if (xWord == kEndWord && yWord == kEndWord) return true;
    const int16_t mode = kModes[(xWord & 3) * 4 + (yWord & 3)];
    if (mode == kSkip) continue;
    out.add(mode, static_cast<float>(indxCoordinate(static_cast<int16_t>(xWord), ox)),
            static_cast<float>(indxCoordinate(static_cast<int16_t>(yWord), oy)));
  }
}

}  // namespace

int32_t fontReadIndxGlyph(JFontHandle *handle, uint32_t code, int32_t direction,
                          JFontGlyphInfo *info, JFontGlyphMetrics *metrics, JVect *path,
                          int32_t em) {
  (void)em;  // every advance and margin comes from the file
  int32_t ku = 0;
  int32_t ten = 0;
  jFontSJISToKuTen(code, &ku, &ten);
  fontGlyphDefaults(code, direction, info, metrics);

  FontFileWindow file(handle);
  IndexChunk index;
  if (!findIndexChunk(file, &index)) return 0;
  if (direction != 0 && direction != 1) return 0;
  const int64_t records = index.size / kRecordSize;
  int64_t record = 0;
  if (ku >= 1) {
    const int64_t rows = (records - kSingleByteRecords) / kCells;
    if (ku > rows || ten < 1 || ten > kCells) return 0;
    record = kSingleByteRecords + static_cast<int64_t>(ku - 1) * kCells + (ten - 1);
  } else if (ku == 0) {
    record = ten;
  } else {
    return 0;  // a double-byte code that the conversion rejects
  }
  // The record must lie inside the index chunk, also for a single-byte code of a short index.
  if (record < 0 || record >= records) return 0;

  uint8_t entry[kRecordSize];
  if (!file.readAll(index.at + static_cast<uint64_t>(record) * kRecordSize, entry,
                    sizeof entry)) {
    return 0;
  }
  const uint32_t position = fontLe32(entry + 2 + 4 * direction);
  if (position == 0) return 0;

  uint8_t header[kGlyphHeaderSize];
  if (!file.readAll(position + kGlyphInfoAt, header, sizeof header)) return 0;
  const uint8_t *block = header + sizeof(JFontGlyphInfo) + 8 * direction;
  const int32_t ox = static_cast<int16_t>(fontLe16(block));
  const int32_t oy = static_cast<int16_t>(fontLe16(block + 2));
  if (!readIndxPoints(file, position + kPointsAt, ox, oy, path)) return 0;
  jVectArcToBez(path);

  std::memcpy(info, header, sizeof(JFontGlyphInfo));
  metrics->originX = 0;
  metrics->originY = 0;
  metrics->advance = static_cast<int16_t>(fontLe16(block + 4));
  metrics->margin = static_cast<int16_t>(fontLe16(block + 6));
  return 1;
}

}  // namespace outlina
