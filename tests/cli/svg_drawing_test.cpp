// The outline read from SVG drawings against librsvg's painting of the same files: each file
// under svg/ exercises one part of the language.
#include <cairo.h>
#include <gtest/gtest.h>
#include <librsvg/rsvg.h>

#include <fstream>
#include <sstream>
#include <string>

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
// CSS pixels, in which SVG measures its absolute units.
constexpr double kPixelsPerInch = 96;
constexpr double kMillimetresPerPixel = 25.4 / kPixelsPerInch;
constexpr unsigned char kHalfCovered = 128;

// A coverage canvas in millimetres; never copied.
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
  // Antialiased edge pixels count where at least half covered.
  bool at(int x, int y) const {
    const int stride = cairo_image_surface_get_stride(surface);
    return cairo_image_surface_get_data(surface)[y * stride + x] >= kHalfCovered;
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

// The same drawing painted by librsvg, an SVG implementation of its own, with the page taken as
// the reader takes it: a sized page in millimetres (96 px an inch), else a millimetre a unit.
void paintWithRsvg(const std::string &svg, Mask &mask) {
  RsvgHandle *handle =
      rsvg_handle_new_from_data(reinterpret_cast<const guint8 *>(svg.data()), svg.size(), nullptr);
  ASSERT_NE(handle, nullptr);
  rsvg_handle_set_dpi(handle, kPixelsPerInch);
  RsvgRectangle page{0, 0, kCanvasMm, kCanvasMm};
  double width, height;
  if (rsvg_handle_get_intrinsic_size_in_pixels(handle, &width, &height))
    page = {0, 0, width * kMillimetresPerPixel, height * kMillimetresPerPixel};
  EXPECT_TRUE(rsvg_handle_render_document(handle, mask.cr, &page, nullptr));
  g_object_unref(handle);
  cairo_surface_flush(mask.surface);
}

double agreementOf(const std::string &svg) {
  PathPtr path(jVectOpen(256));
  std::string error;
  EXPECT_TRUE(readSvgOutlineText(svg, path.get(), error)) << error;
  Mask outline, expected;
  paintOutline(path.get(), outline);
  paintWithRsvg(svg, expected);
  return agreement(outline, expected);
}

std::string fileText(const std::string &name) {
  std::ifstream in(std::string(OUTLINA_CLI_SVG_DIR) + "/" + name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(SvgDrawing, EachFeatureFileAgreesWithLibrsvg) {
  for (const char *name :
       {"fill_rules.svg", "use_switch.svg", "nested_viewport.svg", "units.svg", "rounded_rect.svg",
        "root_transform.svg", "hidden.svg", "unclosed.svg", "strokes.svg"}) {
    const std::string svg = fileText(name);
    ASSERT_FALSE(svg.empty()) << name;
    const double a = agreementOf(svg);
    EXPECT_GE(a, kMinAgreement) << name << " agrees " << a;
  }
}

}  // namespace
