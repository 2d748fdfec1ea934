#include "svg_writer.h"

#include <cstdio>
#include <sstream>
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

// Whether the layer has closed contours, open ones or both.
struct ContourKinds {
  bool closed = false, open = false;
};
ContourKinds contourKinds(const JVect *layer) {
  ContourKinds kinds;
  forEachContour(layer, [&kinds](const std::vector<Command> &contour) {
    (contour.back().op == Op::Close ? kinds.closed : kinds.open) = true;
  });
  return kinds;
}

// Writes head, the path data of the layer's closed or open contours and tail, one contour at a
// time: a large outline held as commands or as text would take several times the file's size.
void pathElement(std::ostream &out, const std::string &head, const JVect *layer, bool closed,
                 const char *tail) {
  out << head;
  std::string data;
  bool first = true;
  forEachContour(layer, [&](const std::vector<Command> &contour) {
    if ((contour.back().op == Op::Close) != closed) return;
    data.clear();
    for (const Command &c : contour) {
      if (!first) data += ' ';
      first = false;
      command(data, c);
    }
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
  });
  out << tail;
}

}  // namespace

std::string svgFromPath(const JVect *path, double marginMm) {
  return svgFromLayers({path}, marginMm);
}

std::string svgFromLayers(const Layers &layers, double marginMm) {
  std::ostringstream out;
  writeSvg(out, layers, marginMm);
  return std::move(out).str();
}

void writeSvg(std::ostream &out, const Layers &layers, double marginMm) {
  Vec2 min{0, 0}, max{0, 0};
  layerBounds(layers, min, max);
  const double x = min.x - marginMm, y = -max.y - marginMm;
  const double w = max.x - min.x + 2 * marginMm, h = max.y - min.y + 2 * marginMm;

  std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"";
  number(head, w);
  head += "mm\" height=\"";
  number(head, h);
  head += "mm\" viewBox=\"";
  for (const double v : {x, y, w, h}) {
    number(head, v);
    head += ' ';
  }
  head.back() = '"';
  head += ">\n";
  out << head;
  for (size_t i = 0; i < layers.size(); ++i) {
    const std::string colour = layerColour(i, layers.size()).name;
    const bool grouped = layers.size() > 1;
    const std::string indent = grouped ? "    " : "  ";
    const ContourKinds kinds = contourKinds(layers[i]);
    if (grouped) out << "  <g id=\"layer" << i + 1 << "\">\n";
    if (kinds.closed)
      pathElement(out, indent + "<path fill-rule=\"nonzero\" fill=\"" + colour + "\" d=\"",
                  layers[i], true, "\"/>\n");
    if (kinds.open) {
      std::string width;
      number(width, kOpenLineWidthMm);
      pathElement(out,
                  indent + "<path fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" + width +
                      "\" d=\"",
                  layers[i], false, "\"/>\n");
    }
    if (grouped) out << "  </g>\n";
  }
  out << "</svg>\n";
}

}  // namespace outlina::cli
