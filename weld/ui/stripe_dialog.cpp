// jWeldStripeDlg: stripe and slit widths, direction and angle.
#include "outlina_ui.h"
#include "ui/dialog.h"
#include "weld/ui/weld_choices.h"

namespace outlina {
namespace {

constexpr int kIdStripeWidth = 1000;
constexpr int kIdSlitWidth = 1001;
constexpr int kIdAngle = 1005;
// Horizontal, vertical and angled bands.
constexpr Choice kDirectionChoices[] = {{1003, 0}, {1002, 1}, {1004, 2}};
constexpr NumberRange kAngleRange{0.0, 180.0};

struct StripeState {
  JWeldStripeParam work;
  JWeldStripeParam *record;
  WindowPlace place;
} stripeState;

class StripeDialog : public TemplateDialog {
 public:
  explicit StripeDialog(QWidget *parent)
      : TemplateDialog("WELD_STRIPEDLG", parent, stripeState.place) {}

 protected:
  void initDialog() override {
    JWeldStripeParam &w = stripeState.work;
    w = *stripeState.record;
    setItemText(kIdStripeWidth, numberText(w.stripeWidth, kOneDecimal));
    setItemText(kIdSlitWidth, numberText(w.slitWidth, kOneDecimal));
    checkChoice(kDirectionChoices, w.direction);
    // The angle opens with two decimals and shows one once it has been edited.
    setItemText(kIdAngle, numberText(w.stripeAngle, kTwoDecimals));
    watchEdit(kIdStripeWidth);
    watchEdit(kIdSlitWidth);
    watchEdit(kIdAngle);
  }

  void editLeft(int id) override {
    JWeldStripeParam &w = stripeState.work;
    if (id == kIdStripeWidth) reprintNumber(id, w.stripeWidth, kOneDecimal);
    if (id == kIdSlitWidth) reprintNumber(id, w.slitWidth, kOneDecimal);
    if (id == kIdAngle) reprintNumber(id, w.stripeAngle, kOneDecimal, kAngleRange);
  }

  void commit() override {
    JWeldStripeParam &w = stripeState.work;
    w.stripeWidth = readNumber(kIdStripeWidth);
    w.slitWidth = readNumber(kIdSlitWidth);
    readChoice(kDirectionChoices, w.direction);
    w.stripeAngle = readNumber(kIdAngle);
    *stripeState.record = w;
  }
};

}  // namespace
}  // namespace outlina

extern "C" OUTLINA_API int32_t jWeldStripeDlg(void *parent, JWeldStripeParam *param) {
  if (param == nullptr || !outlina::dialogsAvailable()) return -1;
  outlina::stripeState.record = param;
  outlina::StripeDialog dialog(static_cast<QWidget *>(parent));
  return dialog.run();
}
