// The two fill primitives under every preview: one-pixel outline, brush fill, painter restored.
#ifndef OUTLINA_UI_DRAW_H
#define OUTLINA_UI_DRAW_H

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <cstdint>

#include "outlina_ui.h"

class QPainter;

namespace outlina {

constexpr uint32_t kWhite = JRGB(255, 255, 255);
constexpr uint32_t kBlack = JRGB(0, 0, 0);
constexpr uint32_t kRed = JRGB(255, 0, 0);

// The colour value as Qt's colour.
QColor colourOf(uint32_t colour);

// Fills the rectangle with both corners included. 1; 0 for a null painter.
int32_t drawRectangle(QPainter *dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      uint32_t lineColour, uint32_t fillColour, uint32_t brushStyle);

// Fills the closed polygon through count points (even-odd rule). 1; 0 for a null painter or
// point array.
int32_t jPolygon(QPainter *dc, const QPoint *points, int32_t count, uint32_t lineColour,
                 uint32_t fillColour, uint32_t brushStyle);

// A pixel coordinate computed in double, truncated toward zero; far-out values are held at a
// bound that cannot overflow later sums, and NaN counts as 0.
int truncatedPixel(double v);

// Clips the painter to rect for its lifetime, then gives the painter its own clip back.
class ClipScope {
 public:
  ClipScope(QPainter *dc, const QRect &rect);
  ~ClipScope();
  ClipScope(const ClipScope &) = delete;
  ClipScope &operator=(const ClipScope &) = delete;

 private:
  QPainter *dc_;
  bool hadClip_;
  QRegion clip_;
};

}  // namespace outlina

#endif
