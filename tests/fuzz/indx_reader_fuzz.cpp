// libFuzzer target: whole INDX outline font files (kind 12) through jFontGlyphVect.
#include "fuzz/font_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzzing::readFontFileInput(JFK_INDX_FILE, data, size);
}
