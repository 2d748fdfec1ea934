// A quick-look raster of outlines: black fill (nonzero) on white.
#ifndef OUTLINA_TOOLS_PNG_WRITER_H
#define OUTLINA_TOOLS_PNG_WRITER_H

#include <string>

#include "outlina.h"

namespace outlina::cli {

// Renders at pixelsPerMm with a margin around the outlines' box; false with a reason when the
// image cannot be made or written.
bool writePng(const JVect *path, const std::string &file, double pixelsPerMm, double marginMm,
              std::string &error);

}  // namespace outlina::cli

#endif
