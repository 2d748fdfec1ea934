// Outlines as drawing commands in standard form (cubic controls as ordinary Bézier handles),
// the common ground of the SVG, PNG and JSON sides of the command-line program.
#ifndef OUTLINA_TOOLS_OUTLINE_IO_H
#define OUTLINA_TOOLS_OUTLINE_IO_H

#include <functional>
#include <string>
#include <vector>

#include "outlina.h"

namespace outlina::cli {

// Coordinates beyond this many millimetres from the origin are refused on reading as absurd.
constexpr double kMaxCoordinateMm = 1.0e6;
// Room around the outlines on a written page and image.
constexpr double kPageMarginMm = 1.0;

struct Vec2 {
  double x, y;
};

enum class Op { Move, Line, Quad, Cubic, Close };

struct Command {
  Op op;
  Vec2 p[3];  // Move/Line: p[0]; Quad: control p[0], end p[1]; Cubic: p[0], p[1], end p[2]
};

// The path's contours as commands. Arcs become cubics; a contour whose last point repeats its
// start is closed. Malformed curve runs are drawn as lines rather than dropped. The visiting
// form hands over one contour at a time, so that a large outline is never held as commands.
std::vector<Command> commandsFromPath(const JVect *path);
using ContourVisit = std::function<void(const std::vector<Command> &contour)>;
void forEachContour(const JVect *path, const ContourVisit &visit);

// The contours of commands that are closed (closed = true) or open (false), in their order.
// Closed contours are filled; open ones, such as dashes, are drawn as lines.
std::vector<Command> contoursWhere(const std::vector<Command> &commands, bool closed);

// Appends the commands to path in the library's own form (three-quarter cubic controls).
// Returns false when a point cannot be added.
bool appendCommands(JVect *path, const std::vector<Command> &commands);

// Reads a whole file and hands its text to parse, which appends to path and may release the
// text once it is done with it; on failure the error names the file. A folder, an empty file or
// one that is plainly not text (compressed, an image, an archive) is refused with what it looks
// like.
using TextParser = std::function<bool(std::string &text, JVect *path, std::string &error)>;
bool readFileWith(const std::string &file, JVect *path, std::string &error,
                  const TextParser &parse);

// Bounding box of the commands' points (controls included); false when there are none.
bool commandBounds(const std::vector<Command> &commands, Vec2 &min, Vec2 &max);

// Pieces that are cut separately, such as a shadow and the outlines over it, in drawing order.
using Layers = std::vector<const JVect *>;

struct Colour {
  const char *name;  // as SVG writes it
  double r, g, b;    // 0 to 1
};
// The top layer is black; the layers under it take distinct colours in turn.
const Colour &layerColour(size_t index, size_t count);

// The common bounding box of the layers; false when all are empty.
bool layerBounds(const Layers &layers, Vec2 &min, Vec2 &max);

// The items between separators, empty ones included: option values and attribute lists.
std::vector<std::string> splitList(const std::string &text, char separator);

}  // namespace outlina::cli

#endif
