// Shared body of the outline font file fuzz targets. An input is the Shift-JIS code (u16,
// little-endian), the direction (one signed byte), then the whole font file, which the target
// serves from an in-memory file through a handle of the given kind.
#ifndef OUTLINA_TESTS_FUZZ_FONT_FILE_FUZZ_H
#define OUTLINA_TESTS_FUZZ_FONT_FILE_FUZZ_H

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "font/readers.h"
#include "outlina.h"

namespace fuzzing {

constexpr size_t kRequestSize = 3;

// The glyph must either fail or report exactly what it appended, in the modes a reader emits.
inline void checkGlyph(int32_t result, const JVect *path) {
  if (result < -1) std::abort();
  if (result >= 0 && result != jVectGetNum(path)) std::abort();
  for (int32_t i = 0; i < jVectGetNum(path); ++i) {
    switch (jVectGetVd(path)[i].mode) {
      case JVM_START:
      case JVM_LINE:
      case JVM_ARC_MID:
      case JVM_ARC_END:
      case JVM_QUAD_CTRL:
      case JVM_QUAD_END:
      case JVM_BEZ_CTRL1:
      case JVM_BEZ_CTRL2:
      case JVM_BEZ_END:
        break;
      default:
        std::abort();
    }
  }
}

inline int readFontFileInput(int32_t kind, const uint8_t *data, size_t size) {
  static const int fd = memfd_create("outline-font-file", 0);
  if (fd < 0 || size < kRequestSize) return 0;
  const uint32_t code = static_cast<uint32_t>(data[0] | (data[1] << 8));
  const int32_t direction = static_cast<int8_t>(data[2]);
  if (ftruncate(fd, 0) != 0) return 0;
  const size_t fileSize = size - kRequestSize;
  if (fileSize > 0 &&
      pwrite(fd, data + kRequestSize, fileSize, 0) != static_cast<ssize_t>(fileSize)) {
    return 0;
  }
  JFontHandle handle{};
  handle.entry.kind = kind;
  handle.object = outlina::fontFileObject(fd);
  JVect *path = jVectOpen(16);
  JFontGlyphInfo info;
  JFontGlyphMetrics metrics;
  checkGlyph(jFontGlyphVect(&handle, code, direction, &info, &metrics, path), path);
  jVectClose(path);
  return 0;
}

}  // namespace fuzzing

#endif
