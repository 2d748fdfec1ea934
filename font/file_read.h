// Positioned reads from the file of a font-file handle (kinds 11 and 12). Every read names its
// absolute offset, so a handle keeps no reading position between glyphs.
#ifndef OUTLINA_FONT_FILE_READ_H
#define OUTLINA_FONT_FILE_READ_H

#include <cstddef>
#include <cstdint>

#include "outlina/font.h"

namespace outlina {

// The bytes delivered: fewer than size at the end of the file, 0 when the handle has no open
// file or the offset lies beyond the end.
size_t fontFileRead(const JFontHandle *handle, uint64_t offset, void *buffer, size_t size);

// True only when all size bytes were delivered; a truncated file never yields stale bytes.
inline bool fontFileReadAll(const JFontHandle *handle, uint64_t offset, void *buffer,
                            size_t size) {
  return fontFileRead(handle, offset, buffer, size) == size;
}

// One glyph's reads from a font-file handle, served from a block of the file that is read
// when a request falls outside it: a glyph then costs a few system calls instead of one per
// point. Every read delivers what fontFileRead would; nothing is kept between glyphs.
class FontFileWindow {
 public:
  explicit FontFileWindow(const JFontHandle *handle) : handle_(handle) {}
  FontFileWindow(const FontFileWindow &) = delete;
  FontFileWindow &operator=(const FontFileWindow &) = delete;

  // As fontFileRead.
  size_t read(uint64_t offset, void *buffer, size_t size);
  // As fontFileReadAll.
  bool readAll(uint64_t offset, void *buffer, size_t size) {
    return read(offset, buffer, size) == size;
  }

 private:
  // Bytes per block: the point list of a typical glyph fits.
  static constexpr size_t kBlockSize = 4096;

  const JFontHandle *handle_;
  uint64_t start_ = 0;  // file offset of block_[0]
  size_t length_ = 0;   // bytes in the block; fewer than kBlockSize when the file ends there
  bool filled_ = false;
  uint8_t block_[kBlockSize];
};

// Little-endian fields of a byte buffer.
inline uint16_t fontLe16(const uint8_t *p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t fontLe32(const uint8_t *p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace outlina

#endif
