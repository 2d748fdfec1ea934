// Writes outlines (coordinates in millimetres, y up) as an SVG document sized in millimetres.
#ifndef OUTLINA_TOOLS_SVG_WRITER_H
#define OUTLINA_TOOLS_SVG_WRITER_H

#include <ostream>
#include <string>

#include "outlina.h"
#include "outline_io.h"

namespace outlina::cli {

// Open contours (dashes, lines) are drawn as lines this wide; they have no area to fill.
extern const double kOpenLineWidthMm;

// One path element for all closed contours, fill-rule nonzero, and one stroked path element for
// the open contours; y turned down; the page is the outlines' box plus margin on every side. An
// empty path gives a valid empty document.
std::string svgFromPath(const JVect *path, double marginMm);
// The same with one group per layer, each in its own colour, the last on top.
std::string svgFromLayers(const Layers &layers, double marginMm);
// The same document written to out as it is produced, so that it is never held whole; the
// stream's state tells whether it was written.
void writeSvg(std::ostream &out, const Layers &layers, double marginMm);

}  // namespace outlina::cli

#endif
