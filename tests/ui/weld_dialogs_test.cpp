#include <QComboBox>
#include <QPainter>

#include "dialog_driver.h"
#include "outlina_ui.h"
#include "weld/ui/shadow_preview.h"

namespace {

using namespace ui_test;

void expectChecked(QDialog &d, std::initializer_list<int> ids, bool checked) {
  for (int id : ids) EXPECT_EQ(isChecked(d, id), checked) << id;
}

TEST(WeldDialog, ChecksTheCurrentRuleAndWritesThePickedOne) {
  int32_t mode = 2;
  EXPECT_EQ(drive([&] { return jWeldDlg(nullptr, &mode); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("陰線処理"));
                    expectChecked(d, {1008}, true);
                    expectChecked(d, {1007}, false);
                    click(d, 1005);
                    saveScreenshot(d, "WELD_DLG");
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(mode, 3);

  mode = 9;  // no button stands for 9: none is checked and OK keeps the value
  QWidget host;
  EXPECT_EQ(drive([&] { return jWeldDlg(&host, &mode); },
                  [&](QDialog &d) {
                    EXPECT_EQ(d.parentWidget(), &host);
                    expectChecked(d, {1007, 1008, 1005}, false);
                    click(d, 1);
                  }),
            1);
  EXPECT_EQ(mode, 9);
}

TEST(OffsetDialog, ClampsOnLeavingAnEditAndWritesWhatTheTextSays) {
  JWeldOffsetParam p{1.0f, 0, 1, 0, 5, 4.0f, 0, 0};
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("オフセット処理"));
                    EXPECT_EQ(textOf(d, 1142), "1.00");
                    EXPECT_EQ(textOf(d, 1012), "4.00");
                    expectChecked(d, {1147, 1149, 1010}, true);
                    expectChecked(d, {1150}, false);
                    expectTyped(d, {{1142, "600", "500.00"},
                                    {1142, "-3", "0.00"},
                                    {1142, "abc", "0.00"},
                                    {1142, "1.234", "1.23"},
                                    {1012, "250", "100.00"}});
                    for (int id : {1148, 1150, 1011, 1003}) click(d, id);
                    saveScreenshot(d, "WELD_OFFSETDLG");
                    click(d, 1);
                  }),
            1);
  const JWeldOffsetParam expected{1.23f, 1, 1, 1, 6, 100.0f, 1, 1};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);

  // Enter confirms the typed value unclamped; side and joint codes without a button stay.
  p = {1.0f, 7, 0, 0, 9, 4.0f, 0, 0};
  EXPECT_EQ(drive([&] { return jWeldOffsetDlg(nullptr, &p); },
                  [](QDialog &d) {
                    expectChecked(d, {1147, 1148, 1009, 1010, 1011}, false);
                    QLineEdit *e = control<QLineEdit>(d, 1142);
                    e->setFocus();
                    e->selectAll();
                    QTest::keyClicks(e, "600");
                    QTest::keyClick(e, Qt::Key_Return);
                  }),
            1);
  EXPECT_EQ(p.distance, 600.0f);
  EXPECT_EQ(p.side, 7);
  EXPECT_EQ(p.joint, 9);
}

TEST(WidenDialog, WritesCapJointAndWidthWithCurvesOn) {
  JWeldWidenParam p{3.0f, 2, 4, 10.0f, 0};
  EXPECT_EQ(drive([&] { return jWeldWidenDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("線幅処理"));
                    expectChecked(d, {1148, 1009}, true);
                    expectTyped(d, {{1142, "1.234", "1.23"}, {1012, "-1", "0.00"}});
                    click(d, 1149);
                    click(d, 1010);
                    saveScreenshot(d, "WELD_WIDENDLG");
                    click(d, 1);
                  }),
            1);
  const JWeldWidenParam expected{1.23f, 3, 5, 0.0f, 1};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
}

