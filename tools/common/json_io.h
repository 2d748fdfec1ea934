// The point-array exchange format: the library's own records as JSON,
// {"format": "outlina-points", "version": 1, "points": [[mode, x, y, tag], ...]}.
#ifndef OUTLINA_TOOLS_JSON_IO_H
#define OUTLINA_TOOLS_JSON_IO_H

#include <ostream>
#include <string>

#include "outlina.h"
#include "outline_io.h"

namespace outlina::cli {

// Several layers as {"format": ..., "version": 1, "layers": [{"points": [...]}, ...]}, bottom
// first; one layer is written as a plain document.
void writeJson(std::ostream &to, const Layers &layers);
std::string jsonFromLayers(const Layers &layers);
std::string jsonFromPath(const JVect *path);
// Appends the records (of every layer) to path; false with a one-line reason for malformed
// input.
bool readJsonText(const std::string &text, JVect *path, std::string &error);
bool readJsonFile(const std::string &file, JVect *path, std::string &error);

}  // namespace outlina::cli

#endif
