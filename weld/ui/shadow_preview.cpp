#include "weld/ui/shadow_preview.h"

#include <QPainter>
#include <QPoint>
#include <cmath>

#include "ui/draw.h"

namespace outlina {
namespace {

// The selection's longer side is drawn this many pixels long.
constexpr double kLongSide = 100.0;
// The frame's sunken edge takes one pixel on each side; the picture fills what is inside it.
constexpr int kClipNear = 1;
constexpr int kClipFar = 1;
// The selection is centred in the frame less this many pixels.
constexpr int kMargin = 4;
constexpr double kPercent = 100.0;

void drawShadow(QPainter *dc, const JWeldShadowParam &param, double q, int left, int top, int ow,
                int oh) {
  const int dx = truncatedPixel(param.dx * q), dy = truncatedPixel(param.dy * q);
  const int right = left + ow, bottom = top + oh;
  switch (param.type) {
    case JWST_DROP:
      drawRectangle(dc, left + dx, top - dy, right + dx, bottom - dy, kBlack, kBlack, JBS_SOLID);
      return;
    case JWST_CAST: {
      const QPoint cast[] = {{left, bottom}, {left + dx, bottom - dy}, {right + dx, bottom - dy},
                             {right, bottom}};
      jPolygon(dc, cast, 4, kBlack, kBlack, JBS_SOLID);
      return;
    }
    case JWST_BLOCK:
    case JWST_PERSPECTIVE: {
      const double k = param.type == JWST_BLOCK ? 0.0 : 1.0 - param.ratio / kPercent;
      const int c = truncatedPixel(k * ow * 0.5), d = truncatedPixel(k * oh * 0.5);
      const int farL = left + dx + c, farR = right + dx - c;
      const int farT = top + d - dy, farB = bottom - d - dy;
      const QPoint faces[4][4] = {
          {{left, top}, {farL, farT}, {farR, farT}, {right, top}},
          {{right, top}, {farR, farT}, {farR, farB}, {right, bottom}},
          {{left, bottom}, {farL, farB}, {farR, farB}, {right, bottom}},
          {{left, top}, {farL, farT}, {farL, farB}, {left, bottom}},
      };
      for (const auto &face : faces) jPolygon(dc, face, 4, kBlack, kBlack, JBS_SOLID);
      return;
    }
    default:
      return;
  }
}

}  // namespace

void weldShadowPreview(QPainter *dc, QSize window, const JWeldShadowParam &param) {
  if (dc == nullptr) return;
  const int w = window.width(), h = window.height();
  // The clip's far corner is excluded, as a region's is.
  const ClipScope clip(dc, QRect(QPoint(kClipNear, kClipNear),
                                 QPoint(w - kClipFar - 1, h - kClipFar - 1)));
  drawRectangle(dc, kClipNear, kClipNear, w - kClipFar, h - kClipFar, kWhite, kWhite, JBS_SOLID);

  const double longer = param.objectWidth > param.objectHeight ? param.objectWidth
                                                               : param.objectHeight;
  // Without a selection size there is nothing to scale; the frame stays clear.
  if (longer > 0 && std::isfinite(longer)) {
    const double q = kLongSide / longer;
    const int ow = truncatedPixel(param.objectWidth * q);
    const int oh = truncatedPixel(param.objectHeight * q);
    const int left = (w - ow - kMargin) / 2, top = (h - oh - kMargin) / 2;
    drawShadow(dc, param, q, left, top, ow, oh);
    drawRectangle(dc, left, top, left + ow, top + oh, kRed, kRed, JBS_SOLID);
  }
}

}  // namespace outlina
