// Positioned reads from an outline font file, through the descriptor kept in the handle.
#include "font/file_read.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <unistd.h>

#include "font/readers.h"

namespace outlina {

size_t fontFileRead(const JFontHandle *handle, uint64_t offset, void *buffer, size_t size) {
  const int fd = fontFileDescriptor(handle);
  if (fd < 0) return 0;
  auto *out = static_cast<uint8_t *>(buffer);
  size_t done = 0;
  while (done < size) {
    const uint64_t at = offset + done;
    if (at > static_cast<uint64_t>(std::numeric_limits<off_t>::max())) break;
    const ssize_t n = pread(fd, out + done, size - done, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

size_t FontFileWindow::read(uint64_t offset, void *buffer, size_t size) {
  if (size > kBlockSize) return fontFileRead(handle_, offset, buffer, size);
  // The block answers when it holds the whole range, or when the file ends inside it and the
  // range begins there.
  const bool inBlock = filled_ && offset >= start_ && offset - start_ <= length_;
  const bool answers =
      inBlock && (length_ - (offset - start_) >= size || length_ < kBlockSize);
  if (!answers) {
    start_ = offset;
    length_ = fontFileRead(handle_, offset, block_, kBlockSize);
    filled_ = true;
  }
  const size_t got = std::min(size, length_ - static_cast<size_t>(offset - start_));
  std::memcpy(buffer, block_ + (offset - start_), got);
  return got;
}

}  // namespace outlina
