// jVectransShapeDlg: pick one of the 32 envelope shapes and its strength, with previews.
#include <QAbstractSlider>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <algorithm>

#include "outlina_ui.h"
#include "shape/envelope_formula.h"
#include "shape/ui/shape_preview.h"
#include "ui/dialog.h"

namespace outlina {
namespace {

constexpr int kIdPreview = 1182;
constexpr int kIdStrength = 1183;
constexpr int kIdSpin = 1186;
// The pictures of the shapes 1 to 32, in reading order of the grid.
constexpr int kPictureIds[kEnvelopeLastType] = {
    1184, 1200, 1201, 1202, 1203, 1204, 1205, 1206, 1207, 1208, 1209, 1210, 1211, 1212, 1213, 1214,
    1222, 1223, 1224, 1225, 1226, 1227, 1228, 1229, 1185, 1215, 1216, 1217, 1218, 1219, 1220, 1221};
// The strength edit reads at most this many characters.
constexpr int kStrengthChars = 5;
constexpr int32_t kMaxPercent = 100;
constexpr float kPercent = 100.0f;

// Thumbnail frames: wide for the shapes that move y, tall for those that move x.
constexpr float kThumbNear = 10.0f, kThumbShort = 110.0f, kThumbLong = 210.0f;
// Strength of each thumbnail by its place in a group of four, for the two kinds of group.
constexpr float kHalfWaveStrengths[] = {0.45f, 0.45f, 0.3f, 0.25f};
constexpr float kFullWaveStrengths[] = {0.45f, 0.45f, 0.4f, 0.4f};

float thumbnailStrength(int32_t type) {
  const int group = (type - 1) / 4, place = (type - 1) % 4;
  // Groups 1-4, 5-8, 17-20 and 21-24 bend by half waves; the others by full waves or edges.
  const bool halfWave = group == 0 || group == 1 || group == 4 || group == 5;
  return halfWave ? kHalfWaveStrengths[place] : kFullWaveStrengths[place];
}

struct ShapeState {
  JVectransShapeParam work;
  JVectransShapeParam *record;
  WindowPlace place;
} shapeState;

class ShapeDialog : public TemplateDialog {
 public:
  explicit ShapeDialog(QWidget *parent)
      : TemplateDialog("VTRS_SHAPEDLG", parent, shapeState.place) {}

 protected:
  void initDialog() override {
    shapeState.work = *shapeState.record;
    if (auto *spin = item<QAbstractSlider>(kIdSpin)) {
      spin->setRange(0, kMaxPercent);
      // The arrows set the edit's text; the edit then updates the working strength.
      connect(spin, &QAbstractSlider::valueChanged, this,
              [this](int value) { setItemText(kIdStrength, QString::number(value)); });
    }
    if (auto *edit = item<QLineEdit>(kIdStrength)) {
      connect(edit, &QLineEdit::textChanged, this, [this] { strengthChanged(); });
      edit->installEventFilter(this);
    }
    setItemText(kIdStrength, QString::number(shapeState.work.ratio));
    watchPicture(kIdPreview);
    for (int id : kPictureIds) watchPicture(id);
  }

  void itemClicked(int id) override {
    for (int32_t type = kEnvelopeFirstType; type <= kEnvelopeLastType; ++type) {
      if (kPictureIds[type - 1] == id) {
        shapeState.work.type = type;
        update();
      }
    }
  }

  void paintItem(int id, QPainter &painter) override {
    const JVectransShapeParam &w = shapeState.work;
    // Pictures draw inside their sunken edge, which the frame paints over them afterwards.
    const QRect inside = item<QFrame>(id)->contentsRect();
    painter.translate(inside.topLeft());
    const QSize size = inside.size() + QSize(kPictureEdges, kPictureEdges);
    if (id == kIdPreview) {
      DrawShapePreview(&painter, size, w.minX, w.minY, w.maxX, w.maxY, w.type,
                       static_cast<float>(w.ratio / kPercent));
      return;
    }
    for (int32_t type = kEnvelopeFirstType; type <= kEnvelopeLastType; ++type) {
      if (kPictureIds[type - 1] != id) continue;
      const bool wide = envelopeMovesY(type);
      const int32_t selector = type == w.type ? type + kSelectedOffset : type;
      DrawShapeThumbnail(&painter, size, kThumbNear, kThumbNear, wide ? kThumbLong : kThumbShort,
                         wide ? kThumbShort : kThumbLong, selector, thumbnailStrength(type));
    }
  }

  void commit() override {
    JVectransShapeParam &w = shapeState.work;
    w.ratio = textToInt(itemText(kIdStrength), kStrengthChars);
    *shapeState.record = w;
  }

  bool eventFilter(QObject *watched, QEvent *event) override {
    // Up and down in the strength edit step it like the arrows beside it.
    if (event->type() == QEvent::KeyPress && watched == item(kIdStrength)) {
      const int key = static_cast<QKeyEvent *>(event)->key();
      auto *spin = item<QAbstractSlider>(kIdSpin);
      if (spin != nullptr && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        spin->triggerAction(key == Qt::Key_Up ? QAbstractSlider::SliderSingleStepAdd
                                              : QAbstractSlider::SliderSingleStepSub);
        return true;
      }
    }
    return TemplateDialog::eventFilter(watched, event);
  }

 private:
  void strengthChanged() {
    const int32_t typed = textToInt(itemText(kIdStrength), kStrengthChars);
    const int32_t ratio = std::clamp(typed, 0, kMaxPercent);
    shapeState.work.ratio = ratio;
    // Out-of-range text is corrected at once; an empty edit stays empty and counts as 0.
    if (ratio != typed) setItemText(kIdStrength, QString::number(ratio));
    if (auto *spin = item<QAbstractSlider>(kIdSpin)) {
      const QSignalBlocker quiet(spin);
      spin->setValue(ratio);
    }
    update();
  }
};

}  // namespace
}  // namespace outlina

extern "C" OUTLINA_API int32_t jVectransShapeDlg(void *parent, JVectransShapeParam *param) {
  if (param == nullptr || !outlina::dialogsAvailable()) return -1;
  outlina::shapeState.record = param;
  outlina::ShapeDialog dialog(static_cast<QWidget *>(parent));
  return dialog.run();
}
