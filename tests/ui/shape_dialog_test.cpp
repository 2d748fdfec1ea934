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
}

}  // namespace
