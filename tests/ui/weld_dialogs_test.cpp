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

TEST(ShadowDialog, TypeListEnablesTheRatioAndThePreviewFollowsTheEdits) {
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

}  // namespace
