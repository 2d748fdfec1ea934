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

std::string pathData(const std::vector<Command> &commands) {
  std::string d;
  for (const Command &c : commands) {
    if (!d.empty()) d += ' ';
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
  return d;
}

}  // namespace

std::string svgFromPath(const JVect *path, double marginMm) {
  const std::vector<Command> commands = commandsFromPath(path);
  Vec2 min{0, 0}, max{0, 0};
  commandBounds(commands, min, max);
  const double x = min.x - marginMm, y = -max.y - marginMm;
  const double w = max.x - min.x + 2 * marginMm, h = max.y - min.y + 2 * marginMm;

  const std::string filled = pathData(contoursWhere(commands, true));
  const std::string open = pathData(contoursWhere(commands, false));

  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"";
  number(svg, w);
  svg += "mm\" height=\"";
  number(svg, h);
  svg += "mm\" viewBox=\"";
  number(svg, x);
  svg += ' ';
  number(svg, y);
  svg += ' ';
  number(svg, w);
  svg += ' ';
  number(svg, h);
  svg += "\">\n";
  if (!filled.empty())
    svg += "  <path fill-rule=\"nonzero\" fill=\"black\" d=\"" + filled + "\"/>\n";
  if (!open.empty()) {
    svg += "  <path fill=\"none\" stroke=\"black\" stroke-width=\"";
    number(svg, kOpenLineWidthMm);
    svg += "\" d=\"" + open + "\"/>\n";
  }
  svg += "</svg>\n";
  return svg;
}

}  // namespace outlina::cli
