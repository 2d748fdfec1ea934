// Positioned reads from an outline font file, through the descriptor kept in the handle.
#include "font/file_read.h"

#include <cerrno>
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

}  // namespace outlina
