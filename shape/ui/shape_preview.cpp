#include "shape/ui/shape_preview.h"

#include <QPainter>
#include <QPoint>
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
// The picture's last two columns and rows belong to its sunken edge.
constexpr int kEdge = 2;

}  // namespace

void DrawShapePreview(QPainter *dc, QSize window, float x0, float y0, float x1, float y1,
                      int32_t selector, float strength) {
  if (dc == nullptr) return;
  const int w = window.width(), h = window.height();
  const ClipScope clip(dc, QRect(0, 0, w - kEdge, h - kEdge));

  drawRectangle(dc, 0, 0, w - 3, h - 3, kWhite, kWhite, JBS_SOLID);
  int32_t type = selector;
  if (selector > kSelectedOffset) {
    type = selector % kSelectedOffset;
    drawRectangle(dc, 0, 0, w - 3, h - 3, kRed, kRed, JBS_SOLID);
  }

  const EnvelopeBox box = envelopeBox(strength, x1 - x0, y1 - y0);
  const double fw = box.w, fh = box.h;
  // A frame without extent has no outline to bend; the picture keeps its ground only.
  if (std::isfinite(fw) && std::isfinite(fh) && fw != 0 && fh != 0) {
    const bool movesY = envelopeMovesY(type);
    const double fitW = movesY ? fw : kBendRoom * fw;
    const double fitH = movesY ? kBendRoom * fh : fh;
    const double scale = fitH < fitW ? kFill * (w - kEdge) / fitW : kFill * (h - kEdge) / fitH;
    const double offX = ((w - kEdge) - scale * fw) / 2;
    const double offY = ((h - kEdge) - scale * fh) / 2;

    QPoint points[kOutlinePoints];
    for (int i = 0; i < kPointsPerSide; ++i) {
      const double u = static_cast<double>(i) / kPointsPerSide;
      const Pt side[4] = {{u * fw, 0}, {fw, u * fh}, {(1 - u) * fw, fh}, {0, (1 - u) * fh}};
      for (int s = 0; s < 4; ++s) {
        // The picture counts y downwards: bend the mirrored point and mirror the result back.
        const Pt moved = envelopeMove(type, box, {side[s].x, fh - side[s].y});
        points[s * kPointsPerSide + i] = QPoint(truncatedPixel(moved.x * scale + offX),
                                                truncatedPixel((fh - moved.y) * scale + offY));
      }
    }
    jPolygon(dc, points, kOutlinePoints, kBlack, kBlack, JBS_SOLID);
  }
}

}  // namespace outlina
