// The dialogs and previews, driven headless.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <cstring>

#include "dialog_driver.h"
#include "outlina_ui.h"
#include "shape/ui/dialog.h"
#include "shape/ui/draw.h"
#include "weld/ui/shadow_preview.h"

namespace {

using namespace ui_test;

const QRgb kBlue = qRgb(0, 0, 255), kRed = qRgb(255, 0, 0), kBlack = qRgb(0, 0, 0),
           kWhite = qRgb(255, 255, 255);


void expectChecked(QDialog &d, std::initializer_list<int> ids, bool checked) {
  for (int id : ids) EXPECT_EQ(isChecked(d, id), checked) << id;
}

TEST(WeldDialog, ChecksTheCurrentRuleAndWritesThePickedOne) {
  int32_t mode = 2;
  EXPECT_EQ(drive([&] { return jWeldDlg(nullptr, &mode); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("陰線処理"));
                    expectChecked(d, {1008}, true);
                    click(d, 1005);
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(mode, 3);
}

TEST(OffsetDialog, ClampsOnLeavingAnEditAndWritesWhatTheTextSays) {
  JWeldOffsetParam p{1.0f, 0, 1, 0, 5, 4.0f, 0, 0};
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(textOf(d, 1142), "1.00");
                    expectChecked(d, {1147, 1149, 1010}, true);
                    expectTyped(d, {{1142, "600", "500.00"}, {1142, "-3", "0.00"},
                                    {1142, "abc", "0.00"}, {1142, "1.234", "1.23"},
                                    {1012, "250", "100.00"}});
                    for (int id : {1148, 1150, 1011, 1003}) click(d, id);
                    click(d, 1);
                  }),
            1);
  const JWeldOffsetParam expected{1.23f, 1, 1, 1, 6, 100.0f, 1, 1};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
}

TEST(StripeDialog, ClampsTheAngleAndKeepsTheCurveFlag) {
  JWeldStripeParam p{2.0f, 1.0f, 0, 45.0f, 7};
  EXPECT_EQ(drive([&] { return jWeldStripeDlg(nullptr, &p); },
                  [](QDialog &d) {
                    // Widths are reprinted but never clamped; an exact tie rounds to even.
                    expectTyped(d, {{1005, "200", "180.0"}, {1000, "2.25", "2.2"},
                                    {1001, "-7.06", "-7.1"}, {1005, "30", "30.0"}});
                    click(d, 1004);
                    click(d, 1);
                  }),
            1);
  const JWeldStripeParam expected{2.2f, -7.1f, 2, 30.0f, 7};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
}

TEST(ShadowDialog, TypeListEnablesTheRatio) {
  JWeldShadowParam p{1, 0, 3.0f, 4.0f, 50.0f, 1.0f, 50.0f, 20.0f, 5};
  EXPECT_EQ(drive([&] { return jWeldShadowDlg(nullptr, &p); },
                  [](QDialog &d) {
                    auto *types = control<QComboBox>(d, 1165);
                    EXPECT_EQ(types->currentIndex(), 1);
                    EXPECT_FALSE(control(d, 1050)->isEnabled());
                    types->setCurrentIndex(3);
                    EXPECT_TRUE(control(d, 1050)->isEnabled());
                    expectTyped(d, {{1050, "40.554", "40.55"}});
                    typeAndLeave(d, 1166, "12");
                    typeAndLeave(d, 1167, "-6");
                    types->setCurrentIndex(0);
                    click(d, 1163);
                    click(d, 1);
                  }),
            1);
  const JWeldShadowParam expected{0, 4, 12.0f, -6.0f, 40.55f, 1.0f, 50.0f, 20.0f, 5};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
}

TEST(WeldDialogs, CancelLeavesTheRecordAndNullRecordsAreRefused) {
  expectCancelKeeps<JWeldWidenParam>(jWeldWidenDlg, {3.0f, 2, 4, 10.0f, 0}, [](QDialog &d) {
    typeAndLeave(d, 1142, "7");
    click(d, 1149);
  });
  expectCancelKeeps<JWeldShadowParam>(
      jWeldShadowDlg, {1, 2, 3.0f, 4.0f, 50.0f, 1.0f, 50.0f, 20.0f, 0}, [](QDialog &d) {
        control<QComboBox>(d, 1165)->setCurrentIndex(3);
        typeAndLeave(d, 1166, "9");
        QTest::keyClick(&d, Qt::Key_Escape);
      });
  EXPECT_EQ(jWeldDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldOffsetDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldShadowDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldStripeDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldWidenDlg(nullptr, nullptr), -1);
}


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



TEST(DialogNumbers, ReadLikeTheStandardConversionAndPrintWithFixedDecimals) {
  using outlina::numberText;
  using outlina::textToInt;
  using outlina::textToNumber;
  EXPECT_EQ(textToNumber("  12.5mm", 18), 12.5);
  EXPECT_EQ(textToNumber("", 18), 0.0);
  EXPECT_EQ(textToNumber(QStringLiteral("１２"), 18), 0.0);
  EXPECT_EQ(textToNumber("1234567890123456789", 18), 123456789012345678.0);
  EXPECT_EQ(textToInt("250", 5), 250);
  EXPECT_EQ(textToInt("1234567", 5), 12345);
  EXPECT_EQ(textToInt("-5", 5), -5);
  EXPECT_EQ(numberText(0.125, 2), "0.12");
  EXPECT_EQ(numberText(-0.004, 2), "-0.00");
}


}  // namespace
