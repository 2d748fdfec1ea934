// Reads the fuzz bytes as an SVG document, or, when they do not start with '<', as the path
// data of one path element, both through the outline reader and the plain reader.
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
  outlina::cli::readSvgOutlineText(text, path, error, how);
  jVectClear(path);
  outlina::cli::readSvgText(text, path, error);
  jVectClose(path);
  return 0;
}
