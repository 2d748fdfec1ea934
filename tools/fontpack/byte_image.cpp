// Little-endian file images with absolute writes, and writing them out.
#include <cstdio>

#include "fontpack.h"

namespace fontpack {

void ByteImage::put8(size_t at, uint8_t v) {
  if (bytes.size() < at + 1) bytes.resize(at + 1);
  bytes[at] = v;
}

void ByteImage::put16(size_t at, uint16_t v) {
  put8(at, static_cast<uint8_t>(v));
  put8(at + 1, static_cast<uint8_t>(v >> 8));
}

void ByteImage::put32(size_t at, uint32_t v) {
  put16(at, static_cast<uint16_t>(v));
  put16(at + 2, static_cast<uint16_t>(v >> 16));
}

void ByteImage::putText(size_t at, const char *text) {
  for (size_t i = 0; text[i] != '\0'; ++i) put8(at + i, static_cast<uint8_t>(text[i]));
}

bool writeFileBytes(const std::string &path, const std::vector<uint8_t> &bytes) {
  FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace fontpack
