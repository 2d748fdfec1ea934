#include <QAbstractSlider>
#include <cstring>

#include "dialog_driver.h"
#include "outlina_ui.h"

namespace {

using namespace ui_test;

const QRgb kRed = qRgb(255, 0, 0), kWhite = qRgb(255, 255, 255);

// The ground colour of a thumbnail, just inside its top-left corner.
QRgb groundOf(QDialog &d, int id) {
  return control(d, id)->grab().toImage().pixel(2, 2) | 0xFF000000u;
}

TEST(ShapeDialog, SelectedThumbnailIsRedAndAClickMovesIt) {
  JVectransShapeParam p{7, 50, 0.0f, 0.0f, 100.0f, 50.0f};
  EXPECT_EQ(drive([&] { return jVectransShapeDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("シェイプ処理"));
                    EXPECT_EQ(textOf(d, 1183), "50");
                    for (int id : {1205, 1184, 1185})
                      EXPECT_EQ(groundOf(d, id), id == 1205 ? kRed : kWhite) << id;
                    saveScreenshot(d, "VTRS_SHAPEDLG");
                    click(d, 1185);
                    QApplication::processEvents();
                    EXPECT_EQ(groundOf(d, 1185), kRed);
                    EXPECT_EQ(groundOf(d, 1205), kWhite);
                    click(d, 1);
                  }),
            1);
  const JVectransShapeParam expected{25, 50, 0.0f, 0.0f, 100.0f, 50.0f};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
}

TEST(ShapeDialog, StrengthIsHeldToPercentAsItIsTyped) {
  JVectransShapeParam p{1, 30, 0.0f, 0.0f, 100.0f, 50.0f};
  EXPECT_EQ(drive([&] { return jVectransShapeDlg(nullptr, &p); },
                  [](QDialog &d) {
                    QLineEdit *e = control<QLineEdit>(d, 1183);
                    e->setFocus();
                    e->selectAll();
                    QTest::keyClicks(e, "250");
                    EXPECT_EQ(e->text(), "100");
                    e->selectAll();
                    QTest::keyClicks(e, "-5");
                    EXPECT_EQ(e->text(), "0");
                    e->setText("41");
                    // The arrows beside the edit and the arrow keys step the number.
                    auto *spin = control<QAbstractSlider>(d, 1186);
                    spin->triggerAction(QAbstractSlider::SliderSingleStepAdd);
                    EXPECT_EQ(e->text(), "42");
                    QTest::keyClick(e, Qt::Key_Down);
                    EXPECT_EQ(e->text(), "41");
                    e->selectAll();
                    QTest::keyClick(e, Qt::Key_Delete);
                    EXPECT_EQ(e->text(), "");
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(p.ratio, 0);
}

TEST(ShapeDialog, CancelKeepsTheRecordAndBothButtonsRememberThePlace) {
  JVectransShapeParam p{3, 20, -5.0f, 2.0f, 100.0f, 50.0f};
  const JVectransShapeParam before = p;
  expectCancelKeeps<JVectransShapeParam>(jVectransShapeDlg, p, [](QDialog &d) {
    click(d, 1229);
    control<QLineEdit>(d, 1183)->setText("77");
    d.move(140, 90);
  });
  QPoint reopened;
  drive([&] { return jVectransShapeDlg(nullptr, &p); },
        [&](QDialog &d) {
          reopened = d.pos();
          click(d, 1);
        });
  EXPECT_EQ(reopened, QPoint(140, 90));
  EXPECT_EQ(std::memcmp(&p, &before, sizeof p), 0);
  EXPECT_EQ(jVectransShapeDlg(nullptr, nullptr), -1);

  // An unknown type or a flat box opens without a selection, and OK keeps the type.
  p = {40, 100, 0.0f, 0.0f, 0.0f, 0.0f};
  EXPECT_EQ(drive([&] { return jVectransShapeDlg(nullptr, &p); },
                  [](QDialog &d) {
                    for (int id : {1184, 1205, 1221}) EXPECT_EQ(groundOf(d, id), kWhite);
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(p.type, 40);
}

}  // namespace
