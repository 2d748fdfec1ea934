// The dialogs driven only by the key presses and mouse clicks a person sends.
#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <cstring>

#include "dialog_driver.h"
#include "outlina_ui.h"

namespace {

using namespace ui_test;

// Presses Tab until the control has the focus; fails when Tab never reaches it.
void tabTo(QDialog &d, int id) {
  constexpr int kMaxTabs = 40;
  QWidget *target = control(d, id);
  for (int i = 0; i < kMaxTabs && QApplication::focusWidget() != target; ++i)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), target) << "Tab never reaches " << id;
}

void leftClick(QWidget *w, QPoint at) { QTest::mouseClick(w, Qt::LeftButton, {}, at); }

// Edits the control (types into an edit, clicks anything else), tabs to Cancel and presses Enter.
template <class R>
void expectEnterOnCancelKeeps(int32_t (*open)(void *, R *), R record, int changed) {
  const R before = record;
  EXPECT_EQ(drive([&] { return open(nullptr, &record); },
                  [&](QDialog &d) {
                    QWidget *w = control(d, changed);
                    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
                      edit->setFocus();
                      QTest::keyClicks(edit, "9");
                    } else {
                      leftClick(w, QPoint(w->height() / 2, w->height() / 2));
                    }
                    tabTo(d, 2);
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                  }),
            0);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

TEST(Keyboard, EnterOnAFocusedCancelAnswersZeroAndKeepsTheRecord) {
  int32_t mode = 1;
  expectEnterOnCancelKeeps<int32_t>(jWeldDlg, mode, 1008);
  expectEnterOnCancelKeeps<JWeldOffsetParam>(jWeldOffsetDlg, {1.0f, 0, 1, 0, 5, 4.0f, 0, 0}, 1142);
  expectEnterOnCancelKeeps<JWeldWidenParam>(jWeldWidenDlg, {3.0f, 2, 4, 10.0f, 0}, 1142);
  expectEnterOnCancelKeeps<JWeldStripeParam>(jWeldStripeDlg, {2.0f, 1.0f, 0, 45.0f, 7}, 1000);
  expectEnterOnCancelKeeps<JWeldShadowParam>(
      jWeldShadowDlg, {1, 0, 3.0f, 4.0f, 50.0f, 1.0f, 50.0f, 20.0f, 5}, 1166);
  expectEnterOnCancelKeeps<JVectransShapeParam>(jVectransShapeDlg, {7, 50, 0, 0, 100, 50}, 1183);
}

TEST(Keyboard, TabEntersARadioGroupAtItsCheckedButtonAndSpaceKeepsTheChoice) {
  JWeldWidenParam p{3.0f, 3, 6, 10.0f, 0};
  EXPECT_EQ(drive([&] { return jWeldWidenDlg(nullptr, &p); },
                  [](QDialog &d) {
                    control(d, 1142)->setFocus();
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    EXPECT_EQ(QApplication::focusWidget(), control(d, 1149));
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                    EXPECT_EQ(QApplication::focusWidget(), control(d, 1011));
                    // The arrow keys move the choice inside the group.
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                  }),
            1);
  EXPECT_EQ(p.cap, 3);
  EXPECT_EQ(p.joint, 5);
}

TEST(Mouse, ArrowsAndWheelStepTheStrengthTheWayTheyPointAndOnlyALeftClickPicks) {
  JVectransShapeParam p{7, 50, 0, 0, 100, 50};
  EXPECT_EQ(drive([&] { return jVectransShapeDlg(nullptr, &p); },
                  [](QDialog &d) {
                    QWidget *arrows = control(d, 1186);
                    const QPoint up(arrows->width() / 2, 2),
                        down(arrows->width() / 2, arrows->height() - 3);
                    leftClick(arrows, up);
                    EXPECT_EQ(textOf(d, 1183), "51");
                    leftClick(arrows, down);
                    leftClick(arrows, down);
                    EXPECT_EQ(textOf(d, 1183), "49");
                    const QPointF at(up), global(arrows->mapToGlobal(up));
                    QWheelEvent wheel(at, global, {}, {0, QWheelEvent::DefaultDeltasPerStep},
                                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(arrows, &wheel);
                    EXPECT_EQ(textOf(d, 1183), "50");
                    QWidget *picture = control(d, 1185);
                    for (Qt::MouseButton b : {Qt::RightButton, Qt::MiddleButton})
                      QTest::mouseClick(picture, b, {}, QPoint(5, 5));
                    QTest::keyClick(control(d, 1183), Qt::Key_Return);
                  }),
            1);
  EXPECT_EQ(p.type, 7);
  EXPECT_EQ(p.ratio, 50);
}

TEST(Mouse, CheckBoxesShowTheirFieldAndWriteTheirStateBack) {
  // 2 is the third state: kept when the box is left alone, ticked by a click.
  JWeldOffsetParam p{1.0f, 0, 2, 2, 5, 4.0f, 0, 0};
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(control<QCheckBox>(d, 1149)->checkState(), Qt::PartiallyChecked);
                    click(d, 1150);
                    click(d, 1003);
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(p.horizontal, 2);
  EXPECT_EQ(p.vertical, 1);
  EXPECT_EQ(p.keepInput, 1);
}

TEST(Frame, TheWindowSizeCannotChange) {
  int32_t mode = 1;
  drive([&] { return jWeldDlg(nullptr, &mode); },
        [](QDialog &d) {
          const QSize size = d.size();
          EXPECT_EQ(d.minimumSize(), size);
          EXPECT_EQ(d.maximumSize(), size);
          d.resize(size * 2);
          QApplication::processEvents();
          EXPECT_EQ(d.size(), size);
        });
}

TEST(Rectangle, OneColumnOrRowIsAllOutline) {
  struct Case {
    int left, top, right, bottom;
    QRect painted;
  };
  for (const Case &c : {Case{3, 3, 3, 3, QRect(3, 3, 1, 1)}, Case{2, 5, 6, 5, QRect(2, 5, 5, 1)},
                        Case{4, 6, 4, 1, QRect(4, 1, 1, 6)}}) {
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter painter(&img);
    jRectangle(&painter, c.left, c.top, c.right, c.bottom, JRGB(255, 0, 0), 0, JBS_SOLID);
    painter.end();
    QRect red;
    int count = 0;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (img.pixel(x, y) == qRgb(255, 0, 0)) {
          red |= QRect(x, y, 1, 1);
          ++count;
        }
    EXPECT_EQ(red, c.painted) << c.left << "," << c.top;
    EXPECT_EQ(count, c.painted.width() * c.painted.height());
  }
}

}  // namespace
