// The dialogs and previews, driven headless.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <cstring>

#include "dialog_driver.h"
#include "outlina_ui.h"
#include "ui/dialog.h"
#include "ui/draw.h"
#include "weld/ui/shadow_preview.h"

namespace {

using namespace ui_test;

const QRgb kBlue = qRgb(0, 0, 255), kRed = qRgb(255, 0, 0), kBlack = qRgb(0, 0, 0),
           kWhite = qRgb(255, 255, 255);


TEST(OffsetDialog, ClampsOnLeavingAnEditAndWritesWhatTheTextSays) {
  JWeldOffsetParam p{1.0f, 0, 1, 0, 5, 4.0f, 0, 0};
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(textOf(d, 1142), "1.00");
                    for (int id : {1147, 1149, 1010}) EXPECT_TRUE(isChecked(d, id)) << id;
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
