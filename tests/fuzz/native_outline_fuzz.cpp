// libFuzzer target: the installed-font reader parsing native outline buffers. An input is the
// request (direction, refusals, descent, cell advance), then the buffer that a substituted
// outline service hands the reader, as a font engine would.
#include <cstdint>
#include <cstring>

#include "font/native_outline.h"
#include "fuzz/font_file_fuzz.h"

namespace {

struct Request {
  int8_t direction;
  uint8_t refusals;  // bit 1: the full-size request is refused, bit 2: the half-size retry
  int16_t descent;
  int16_t incX;
  int16_t incY;
};

Request request;
const uint8_t *buffer;
uint32_t bufferSize;

// One in 16.16, the scale of a full-size request's matrix.
constexpr int32_t kFixedOneUnit = 65536;

const outlina::FontOutlineService kService{
    [](JFontHandle *) -> int32_t { return request.descent; },
    [](JFontHandle *, uint32_t, const outlina::FontMat2 &m, outlina::FontGlyphCell *cell,
       const uint8_t **outline) -> int32_t {
      const bool fullSize = m.m11 == kFixedOneUnit || m.m21 == kFixedOneUnit;
      if (request.refusals & (fullSize ? 1 : 2)) return -1;
      *cell = {request.incX, request.incY};
      *outline = buffer;
      return static_cast<int32_t>(bufferSize);
    }};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < sizeof request) return 0;
  std::memcpy(&request, data, sizeof request);
  buffer = data + sizeof request;
  bufferSize = static_cast<uint32_t>(size - sizeof request);
  outlina::fontSetOutlineService(&kService);
  JFontHandle handle{};
  handle.entry.kind = JFK_TTF;
  JVect *path = jVectOpen(16);
  JFontGlyphInfo info;
  JFontGlyphMetrics metrics;
  fuzzing::checkGlyph(jFontGlyphVect(&handle, 0x889F, request.direction, &info, &metrics, path),
                      path);
  jVectClose(path);
  return 0;
}
