#include "ui/up_down.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QWheelEvent>

namespace outlina {
namespace {

// Holding an arrow steps once, waits this long, then steps at the faster rate.
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatRateMs = 60;
// The arrow keeps this much room to the sides of its button.
constexpr double kArrowInset = 3.0;

}  // namespace

UpDown::UpDown(QWidget *parent) : QAbstractSlider(parent) {
  // The edit beside it keeps the focus; the arrows are for the mouse.
  setFocusPolicy(Qt::NoFocus);
  connect(this, &QAbstractSlider::valueChanged, this, qOverload<>(&QWidget::update));
  connect(this, &QAbstractSlider::rangeChanged, this, qOverload<>(&QWidget::update));
}

QRect UpDown::arrowRect(Arrow arrow) const {
  const int half = height() / 2;
  return arrow == Arrow::Up ? QRect(0, 0, width(), half) : QRect(0, half, width(), height() - half);
}

void UpDown::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  for (const Arrow which : {Arrow::Up, Arrow::Down}) {
    const bool up = which == Arrow::Up;
    const bool canStep = up ? value() < maximum() : value() > minimum();
    QStyleOptionButton button;
    button.initFrom(this);
    button.rect = arrowRect(which);
    button.state |= pressed_ == which ? QStyle::State_Sunken : QStyle::State_Raised;
    if (!canStep) button.state &= ~QStyle::State_Enabled;
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &button, &painter, this);
    // The style's own arrow shrinks to a dot at this size; a triangle as wide as the button
    // allows reads at a glance.
    const QRectF box = button.rect;
    const double half = box.width() / 2 - kArrowInset, tip = up ? -half / 2 : half / 2;
    const QPointF centre = box.center();
    const QPointF arrow[] = {centre + QPointF(-half, -tip), centre + QPointF(half, -tip),
                             centre + QPointF(0, tip)};
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        palette().color(canStep ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPolygon(arrow, 3);
  }
}

void UpDown::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  pressed_ = arrowRect(Arrow::Up).contains(event->position().toPoint()) ? Arrow::Up : Arrow::Down;
  const SliderAction step = pressed_ == Arrow::Up ? SliderSingleStepAdd : SliderSingleStepSub;
  triggerAction(step);
  setRepeatAction(step, kRepeatDelayMs, kRepeatRateMs);
  update();
}

void UpDown::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  pressed_ = Arrow::None;
  setRepeatAction(SliderNoAction);
  update();
}

void UpDown::wheelEvent(QWheelEvent *event) {
  // One notch is one step, like one click on an arrow, not the lines a scroll bar would move.
  wheelRest_ += event->angleDelta().y();
  const int steps = wheelRest_ / QWheelEvent::DefaultDeltasPerStep;
  wheelRest_ -= steps * QWheelEvent::DefaultDeltasPerStep;
  setValue(value() + steps * singleStep());
  event->accept();
}

}  // namespace outlina
