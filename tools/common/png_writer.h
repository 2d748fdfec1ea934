// A quick-look raster of outlines: filled (nonzero) in their layer colours on white.
#ifndef OUTLINA_TOOLS_PNG_WRITER_H
#define OUTLINA_TOOLS_PNG_WRITER_H

#include <string>

#include "outlina.h"
#include "outline_io.h"

namespace outlina::cli {

// The largest side of an image made at the fitting scale, in pixels.
constexpr double kPngLargestSide = 4000;
// Pixels per millimetre used when the drawing fits the largest side at that scale.
constexpr double kPngPixelsPerMm = 10;

// The scale that shows the layers with the margin at kPngPixelsPerMm, or smaller so that the
// image's longer side stays within kPngLargestSide.
double fittingPixelsPerMm(const Layers &layers, double marginMm);

// Renders the layers, each in its colour, at pixelsPerMm with a margin around their box; false
// with a reason when the image cannot be made or written.
bool writePng(const Layers &layers, const std::string &file, double pixelsPerMm, double marginMm,
              std::string &error);

}  // namespace outlina::cli

#endif
