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
