// jWeldOffsetDlg: distance, side, axes, joint, mitre limit and keep-input of the offset.
#include "outlina_ui.h"
#include "ui/dialog.h"
#include "weld/ui/weld_choices.h"

namespace outlina {
namespace {

constexpr Choice kSideChoices[] = {{1147, 0}, {1148, 1}};
constexpr int kIdHorizontal = 1149;
constexpr int kIdVertical = 1150;
constexpr int kIdKeepInput = 1003;

struct OffsetState {
  JWeldOffsetParam work;
  JWeldOffsetParam *record;
  WindowPlace place;
} offsetState;

class OffsetDialog : public TemplateDialog {
 public:
  explicit OffsetDialog(QWidget *parent)
      : TemplateDialog("WELD_OFFSETDLG", parent, offsetState.place) {}

 protected:
  void initDialog() override {
    JWeldOffsetParam &w = offsetState.work;
    w = *offsetState.record;
    setItemText(kIdLengthEdit, numberText(w.distance, kTwoDecimals));
    checkChoice(kSideChoices, w.side);
    showField(kIdHorizontal, w.horizontal);
    showField(kIdVertical, w.vertical);
    checkChoice(kJointChoices, w.joint);
    setItemText(kIdMiterLimitEdit, numberText(w.miterLimit, kTwoDecimals));
    showField(kIdKeepInput, w.keepInput);
    watchEdit(kIdLengthEdit);
    watchEdit(kIdMiterLimitEdit);
  }

  void editLeft(int id) override {
    JWeldOffsetParam &w = offsetState.work;
    if (id == kIdLengthEdit) reprintNumber(id, w.distance, kTwoDecimals, kLengthRange);
    if (id == kIdMiterLimitEdit) reprintNumber(id, w.miterLimit, kTwoDecimals, kMiterLimitRange);
  }

  void commit() override {
    JWeldOffsetParam &w = offsetState.work;
    w.distance = readNumber(kIdLengthEdit);
    readChoice(kSideChoices, w.side);
    w.horizontal = fieldOf(kIdHorizontal);
    w.vertical = fieldOf(kIdVertical);
    readChoice(kJointChoices, w.joint);
    w.miterLimit = readNumber(kIdMiterLimitEdit);
    w.keepInput = fieldOf(kIdKeepInput);
    // The offset always comes back with curves.
    w.curveFit = 1;
    *offsetState.record = w;
  }
};

}  // namespace
}  // namespace outlina

extern "C" OUTLINA_API int32_t jWeldOffsetDlg(void *parent, JWeldOffsetParam *param) {
  if (param == nullptr || !outlina::dialogsAvailable()) return -1;
  outlina::offsetState.record = param;
  outlina::OffsetDialog dialog(static_cast<QWidget *>(parent));
  return dialog.run();
}
