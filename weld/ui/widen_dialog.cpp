// jWeldWidenDlg: width, cap, joint and mitre limit of the widened stroke.
#include "outlina_ui.h"
#include "ui/dialog.h"
#include "weld/ui/weld_choices.h"

namespace outlina {
namespace {

// Square, round and flat caps.
constexpr Choice kCapChoices[] = {{1147, JVC_SQUARE}, {1148, JVC_ROUND}, {1149, JVC_FLAT}};

struct WidenState {
  JWeldWidenParam work;
  JWeldWidenParam *record;
  WindowPlace place;
} widenState;

class WidenDialog : public TemplateDialog {
 public:
  explicit WidenDialog(QWidget *parent)
      : TemplateDialog("WELD_WIDENDLG", parent, widenState.place) {}

 protected:
  void initDialog() override {
    JWeldWidenParam &w = widenState.work;
    w = *widenState.record;
    setItemText(kIdLengthEdit, numberText(w.width, kTwoDecimals));
    checkChoice(kCapChoices, w.cap);
    checkChoice(kJointChoices, w.joint);
    setItemText(kIdMiterLimitEdit, numberText(w.miterLimit, kTwoDecimals));
    watchEdit(kIdLengthEdit);
    watchEdit(kIdMiterLimitEdit);
  }

  void editLeft(int id) override {
    JWeldWidenParam &w = widenState.work;
    if (id == kIdLengthEdit) reprintNumber(id, w.width, kTwoDecimals, kLengthRange);
    if (id == kIdMiterLimitEdit) reprintNumber(id, w.miterLimit, kTwoDecimals, kMiterLimitRange);
  }

  void commit() override {
    JWeldWidenParam &w = widenState.work;
    w.width = readNumber(kIdLengthEdit);
    readChoice(kCapChoices, w.cap);
    readChoice(kJointChoices, w.joint);
    w.miterLimit = readNumber(kIdMiterLimitEdit);
    // The widened stroke always comes back with curves.
    w.curveFit = 1;
    *widenState.record = w;
  }
};

}  // namespace
}  // namespace outlina

extern "C" OUTLINA_API int32_t jWeldWidenDlg(void *parent, JWeldWidenParam *param) {
  if (param == nullptr || !outlina::dialogsAvailable()) return -1;
  outlina::widenState.record = param;
  outlina::WidenDialog dialog(static_cast<QWidget *>(parent));
  return dialog.run();
}
