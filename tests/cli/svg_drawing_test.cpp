// The outline read from SVG drawings against Cairo's own painting of the same geometry: every
// file under svg/ carries its expected shapes in "expect" comments, written out by hand as plain
// paths, circles and rounded rectangles with their fill rules or stroke settings.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "outline_io.h"
#include "support/path_builder.h"
#include "svg_reader.h"

using namespace outlina::cli;
using testing_support::PathPtr;

namespace {

// Every drawing lies within this square of millimetres (y down), sampled this finely.
constexpr double kCanvasOriginMm = -5;
constexpr double kCanvasMm = 110;
constexpr double kPixelsPerMm = 8;
constexpr int kSide = static_cast<int>(kCanvasMm * kPixelsPerMm);
constexpr double kMinAgreement = 0.99;

// An unantialiased coverage canvas in millimetres; never copied.
struct Mask {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_A8, kSide, kSide);
  cairo_t *cr = cairo_create(surface);
  Mask() {
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_scale(cr, kPixelsPerMm, kPixelsPerMm);
    cairo_translate(cr, -kCanvasOriginMm, -kCanvasOriginMm);
  }
  ~Mask() {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  bool at(int x, int y) const {
    return cairo_image_surface_get_data(surface)[y * cairo_image_surface_get_stride(surface) + x];
  }
};

// Set pixels of both masks over set pixels of either.
double agreement(const Mask &a, const Mask &b) {
  long both = 0, either = 0;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      both += a.at(x, y) && b.at(x, y);
      either += a.at(x, y) || b.at(x, y);
    }
  return either == 0 ? 0 : static_cast<double>(both) / either;
}

// The outline, y turned back down, filled under the nonzero rule.
void paintOutline(const JVect *path, Mask &mask) {
  cairo_t *cr = mask.cr;
  for (const Command &c : commandsFromPath(path)) {
    const Vec2 p = c.op == Op::Quad ? c.p[1] : c.op == Op::Cubic ? c.p[2] : c.p[0];
    if (c.op == Op::Move) cairo_move_to(cr, p.x, -p.y);
    if (c.op == Op::Line) cairo_line_to(cr, p.x, -p.y);
    if (c.op == Op::Close) cairo_close_path(cr);
    if (c.op == Op::Cubic) cairo_curve_to(cr, c.p[0].x, -c.p[0].y, c.p[1].x, -c.p[1].y, p.x, -p.y);
    if (c.op == Op::Quad) {
      double x0, y0;
      cairo_get_current_point(cr, &x0, &y0);
      const Vec2 q{c.p[0].x, -c.p[0].y};
      cairo_curve_to(cr, x0 + 2.0 / 3 * (q.x - x0), y0 + 2.0 / 3 * (q.y - y0),
                     p.x + 2.0 / 3 * (q.x - p.x), -p.y + 2.0 / 3 * (q.y + p.y), p.x, -p.y);
    }
  }
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_fill(cr);
}

// A quarter of an ellipse around (cx, cy) from angle a, as Cairo draws arcs.
void ellipseArc(cairo_t *cr, double cx, double cy, double rx, double ry, double a, double b) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_arc(cr, 0, 0, 1, a, b);
  cairo_restore(cr);
}

// One expected shape: "fill RULE OPS" or "stroke WIDTH CAP JOIN [dash A,B] OPS", where OPS are
// M x y, L x y, Z, E cx cy rx ry (ellipse), R x y w h rx ry (rounded box).
void paintExpected(const std::string &line, Mask &mask) {
  cairo_t *cr = mask.cr;
  std::istringstream in(line);
  std::string kind, word;
  in >> kind;
  if (kind == "fill") {
    in >> word;
    cairo_set_fill_rule(cr, word == "evenodd" ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
  } else {
    double width;
    std::string cap, join;
    in >> width >> cap >> join;
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, cap == "round"    ? CAIRO_LINE_CAP_ROUND
                           : cap == "square" ? CAIRO_LINE_CAP_SQUARE
                                             : CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, join == "round"   ? CAIRO_LINE_JOIN_ROUND
                            : join == "bevel" ? CAIRO_LINE_JOIN_BEVEL
                                              : CAIRO_LINE_JOIN_MITER);
    double dashes[2] = {0, 0};
    if (in >> std::ws && in.peek() == 'd') {
      char comma;
      in >> word >> dashes[0] >> comma >> dashes[1];
    }
    cairo_set_dash(cr, dashes, dashes[0] > 0 ? 2 : 0, 0);
  }
  constexpr double kQuarter = M_PI / 2;
  double v[6];
  while (in >> word) {
    const int count = word == "R" ? 6 : word == "E" ? 4 : word == "Z" ? 0 : 2;
    for (int i = 0; i < count; ++i) in >> v[i];
    if (word == "M") cairo_move_to(cr, v[0], v[1]);
    if (word == "L") cairo_line_to(cr, v[0], v[1]);
    if (word == "Z") cairo_close_path(cr);
    if (word == "E") {
      cairo_new_sub_path(cr);
      ellipseArc(cr, v[0], v[1], v[2], v[3], 0, 4 * kQuarter);
      cairo_close_path(cr);
    }
    if (word == "R") {
      const double x = v[0], y = v[1], w = v[2], h = v[3], rx = v[4], ry = v[5];
      cairo_new_sub_path(cr);
      ellipseArc(cr, x + w - rx, y + ry, rx, ry, -kQuarter, 0);
      ellipseArc(cr, x + w - rx, y + h - ry, rx, ry, 0, kQuarter);
      ellipseArc(cr, x + rx, y + h - ry, rx, ry, kQuarter, 2 * kQuarter);
      ellipseArc(cr, x + rx, y + ry, rx, ry, 2 * kQuarter, 3 * kQuarter);
      cairo_close_path(cr);
    }
  }
  if (kind == "fill")
    cairo_fill(cr);
  else
    cairo_stroke(cr);
}

// The lines of every "<!-- expect ... -->" comment of the drawing.
std::vector<std::string> expectedShapes(const std::string &svg) {
  std::vector<std::string> lines;
  for (size_t at = svg.find("<!-- expect"); at != std::string::npos;
       at = svg.find("<!-- expect", at + 1)) {
    std::istringstream block(svg.substr(at, svg.find("-->", at) - at));
    std::string line;
    std::getline(block, line);
    while (std::getline(block, line))
      if (line.find_first_not_of(' ') != std::string::npos) lines.push_back(line);
  }
  return lines;
}

double agreementOf(const std::string &svg) {
  PathPtr path(jVectOpen(256));
  std::string error;
  EXPECT_TRUE(readSvgOutlineText(svg, path.get(), error)) << error;
  Mask outline, expected;
  paintOutline(path.get(), outline);
  for (const std::string &shape : expectedShapes(svg)) paintExpected(shape, expected);
  return agreement(outline, expected);
}

std::string fileText(const std::string &name) {
  std::ifstream in(std::string(OUTLINA_CLI_SVG_DIR) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(SvgDrawing, EachFeatureFileMatchesItsExpectedShapes) {
  for (const char *name :
       {"fill_rules.svg", "use_switch.svg", "nested_viewport.svg", "units.svg", "rounded_rect.svg",
        "root_transform.svg", "hidden.svg", "unclosed.svg", "strokes.svg"}) {
    const std::string svg = fileText(name);
    ASSERT_FALSE(svg.empty()) << name;
    const double a = agreementOf(svg);
    std::printf("%-20s agreement %.4f\n", name, a);
    EXPECT_GE(a, kMinAgreement) << name;
  }
}

}  // namespace
