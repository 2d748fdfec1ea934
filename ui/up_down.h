// The pair of arrows beside a number edit: the upper one steps the value up, the lower one down,
// and the wheel turned away from the user steps it up too.
#ifndef OUTLINA_UI_UP_DOWN_H
#define OUTLINA_UI_UP_DOWN_H

#include <QAbstractSlider>

namespace outlina {

class UpDown : public QAbstractSlider {
 public:
  explicit UpDown(QWidget *parent = nullptr);

 protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

 private:
  enum class Arrow { None, Up, Down };
  QRect arrowRect(Arrow arrow) const;
  Arrow pressed_ = Arrow::None;
  // Wheel movement not yet worth a whole step, as fine-grained wheels report it.
  int wheelRest_ = 0;
};

}  // namespace outlina

#endif
