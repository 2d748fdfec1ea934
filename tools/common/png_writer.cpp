#include "png_writer.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "outline_io.h"
#include "svg_writer.h"

namespace outlina::cli {
namespace {

// Keeps a runaway scale from asking cairo for an image it cannot hold.
constexpr int kMaxSide = 16000;

}  // namespace

double fittingPixelsPerMm(const Layers &layers, double marginMm) {
  Vec2 min{0, 0}, max{0, 0};
  layerBounds(layers, min, max);
  const double longer = std::max(max.x - min.x, max.y - min.y) + 2 * marginMm;
  return std::min(kPngPixelsPerMm, kPngLargestSide / longer);
}

bool writePng(const Layers &layers, const std::string &file, double pixelsPerMm, double marginMm,
              std::string &error) {
  Vec2 min{0, 0}, max{0, 0};
  layerBounds(layers, min, max);
  const double w = (max.x - min.x + 2 * marginMm) * pixelsPerMm;
  const double h = (max.y - min.y + 2 * marginMm) * pixelsPerMm;
  if (!(w >= 1 && h >= 1 && w <= kMaxSide && h <= kMaxSide)) {
    error = "the image would be " + std::to_string(std::lround(w)) + " x " +
            std::to_string(std::lround(h)) + " pixels (at most " + std::to_string(kMaxSide) +
            " a side; choose a smaller --png-scale)";
    return false;
  }
  cairo_surface_t *surface = cairo_image_surface_create(
      CAIRO_FORMAT_RGB24, static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(h)));
  cairo_t *cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  // Library y points up, image rows go down.
  cairo_translate(cr, (marginMm - min.x) * pixelsPerMm, (max.y + marginMm) * pixelsPerMm);
  cairo_scale(cr, pixelsPerMm, -pixelsPerMm);
  auto trace = [cr](const std::vector<Command> &contours) {
    for (const Command &c : contours) {
      switch (c.op) {
        case Op::Move:
          cairo_move_to(cr, c.p[0].x, c.p[0].y);
          break;
        case Op::Line:
          cairo_line_to(cr, c.p[0].x, c.p[0].y);
          break;
        case Op::Quad: {
          double x0, y0;
          cairo_get_current_point(cr, &x0, &y0);
          // A quadratic is the cubic whose handles lie two thirds of the way to its control.
          cairo_curve_to(cr, x0 + 2.0 / 3 * (c.p[0].x - x0), y0 + 2.0 / 3 * (c.p[0].y - y0),
                         c.p[1].x + 2.0 / 3 * (c.p[0].x - c.p[1].x),
                         c.p[1].y + 2.0 / 3 * (c.p[0].y - c.p[1].y), c.p[1].x, c.p[1].y);
          break;
        }
        case Op::Cubic:
          cairo_curve_to(cr, c.p[0].x, c.p[0].y, c.p[1].x, c.p[1].y, c.p[2].x, c.p[2].y);
          break;
        case Op::Close:
          cairo_close_path(cr);
          break;
      }
    }
  };
  // Contour by contour, so that only the image and cairo's path hold the drawing at once.
  auto traceWhere = [&trace](const JVect *layer, bool closed) {
    forEachContour(layer, [&](const std::vector<Command> &contour) {
      if ((contour.back().op == Op::Close) == closed) trace(contour);
    });
  };
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_set_line_width(cr, kOpenLineWidthMm);
  for (size_t i = 0; i < layers.size(); ++i) {
    const Colour &colour = layerColour(i, layers.size());
    cairo_set_source_rgb(cr, colour.r, colour.g, colour.b);
    traceWhere(layers[i], true);
    cairo_fill(cr);
    traceWhere(layers[i], false);
    cairo_stroke(cr);
  }
  const cairo_status_t status = cairo_surface_write_to_png(surface, file.c_str());
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  if (status != CAIRO_STATUS_SUCCESS) {
    error = "cannot write " + file + ": " + cairo_status_to_string(status);
    return false;
  }
  return true;
}

}  // namespace outlina::cli
