#include "shape/ui/shape_preview.h"

#include <QPainter>
#include <QPoint>
#include <algorithm>
#include <array>
#include <cmath>

#include "shape/envelope_formula.h"
#include "ui/draw.h"

namespace outlina {
namespace {

// The shape fills 80 % of the picture; the factor is the 32-bit float the previews were tuned
// with, so it widens to 0.800000011920929.
constexpr float kFill = 0.8f;
// The side along which a shape moves gets room for three times its extent.
constexpr double kBendRoom = 3.0;
constexpr int kPointsPerSide = 32;
constexpr int kOutlinePoints = 4 * kPointsPerSide;
// A thumbnail's shape keeps this many pixels of ground around it, so the red of a selected one
// shows on every side.
constexpr int kThumbnailMargin = 2;

using Outline = std::array<Pt, kOutlinePoints>;

// Paints the ground, red for a selected thumbnail, and answers the type the selector stands for.
int32_t paintGround(QPainter *dc, int w, int h, int32_t selector) {
  drawRectangle(dc, 0, 0, w - 3, h - 3, kWhite, kWhite, JBS_SOLID);
  if (selector <= kSelectedOffset) return selector;
  drawRectangle(dc, 0, 0, w - 3, h - 3, kRed, kRed, JBS_SOLID);
  return selector % kSelectedOffset;
}

// The outline of the frame bent by the type, in frame units with y pointing down. False for a
// frame without extent, which has no outline to bend.
bool bentOutline(int32_t type, float x0, float y0, float x1, float y1, float strength,
                 Outline &outline, double &fw, double &fh) {
  const EnvelopeBox box = envelopeBox(strength, x1 - x0, y1 - y0);
  fw = box.w, fh = box.h;
  if (!std::isfinite(fw) || !std::isfinite(fh) || fw == 0 || fh == 0) return false;
  for (int i = 0; i < kPointsPerSide; ++i) {
    const double u = static_cast<double>(i) / kPointsPerSide;
    const Pt side[4] = {{u * fw, 0}, {fw, u * fh}, {(1 - u) * fw, fh}, {0, (1 - u) * fh}};
    for (int s = 0; s < 4; ++s) {
      // The picture counts y downwards: bend the mirrored point and mirror the result back.
      const Pt moved = envelopeMove(type, box, {side[s].x, fh - side[s].y});
      outline[s * kPointsPerSide + i] = {moved.x, fh - moved.y};
    }
  }
  return true;
}

void drawOutline(QPainter *dc, const Outline &outline, double scale, double offX, double offY) {
  QPoint points[kOutlinePoints];
  for (int i = 0; i < kOutlinePoints; ++i) {
    points[i] = QPoint(truncatedPixel(outline[i].x * scale + offX),
                       truncatedPixel(outline[i].y * scale + offY));
  }
  jPolygon(dc, points, kOutlinePoints, kBlack, kBlack, JBS_SOLID);
}

}  // namespace

void DrawShapePreview(QPainter *dc, QSize window, float x0, float y0, float x1, float y1,
                      int32_t selector, float strength) {
  if (dc == nullptr) return;
  const int w = window.width() - kPictureEdges, h = window.height() - kPictureEdges;
  const ClipScope clip(dc, QRect(0, 0, w, h));
  const int32_t type = paintGround(dc, window.width(), window.height(), selector);

  Outline outline;
  double fw = 0, fh = 0;
  if (!bentOutline(type, x0, y0, x1, y1, strength, outline, fw, fh)) return;
  const bool movesY = envelopeMovesY(type);
  const double fitW = movesY ? fw : kBendRoom * fw;
  const double fitH = movesY ? kBendRoom * fh : fh;
  const double scale = fitH < fitW ? kFill * w / fitW : kFill * h / fitH;
  drawOutline(dc, outline, scale, (w - scale * fw) / 2, (h - scale * fh) / 2);
}

void DrawShapeThumbnail(QPainter *dc, QSize window, float x0, float y0, float x1, float y1,
                        int32_t selector, float strength) {
  if (dc == nullptr) return;
  const int w = window.width() - kPictureEdges, h = window.height() - kPictureEdges;
  const ClipScope clip(dc, QRect(0, 0, w, h));
  const int32_t type = paintGround(dc, window.width(), window.height(), selector);

  Outline outline;
  double fw = 0, fh = 0;
  if (!bentOutline(type, x0, y0, x1, y1, strength, outline, fw, fh)) return;
  const auto [minX, maxX] =
      std::minmax_element(outline.begin(), outline.end(), [](Pt a, Pt b) { return a.x < b.x; });
  const auto [minY, maxY] =
      std::minmax_element(outline.begin(), outline.end(), [](Pt a, Pt b) { return a.y < b.y; });
  const double bw = maxX->x - minX->x, bh = maxY->y - minY->y;
  // The polygon's far edge is painted too, so the shape takes one pixel more than its extent.
  const double roomW = w - 2 * kThumbnailMargin - 1, roomH = h - 2 * kThumbnailMargin - 1;
  const double scale = std::min(roomW / bw, roomH / bh);
  drawOutline(dc, outline, scale, (w - 1 - scale * bw) / 2 - scale * minX->x,
              (h - 1 - scale * bh) / 2 - scale * minY->y);
}

}  // namespace outlina
