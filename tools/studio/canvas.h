// The drawing: the result filled, what the last effect added in its own colour, the source
// outline thinly on top. The wheel zooms about the pointer and dragging pans.
#ifndef OUTLINA_TOOLS_STUDIO_CANVAS_H
#define OUTLINA_TOOLS_STUDIO_CANVAS_H

#include <QPainterPath>
#include <QPoint>
#include <QWidget>
#include <vector>

#include "outline_io.h"

namespace outlina::studio {

class Canvas : public QWidget {
 public:
  // The colours of the drawing, for whoever reads its pixels back.
  static const QColor kPaper, kFill, kAdded, kSourceLine;

  explicit Canvas(QWidget *parent = nullptr);

  // base is what the last effect started from, empty when no effect has been applied.
  void setOutlines(const std::vector<cli::Command> &source, const std::vector<cli::Command> &base,
                   const std::vector<cli::Command> &result);
  // Scales and centres the result in the window.
  void fit();
  // Where a point in millimetres (y up) is drawn, in the canvas's pixels.
  QPointF toPixels(QPointF mm) const;
  double pixelsPerMm() const { return scale_; }

 protected:
  void paintEvent(QPaintEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

 private:
  QPainterPath source_, base_, result_, openLines_;
  double scale_ = 1;  // pixels per millimetre
  QPointF origin_;    // where the millimetre origin is drawn
  QPoint dragFrom_;
  bool followWindow_ = true;
};

}  // namespace outlina::studio

#endif
