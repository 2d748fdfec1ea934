#include <QCheckBox>
#include <QComboBox>
#include <QPainter>
#include <QRadioButton>
#include <cstring>

#include "dialog_driver.h"
#include "outlina_ui.h"
#include "weld/ui/shadow_preview.h"

namespace {

using namespace ui_test;

bool isChecked(QDialog &d, int id) { return control<QAbstractButton>(d, id)->isChecked(); }

TEST(WeldDialog, ChecksTheCurrentRuleAndWritesThePickedOne) {
  int32_t mode = 2;
  const int32_t result = drive([&] { return jWeldDlg(nullptr, &mode); }, [](QDialog &d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("陰線処理"));
    EXPECT_TRUE(isChecked(d, 1008));
    EXPECT_FALSE(isChecked(d, 1007));
    click(d, 1005);
    saveScreenshot(d, "WELD_DLG");
    click(d, 1);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(mode, 3);

  mode = 9;  // no button stands for 9: none is checked and OK keeps the value
  QWidget host;
  EXPECT_EQ(drive([&] { return jWeldDlg(&host, &mode); },
                  [&](QDialog &d) {
                    EXPECT_EQ(d.parentWidget(), &host);
                    for (int id : {1007, 1008, 1005}) EXPECT_FALSE(isChecked(d, id));
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(mode, 9);
  EXPECT_EQ(jWeldDlg(nullptr, nullptr), -1);
}

TEST(OffsetDialog, ClampsOnLeavingAnEditAndWritesWhatTheTextSays) {
  JWeldOffsetParam p{1.0f, 0, 1, 0, 5, 4.0f, 0, 0};
  const int32_t result = drive([&] { return jWeldOffsetDlg(nullptr, &p); }, [](QDialog &d) {
    EXPECT_EQ(d.windowTitle(), QStringLiteral("オフセット処理"));
    EXPECT_EQ(textOf(d, 1142), "1.00");
    EXPECT_EQ(textOf(d, 1012), "4.00");
    EXPECT_TRUE(isChecked(d, 1147));
    EXPECT_TRUE(isChecked(d, 1149));
    EXPECT_FALSE(isChecked(d, 1150));
    EXPECT_TRUE(isChecked(d, 1010));
    typeAndLeave(d, 1142, "600");
    EXPECT_EQ(textOf(d, 1142), "500.00");
    typeAndLeave(d, 1142, "-3");
    EXPECT_EQ(textOf(d, 1142), "0.00");
    typeAndLeave(d, 1142, "abc");
    EXPECT_EQ(textOf(d, 1142), "0.00");
    typeAndLeave(d, 1142, "1.234");
    EXPECT_EQ(textOf(d, 1142), "1.23");
    typeAndLeave(d, 1012, "250");
    EXPECT_EQ(textOf(d, 1012), "100.00");
    click(d, 1148);
    click(d, 1150);
    click(d, 1011);
    click(d, 1003);
    saveScreenshot(d, "WELD_OFFSETDLG");
    click(d, 1);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(p.distance, 1.23f);
  EXPECT_EQ(p.side, 1);
  EXPECT_EQ(p.horizontal, 1);
  EXPECT_EQ(p.vertical, 1);
  EXPECT_EQ(p.joint, 6);
  EXPECT_EQ(p.miterLimit, 100.0f);
  EXPECT_EQ(p.keepInput, 1);
  EXPECT_EQ(p.curveFit, 1);
}

TEST(OffsetDialog, EnterConfirmsTheTypedValueUnclamped) {
  JWeldOffsetParam p{1.0f, 7, 0, 0, 9, 4.0f, 0, 0};
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &p); },
                  [](QDialog &d) {
                    for (int id : {1147, 1148, 1009, 1010, 1011}) EXPECT_FALSE(isChecked(d, id));
                    QLineEdit *e = control<QLineEdit>(d, 1142);
                    e->setFocus();
                    e->selectAll();
                    QTest::keyClicks(e, "600");
                    QTest::keyClick(e, Qt::Key_Return);
                  }),
            1);
  EXPECT_EQ(p.distance, 600.0f);
  // Side and joint codes without a button stay as the caller set them.
  EXPECT_EQ(p.side, 7);
  EXPECT_EQ(p.joint, 9);
}

TEST(WeldDialogs, CancelLeavesTheRecordByteForByte) {
  JWeldOffsetParam offset{2.5f, 1, 0, 1, 4, 3.0f, 1, 0};
  const JWeldOffsetParam offsetBefore = offset;
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &offset); },
                  [](QDialog &d) {
                    typeAndLeave(d, 1142, "42");
                    click(d, 1147);
                    click(d, 1009);
                    click(d, 2);
                  }),
            0);
  EXPECT_EQ(std::memcmp(&offset, &offsetBefore, sizeof offset), 0);

  JWeldShadowParam shadow{1, 2, 3.0f, 4.0f, 50.0f, 1.0f, 50.0f, 20.0f, 0};
  const JWeldShadowParam shadowBefore = shadow;
  EXPECT_EQ(drive([&] { return jWeldShadowDlg(nullptr, &shadow); },
                  [](QDialog &d) {
                    control<QComboBox>(d, 1165)->setCurrentIndex(3);
                    typeAndLeave(d, 1166, "9");
                    QTest::keyClick(&d, Qt::Key_Escape);
                  }),
            0);
  EXPECT_EQ(std::memcmp(&shadow, &shadowBefore, sizeof shadow), 0);
}

