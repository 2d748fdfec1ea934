#include "svg_writer.h"

#include <cstdio>
#include <string>

#include "outline_io.h"

namespace outlina::cli {

const double kOpenLineWidthMm = 0.1;

namespace {

// Six decimals of a millimetre keep a round trip well inside a micrometre.
void number(std::string &out, double v) {
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.6f", v);
  std::string text = buffer;
  text.erase(text.find_last_not_of('0') + 1);
  if (text.back() == '.') text.pop_back();
  if (text == "-0") text = "0";
  out += text;
}

// SVG's y axis points down: a point (x, y) of the library is drawn at (x, -y).
void point(std::string &out, Vec2 p) {
  out += ' ';
  number(out, p.x);
  out += ' ';
  number(out, -p.y);
}

void command(std::string &d, const Command &c) {
  switch (c.op) {
    case Op::Move:
      d += 'M';
      point(d, c.p[0]);
      break;
    case Op::Line:
      d += 'L';
      point(d, c.p[0]);
      break;
    case Op::Quad:
      d += 'Q';
      point(d, c.p[0]);
      point(d, c.p[1]);
      break;
    case Op::Cubic:
      d += 'C';
      point(d, c.p[0]);
      point(d, c.p[1]);
      point(d, c.p[2]);
      break;
    case Op::Close:
      d += 'Z';
      break;
  }
}

// Appends head, the path data of the layer's closed or open contours and tail to svg, one
// contour at a time: a large outline held as commands or as separate strings would take
// several times the file's size. Nothing is appended when no contour is of the kind.
void pathElement(std::string &svg, const std::string &head, const JVect *layer, bool closed,
                 const char *tail) {
  const size_t mark = svg.size();
  svg += head;
  const size_t data = svg.size();
  forEachContour(layer, [&](const std::vector<Command> &contour) {
    if ((contour.back().op == Op::Close) != closed) return;
    for (const Command &c : contour) {
      if (svg.size() != data) svg += ' ';
      command(svg, c);
    }
  });
  if (svg.size() == data)
    svg.resize(mark);
  else
    svg += tail;
}

}  // namespace

std::string svgFromPath(const JVect *path, double marginMm) {
  return svgFromLayers({path}, marginMm);
}

std::string svgFromLayers(const Layers &layers, double marginMm) {
  Vec2 min{0, 0}, max{0, 0};
  layerBounds(layers, min, max);
  const double x = min.x - marginMm, y = -max.y - marginMm;
  const double w = max.x - min.x + 2 * marginMm, h = max.y - min.y + 2 * marginMm;

  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"";
  number(svg, w);
  svg += "mm\" height=\"";
  number(svg, h);
  svg += "mm\" viewBox=\"";
  for (const double v : {x, y, w, h}) {
    number(svg, v);
    svg += ' ';
  }
  svg.back() = '"';
  svg += ">\n";
  for (size_t i = 0; i < layers.size(); ++i) {
    const std::string colour = layerColour(i, layers.size()).name;
    const bool grouped = layers.size() > 1;
    const std::string indent = grouped ? "    " : "  ";
    if (grouped) svg += "  <g id=\"layer" + std::to_string(i + 1) + "\">\n";
    pathElement(svg, indent + "<path fill-rule=\"nonzero\" fill=\"" + colour + "\" d=\"", layers[i],
                true, "\"/>\n");
    std::string width;
    number(width, kOpenLineWidthMm);
    pathElement(svg,
                indent + "<path fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" + width +
                    "\" d=\"",
                layers[i], false, "\"/>\n");
    if (grouped) svg += "  </g>\n";
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace outlina::cli
