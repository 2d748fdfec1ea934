// Reads the fuzz bytes as a point-array document; what reads must write and read back alike.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "json_io.h"
#include "outlina.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  std::string error;
  JVect *path = jVectOpen(16);
  JVect *back = jVectOpen(16);
  if (outlina::cli::readJsonText(text, path, error) &&
      (!outlina::cli::readJsonText(outlina::cli::jsonFromPath(path), back, error) ||
       jVectGetNum(back) != jVectGetNum(path)))
    std::abort();
  jVectClose(back);
  jVectClose(path);
  return 0;
}
