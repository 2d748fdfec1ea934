// Reads SVG drawings: path, rect (rounded too), circle, ellipse, line, polygon and polyline,
// through g, a, use, switch and nested svg, with transforms, lengths in units and the
// presentation properties that decide what is painted. y is turned up.
//
// The page: a root with an absolute width and height (px at 96 per inch, mm, cm, in, pt, pc) is
// measured in millimetres through the scale of its viewBox; a root without one is taken one
// millimetre to the user unit. The user space's origin stays where it is.
#ifndef OUTLINA_TOOLS_SVG_READER_H
#define OUTLINA_TOOLS_SVG_READER_H

#include <string>

#include "outlina.h"

namespace outlina::cli {

// Groups, svg and use elements nest at most this deep; deeper documents are refused rather than
// followed to the bottom of the stack.
constexpr int kSvgMaxNesting = 256;

struct SvgReading {
  bool strokes = true;  // false leaves the strokes out of the outline
  // A stroke that its dash pattern would cut into more pieces is refused: far more dashes than
  // any drawing shows, and a tiny pattern on a long stroke would otherwise fill memory.
  int mostDashes = 20000;
};

// The outline of the drawing as it is painted: every filled element under its own fill rule,
// every stroke widened into its silhouette, all joined into one region of outer contours and
// holes. False with a one-line reason naming the element and its line for unusable input.
bool readSvgOutlineText(const std::string &text, JVect *path, std::string &error,
                        const SvgReading &how = {});
bool readSvgOutlineFile(const std::string &file, JVect *path, std::string &error,
                        const SvgReading &how = {});

// The shapes' contours as they are written, one after another, painted or not, without fill
// rules and with open subpaths left open: the source geometry itself.
bool readSvgText(const std::string &text, JVect *path, std::string &error);
bool readSvgFile(const std::string &file, JVect *path, std::string &error);

}  // namespace outlina::cli

#endif
