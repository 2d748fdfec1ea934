#include "ui/draw.h"

#include <QBrush>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <utility>

namespace outlina {
namespace {

constexpr int kPenWidth = 1;
// Far beyond any picture, and small enough that corner differences cannot overflow.
constexpr int32_t kCoordLimit = 1 << 24;

int32_t bounded(int32_t v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }

Qt::BrushStyle brushStyleOf(uint32_t style) {
  switch (style) {
    case JBS_SOLID: return Qt::SolidPattern;
    case JBS_HATCHED: return Qt::HorPattern;
    default: return Qt::NoBrush;
  }
}

// Selects the pen and brush for one primitive and puts the painter's own back afterwards, the
// way a device context gets its previous objects selected back.
class ToolScope {
 public:
  ToolScope(QPainter *dc, uint32_t lineColour, uint32_t fillColour, uint32_t brushStyle)
      : dc_(dc), pen_(dc->pen()), brush_(dc->brush()), hints_(dc->renderHints()) {
    QPen pen(colourOf(lineColour), kPenWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    dc_->setPen(pen);
    dc_->setBrush(QBrush(colourOf(fillColour), brushStyleOf(brushStyle)));
    // Previews are exact pixel drawings, never smoothed.
    dc_->setRenderHints(hints_, false);
  }
  ~ToolScope() {
    dc_->setRenderHints(hints_, true);
    dc_->setBrush(brush_);
    dc_->setPen(pen_);
  }
  ToolScope(const ToolScope &) = delete;
  ToolScope &operator=(const ToolScope &) = delete;

 private:
  QPainter *dc_;
  QPen pen_;
  QBrush brush_;
  QPainter::RenderHints hints_;
};

}  // namespace

int truncatedPixel(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::clamp(v, -static_cast<double>(kCoordLimit),
                                     static_cast<double>(kCoordLimit)));
}

ClipScope::ClipScope(QPainter *dc, const QRect &rect)
    : dc_(dc), hadClip_(dc->hasClipping()), clip_(dc->clipRegion()) {
  dc_->setClipRect(rect);
}

ClipScope::~ClipScope() {
  if (hadClip_) {
    dc_->setClipRegion(clip_);
  } else {
    dc_->setClipping(false);
  }
}

QColor colourOf(uint32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

int32_t drawRectangle(QPainter *dc, int32_t left, int32_t top, int32_t right, int32_t bottom,
                      uint32_t lineColour, uint32_t fillColour, uint32_t brushStyle) {
  if (dc == nullptr) return 0;
  left = bounded(left), top = bounded(top), right = bounded(right), bottom = bounded(bottom);
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  ToolScope scope(dc, lineColour, fillColour, brushStyle);
  if (left == right || top == bottom) {
    // One pixel wide or high it is all outline; Qt paints no outline for a rectangle of no extent.
    dc->fillRect(QRect(QPoint(left, top), QPoint(right, bottom)), colourOf(lineColour));
    return 1;
  }
  // A one-pixel outline of a w x h rectangle covers w + 1 columns, so the far corner is painted.
  dc->drawRect(QRect(left, top, right - left, bottom - top));
  return 1;
}

int32_t jPolygon(QPainter *dc, const QPoint *points, int32_t count, uint32_t lineColour,
                 uint32_t fillColour, uint32_t brushStyle) {
  if (dc == nullptr || points == nullptr) return 0;
  if (count < 1) return 1;
  ToolScope scope(dc, lineColour, fillColour, brushStyle);
  dc->drawPolygon(points, count, Qt::OddEvenFill);
  return 1;
}

}  // namespace outlina

extern "C" OUTLINA_API int32_t jRectangle(void *dc, int32_t left, int32_t top, int32_t right,
                                          int32_t bottom, uint32_t lineColour,
                                          uint32_t fillColour, uint32_t brushStyle) {
  return outlina::drawRectangle(static_cast<QPainter *>(dc), left, top, right, bottom, lineColour,
                                fillColour, brushStyle);
}