TEST(WidenDialog, WritesCapJointAndWidthWithCurvesOn) {
  JWeldWidenParam p{3.0f, 2, 4, 10.0f, 0};
  EXPECT_EQ(drive([&] { return jWeldWidenDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("線幅処理"));
                    EXPECT_TRUE(isChecked(d, 1148));
                    EXPECT_TRUE(isChecked(d, 1009));
                    typeAndLeave(d, 1142, "1.234");
                    EXPECT_EQ(textOf(d, 1142), "1.23");
                    typeAndLeave(d, 1012, "-1");
                    EXPECT_EQ(textOf(d, 1012), "0.00");
                    click(d, 1149);
                    click(d, 1010);
                    saveScreenshot(d, "WELD_WIDENDLG");
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(p.width, 1.23f);
  EXPECT_EQ(p.cap, 3);
  EXPECT_EQ(p.joint, 5);
  EXPECT_EQ(p.miterLimit, 0.0f);
  EXPECT_EQ(p.curveFit, 1);
}

TEST(StripeDialog, ClampsTheAngleAndKeepsTheCurveFlag) {
  JWeldStripeParam p{2.0f, 1.0f, 0, 45.0f, 7};
  EXPECT_EQ(drive([&] { return jWeldStripeDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("ストライプ処理"));
                    EXPECT_EQ(textOf(d, 1000), "2.0");
                    EXPECT_EQ(textOf(d, 1005), "45.00");
                    EXPECT_TRUE(isChecked(d, 1003));
                    typeAndLeave(d, 1005, "200");
                    EXPECT_EQ(textOf(d, 1005), "180.0");
                    typeAndLeave(d, 1005, "-5");
                    EXPECT_EQ(textOf(d, 1005), "0.0");
                    // Widths are reprinted but never clamped; an exact tie rounds to even.
                    typeAndLeave(d, 1000, "2.25");
                    EXPECT_EQ(textOf(d, 1000), "2.2");
                    typeAndLeave(d, 1001, "-7.06");
                    EXPECT_EQ(textOf(d, 1001), "-7.1");
                    typeAndLeave(d, 1005, "30");
                    click(d, 1004);
                    EXPECT_TRUE(control(d, 1005)->isEnabled());
                    saveScreenshot(d, "WELD_STRIPEDLG");
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(p.stripeWidth, 2.2f);
  EXPECT_EQ(p.slitWidth, -7.1f);
  EXPECT_EQ(p.direction, 2);
  EXPECT_EQ(p.stripeAngle, 30.0f);
  EXPECT_EQ(p.curveFit, 7);
}

TEST(ShadowDialog, TypeListEnablesTheRatioAndThePreviewFollowsTheEdits) {
  JWeldShadowParam p{1, 0, 3.0f, 4.0f, 50.0f, 1.0f, 50.0f, 20.0f, 5};
  EXPECT_EQ(drive([&] { return jWeldShadowDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("影付け・シャドウ処理"));
                    auto *types = control<QComboBox>(d, 1165);
                    ASSERT_EQ(types->count(), 4);
                    EXPECT_EQ(types->itemText(0), QStringLiteral("ﾌﾞﾛｯｸ"));
                    EXPECT_EQ(types->itemText(3), QStringLiteral("ﾊﾟｰｽ"));
                    EXPECT_EQ(types->currentIndex(), 1);
                    EXPECT_TRUE(isChecked(d, 1158));
                    for (int id : {1050, 1172, 1173}) EXPECT_FALSE(control(d, id)->isEnabled());
                    types->setCurrentIndex(3);
                    for (int id : {1050, 1172, 1173}) EXPECT_TRUE(control(d, id)->isEnabled());
                    typeAndLeave(d, 1050, "40.554");
                    EXPECT_EQ(textOf(d, 1050), "40.55");
                    typeAndLeave(d, 1166, "12");
                    typeAndLeave(d, 1167, "-6");
                    saveScreenshot(d, "WELD_SHADOWDLG");
                    // The frame shows the working values: compare with a direct drawing.
                    QWidget *frame = control(d, 1171);
                    QImage shown = frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
                    QImage expected(frame->size(), QImage::Format_RGB32);
                    expected.fill(Qt::gray);
                    {
                      QPainter painter(&expected);
                      JWeldShadowParam work{3, 0, 12.0f, -6.0f, 40.55f, 1.0f, 50.0f, 20.0f, 5};
                      outlina::weldShadowPreview(&painter, frame->size(), work);
                    }
                    const QRect inside(2, 2, frame->width() - 6, frame->height() - 6);
                    EXPECT_EQ(shown.copy(inside), expected.copy(inside));
                    types->setCurrentIndex(0);
                    for (int id : {1050, 1172, 1173}) EXPECT_FALSE(control(d, id)->isEnabled());
                    click(d, 1163);
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(p.type, 0);
  EXPECT_EQ(p.option, 4);
  EXPECT_EQ(p.dx, 12.0f);
  EXPECT_EQ(p.dy, -6.0f);
  EXPECT_EQ(p.ratio, 40.55f);
  EXPECT_EQ(p.objectWidth, 50.0f);
  EXPECT_EQ(p.objectHeight, 20.0f);
  EXPECT_EQ(p.curveFit, 5);
}

TEST(WeldDialogs, ReopenWhereTheUserLastClosedThem) {
  JWeldStripeParam p{2.0f, 1.0f, 0, 45.0f, 0};
  drive([&] { return jWeldStripeDlg(nullptr, &p); }, [](QDialog &d) {
    d.move(123, 77);
    click(d, 2);
  });
  QPoint reopened;
  drive([&] { return jWeldStripeDlg(nullptr, &p); }, [&](QDialog &d) {
    reopened = d.pos();
    d.move(31, 45);
    click(d, 1);
  });
  EXPECT_EQ(reopened, QPoint(123, 77));
  drive([&] { return jWeldStripeDlg(nullptr, &p); }, [&](QDialog &d) {
    reopened = d.pos();
    click(d, 2);
  });
  EXPECT_EQ(reopened, QPoint(31, 45));
}

TEST(WeldDialogs, NullRecordsAreRefusedWithoutShowingAnything) {
  EXPECT_EQ(jWeldOffsetDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldShadowDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldStripeDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldWidenDlg(nullptr, nullptr), -1);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), 0);
}

}  // namespace
