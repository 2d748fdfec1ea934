// Reads the fuzz bytes as an SVG document, or, when they do not start with '<', as the path
// data of one path element, through the plain reader and, for small drawings, the outline reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "outlina.h"
#include "svg_reader.h"

namespace {

// Long enough for nested groups, uses and every path command; short enough to stay fast.
constexpr size_t kMaxBytes = 512;
// Thousands of dashes, or curves and round joins at the finest resolution, are honest work
// for the combine, which has its own target: here they would only make single inputs slow.
constexpr int kMostDashes = 100;
constexpr int32_t kCurveDivisions = 4;
constexpr float kCurveAngle = 120.0f;
// The outline is read only from drawings of at most this many points as written. The reader's
// own work is the same for small drawings; the many crossings of a larger one's strokes are the
// combine's work, fuzzed by its own target, and here took up to a third of a second an input.
// At 64 points a ten-minute run grew the corpus to a rate of some 800 inputs a second; 40 points
// run 1,500.
constexpr int32_t kMostOutlinePoints = 40;

std::string asDocument(const uint8_t *data, size_t size) {
  std::string text(reinterpret_cast<const char *>(data), size);
  if (!text.empty() && text[0] == '<') return text;
  // Path data goes into an attribute: characters that would end it become spaces.
  for (char &c : text)
    if (c == '"' || c == '<' || c == '&' || c == 0) c = ' ';
  return "<svg xmlns='http://www.w3.org/2000/svg'><path stroke='black' d=\"" + text + "\"/></svg>";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > kMaxBytes) return -1;
  const std::string text = asDocument(data, size);
  std::string error;
  jVectSetCurveRes(kCurveDivisions, kCurveAngle);
  const outlina::cli::SvgReading how{true, kMostDashes};
  JVect *path = jVectOpen(64);
  if (outlina::cli::readSvgText(text, path, error) && jVectGetNum(path) <= kMostOutlinePoints) {
    jVectClear(path);
    outlina::cli::readSvgOutlineText(text, path, error, how);
  }
  jVectClose(path);
  return 0;
}