TEST(StripeDialog, ClampsTheAngleAndKeepsTheCurveFlag) {
  JWeldStripeParam p{2.0f, 1.0f, 0, 45.0f, 7};
  EXPECT_EQ(drive([&] { return jWeldStripeDlg(nullptr, &p); },
                  [](QDialog &d) {
                    EXPECT_EQ(d.windowTitle(), QStringLiteral("ストライプ処理"));
                    EXPECT_EQ(textOf(d, 1000), "2.0");
                    EXPECT_EQ(textOf(d, 1005), "45.00");
                    expectChecked(d, {1003}, true);
                    // Widths are reprinted but never clamped; an exact tie rounds to even.
                    expectTyped(d, {{1005, "200", "180.0"},
                                    {1005, "-5", "0.0"},
                                    {1000, "2.25", "2.2"},
                                    {1001, "-7.06", "-7.1"},
                                    {1005, "30", "30.0"}});
                    click(d, 1004);
                    EXPECT_TRUE(control(d, 1005)->isEnabled());
                    saveScreenshot(d, "WELD_STRIPEDLG");
                    click(d, 1);
                  }),
            1);
  const JWeldStripeParam expected{2.2f, -7.1f, 2, 30.0f, 7};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
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
                    expectChecked(d, {1158}, true);
                    auto ratioEnabled = [&](bool on) {
                      for (int id : {1050, 1172, 1173}) EXPECT_EQ(control(d, id)->isEnabled(), on);
                    };
                    ratioEnabled(false);
                    types->setCurrentIndex(3);
                    ratioEnabled(true);
                    expectTyped(d, {{1050, "40.554", "40.55"}});
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
                    ratioEnabled(false);
                    click(d, 1163);
                    click(d, 1);
                  }),
            1);
  const JWeldShadowParam expected{0, 4, 12.0f, -6.0f, 40.55f, 1.0f, 50.0f, 20.0f, 5};
  EXPECT_EQ(std::memcmp(&p, &expected, sizeof p), 0);
}

TEST(WeldDialogs, CancelLeavesTheRecordByteForByte) {
  expectCancelKeeps<int32_t>(jWeldDlg, 2, [](QDialog &d) { click(d, 1005); });
  expectCancelKeeps<JWeldOffsetParam>(jWeldOffsetDlg, {2.5f, 1, 0, 1, 4, 3.0f, 1, 0},
                                      [](QDialog &d) {
                                        typeAndLeave(d, 1142, "42");
                                        click(d, 1147);
                                        click(d, 1009);
                                      });
  expectCancelKeeps<JWeldWidenParam>(jWeldWidenDlg, {3.0f, 2, 4, 10.0f, 0}, [](QDialog &d) {
    typeAndLeave(d, 1142, "7");
    click(d, 1149);
  });
  expectCancelKeeps<JWeldStripeParam>(jWeldStripeDlg, {2.0f, 1.0f, 0, 45.0f, 7}, [](QDialog &d) {
    typeAndLeave(d, 1000, "9");
    click(d, 1004);
  });
  expectCancelKeeps<JWeldShadowParam>(
      jWeldShadowDlg, {1, 2, 3.0f, 4.0f, 50.0f, 1.0f, 50.0f, 20.0f, 0}, [](QDialog &d) {
        control<QComboBox>(d, 1165)->setCurrentIndex(3);
        typeAndLeave(d, 1166, "9");
        QTest::keyClick(&d, Qt::Key_Escape);
      });
}

TEST(WeldDialogs, ReopenWhereTheUserLastClosedThem) {
  JWeldStripeParam p{2.0f, 1.0f, 0, 45.0f, 0};
  QPoint reopened;
  // Cancel and OK both remember the place.
  for (auto [button, moveTo] : {std::pair{2, QPoint(123, 77)}, {1, QPoint(31, 45)}}) {
    drive([&] { return jWeldStripeDlg(nullptr, &p); },
          [&](QDialog &d) {
            d.move(moveTo);
            click(d, button);
          });
    drive([&] { return jWeldStripeDlg(nullptr, &p); },
          [&](QDialog &d) {
            reopened = d.pos();
            click(d, 2);
          });
    EXPECT_EQ(reopened, moveTo);
  }
}

TEST(WeldDialogs, NullRecordsAreRefusedWithoutShowingAnything) {
  EXPECT_EQ(jWeldDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldOffsetDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldShadowDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldStripeDlg(nullptr, nullptr), -1);
  EXPECT_EQ(jWeldWidenDlg(nullptr, nullptr), -1);
  EXPECT_EQ(QApplication::topLevelWidgets().size(), 0);
}

}  // namespace
