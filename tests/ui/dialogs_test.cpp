// The dialogs driven headless by the key presses and mouse clicks a person sends.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QWheelEvent>
#include <cstring>
#include <tuple>

#include "dialog_driver.h"
#include "outlina_ui.h"

namespace {

using namespace ui_test;

const QRgb kRed = qRgb(255, 0, 0), kWhite = qRgb(255, 255, 255);

TEST(OffsetDialog, ClampsOnLeavingAnEditAndWritesWhatTheTextSays) {
  JWeldOffsetParam p{1.0f, 0, 1, 0, 5, 4.0f, 0, 0};
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(textOf(d, 1142), "1.00");
                    for (int id : {1147, 1149, 1010})
                      EXPECT_TRUE(control<QAbstractButton>(d, id)->isChecked()) << id;
                    // Each text typed into its edit and left reads back clamped and rounded.
                    for (auto [id, typed, shown] : {std::tuple{1142, "600", "500.00"},
                                                    {1142, "abc", "0.00"},
                                                    {1142, "1.234", "1.23"},
                                                    {1012, "250", "100.00"}}) {
                      typeAndLeave(d, id, typed);
                      EXPECT_EQ(textOf(d, id).toStdString(), shown) << id << " <- " << typed;
                    }
                    for (int id : {1148, 1150, 1011, 1003}) click(d, id);
                    click(d, 1);
                  }),
            1);
  const JWeldOffsetParam expected{1.23f, 1, 1, 1, 6, 100.0f, 1, 1};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
}

TEST(WeldDialogs, EscapeLeavesTheRecordAndNullRecordsAreRefused) {
  expectCancelKeeps<JWeldShadowParam>(
      jWeldShadowDlg, {1, 2, 3.0f, 4.0f, 50.0f, 1.0f, 50.0f, 20.0f, 0}, [](QDialog &d) {
        control<QComboBox>(d, 1165)->setCurrentIndex(3);
        typeAndLeave(d, 1166, "9");
        QTest::keyClick(&d, Qt::Key_Escape);
      });
  for (int32_t answer : {jWeldDlg(nullptr, nullptr), jWeldOffsetDlg(nullptr, nullptr),
                         jWeldShadowDlg(nullptr, nullptr), jWeldStripeDlg(nullptr, nullptr),
                         jWeldWidenDlg(nullptr, nullptr)})
    EXPECT_EQ(answer, -1);
}

// The ground colour of a thumbnail, just inside its top-left corner.
QRgb groundOf(QDialog &d, int id) {
  return control(d, id)->grab().toImage().pixel(2, 2) | 0xFF000000u;
}

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
  expectCancelKeeps<R>(open, record, [changed](QDialog &d) {
    QWidget *w = control(d, changed);
    w->setFocus();
    auto *edit = qobject_cast<QLineEdit *>(w);
    edit ? QTest::keyClicks(edit, "9") : leftClick(w, QPoint(w->height() / 2, w->height() / 2));
    tabTo(d, 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(d.isVisible()) << "Enter on Cancel left the dialog open";
  });
}

TEST(Keyboard, EnterOnAFocusedCancelAnswersZeroAndKeepsTheRecord) {
  expectEnterOnCancelKeeps<int32_t>(jWeldDlg, 1, 1008);
  expectEnterOnCancelKeeps<JWeldOffsetParam>(jWeldOffsetDlg, {1.0f, 0, 1, 0, 5, 4.0f, 0, 0}, 1142);
  expectEnterOnCancelKeeps<JWeldStripeParam>(jWeldStripeDlg, {2.0f, 1.0f, 0, 45.0f, 7}, 1000);
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

TEST(Mouse, ArrowsAndWheelStepTheStrengthAndOnlyALeftClickPicksAThumbnailWhichTurnsRed) {
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
                    QApplication::processEvents();
                    EXPECT_EQ(groundOf(d, 1205), kRed);
                    EXPECT_EQ(groundOf(d, 1185), kWhite);
                    click(d, 1185);
                    QApplication::processEvents();
                    EXPECT_EQ(groundOf(d, 1185), kRed);
                    EXPECT_EQ(groundOf(d, 1205), kWhite);
                    QTest::keyClick(control(d, 1183), Qt::Key_Return);
                  }),
            1);
  const JVectransShapeParam expected{25, 50, 0.0f, 0.0f, 100.0f, 50.0f};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
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

TEST(Rectangle, OneColumnOrRowIsAllOutline) {
  struct Case {
    int left, top, right, bottom;
    QRect painted;
  };
  for (const Case &c : {Case{3, 3, 3, 3, QRect(3, 3, 1, 1)}, Case{2, 5, 6, 5, QRect(2, 5, 5, 1)},
                        Case{4, 6, 4, 1, QRect(4, 1, 1, 6)}}) {
    QImage img(10, 10, QImage::Format_RGB32), want = img;
    img.fill(Qt::white);
    want.fill(Qt::white);
    QPainter painter(&img);
    jRectangle(&painter, c.left, c.top, c.right, c.bottom, JRGB(255, 0, 0), 0, JBS_SOLID);
    painter.end();
    QPainter(&want).fillRect(c.painted, Qt::red);
    EXPECT_EQ(img, want) << c.left << "," << c.top;
  }
}

}  // namespace
