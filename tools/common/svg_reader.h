// Reads outlines from SVG shapes: path, rect, circle, ellipse, polygon and polyline, with
// transforms. User units are taken as millimetres; y is turned up.
#ifndef OUTLINA_TOOLS_SVG_READER_H
#define OUTLINA_TOOLS_SVG_READER_H

#include <string>

#include "outlina.h"

namespace outlina::cli {

// Appends the shapes of the file to path. On failure returns false with a one-line reason
// (for a document that is not well-formed, with its line number).
bool readSvgFile(const std::string &file, JVect *path, std::string &error);
bool readSvgText(const std::string &text, JVect *path, std::string &error);

}  // namespace outlina::cli

#endif
