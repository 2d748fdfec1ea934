#include "canvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "svg_writer.h"

namespace outlina::studio {
namespace {

// Share of the window the drawing takes when fitted, leaving room for a shadow or an offset.
constexpr double kFitShare = 0.75;
// Zoom per wheel notch (120 eighths of a degree), and the zoom's bounds in pixels per mm.
constexpr double kZoomPerNotch = 1.25;
constexpr double kWheelNotch = 120.0;
constexpr double kMinScale = 0.01, kMaxScale = 10000.0;
// The source outline is a hairline; open contours are drawn as wide as the SVG writer draws them.
constexpr double kSourceLinePixels = 1.0;
// Below this zoom (pixels per mm) a line of small text is mostly hairline, which would hide the
// fill it outlines.
constexpr double kMinHairlineScale = 3.0;

QPainterPath painterPath(const std::vector<cli::Command> &commands) {
  QPainterPath path;
  path.setFillRule(Qt::WindingFill);
  auto at = [](cli::Vec2 v) { return QPointF(v.x, v.y); };
  for (const cli::Command &c : commands) {
    switch (c.op) {
      case cli::Op::Move:
        path.moveTo(at(c.p[0]));
        break;
      case cli::Op::Line:
        path.lineTo(at(c.p[0]));
        break;
      case cli::Op::Quad:
        path.quadTo(at(c.p[0]), at(c.p[1]));
        break;
      case cli::Op::Cubic:
        path.cubicTo(at(c.p[0]), at(c.p[1]), at(c.p[2]));
        break;
      case cli::Op::Close:
        path.closeSubpath();
        break;
    }
  }
  return path;
}

}  // namespace

const QColor Canvas::kPaper(255, 255, 255);
const QColor Canvas::kFill(24, 40, 72);
const QColor Canvas::kAdded(232, 120, 24);
const QColor Canvas::kSourceLine(0, 170, 255);

Canvas::Canvas(QWidget *parent) : QWidget(parent) {
  setMinimumSize(200, 150);
  setAutoFillBackground(false);
}

void Canvas::setOutlines(const std::vector<cli::Command> &source,
                         const std::vector<cli::Command> &base,
                         const std::vector<cli::Command> &result) {
  source_ = painterPath(source);
  base_ = painterPath(cli::contoursWhere(base, true));
  result_ = painterPath(cli::contoursWhere(result, true));
  openLines_ = painterPath(cli::contoursWhere(result, false));
  update();
}

void Canvas::fit() {
  const QRectF box =
      result_.boundingRect().united(openLines_.boundingRect()) | source_.boundingRect();
  followWindow_ = true;
  if (box.isEmpty()) return;
  scale_ = std::clamp(kFitShare * std::min(width() / box.width(), height() / box.height()),
                      kMinScale, kMaxScale);
  origin_ = QPointF(width() / 2.0 - box.center().x() * scale_,
                    height() / 2.0 + box.center().y() * scale_);
  update();
}

QPointF Canvas::toPixels(QPointF mm) const {
  return {origin_.x() + mm.x() * scale_, origin_.y() - mm.y() * scale_};
}

void Canvas::paintEvent(QPaintEvent *) {
  QPainter p(this);
  p.fillRect(rect(), kPaper);
  p.setRenderHint(QPainter::Antialiasing);
  p.translate(origin_);
  p.scale(scale_, -scale_);
  // What the last effect added gets its own colour: the result is filled in it, then again in
  // the outline colour where the effect's input lay.
  if (base_.isEmpty()) {
    p.fillPath(result_, kFill);
  } else {
    p.fillPath(result_, kAdded);
    p.save();
    p.setClipPath(base_);
    p.fillPath(result_, kFill);
    p.restore();
  }
  QPen open(kFill, cli::kOpenLineWidthMm);
  p.strokePath(openLines_, open);
  if (scale_ < kMinHairlineScale) return;
  QPen hairline(kSourceLine, kSourceLinePixels);
  hairline.setCosmetic(true);
  p.strokePath(source_, hairline);
}

void Canvas::wheelEvent(QWheelEvent *event) {
  const double factor = std::pow(kZoomPerNotch, event->angleDelta().y() / kWheelNotch);
  const double next = std::clamp(scale_ * factor, kMinScale, kMaxScale);
  // The point under the pointer stays where it is.
  const QPointF at = event->position();
  origin_ = at - (at - origin_) * (next / scale_);
  scale_ = next;
  followWindow_ = false;
  update();
}

void Canvas::mousePressEvent(QMouseEvent *event) { dragFrom_ = event->position().toPoint(); }

void Canvas::mouseMoveEvent(QMouseEvent *event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  const QPoint now = event->position().toPoint();
  origin_ += now - dragFrom_;
  dragFrom_ = now;
  followWindow_ = false;
  update();
}

void Canvas::resizeEvent(QResizeEvent *) {
  // Until the person zooms or pans, the fitted drawing follows the window's size.
  if (followWindow_) fit();
}

}  // namespace outlina::studio
