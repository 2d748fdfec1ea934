// libFuzzer target: whole ku-ten outline font files (kind 11) through jFontGlyphVect.
#include "fuzz/font_file_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  return fuzzing::readFontFileInput(JFK_KUTEN_FILE, data, size);
}
