// jWeldDlg: the combine rule, written straight into the caller's word.
#include "outlina_ui.h"
#include "ui/dialog.h"

namespace outlina {
namespace {

// Union, intersection and hole extraction, tested in this order on OK.
constexpr Choice kRuleChoices[] = {{1007, 1}, {1008, 2}, {1005, 3}};

WindowPlace weldPlace;

class WeldDialog : public TemplateDialog {
 public:
  WeldDialog(QWidget *parent, int32_t *mode)
      : TemplateDialog("WELD_DLG", parent, weldPlace), mode_(mode) {}

 protected:
  void initDialog() override { checkChoice(kRuleChoices, *mode_); }
  void commit() override { readChoice(kRuleChoices, *mode_); }

 private:
  int32_t *mode_;
};

}  // namespace
}  // namespace outlina

extern "C" OUTLINA_API int32_t jWeldDlg(void *parent, int32_t *mode) {
  if (mode == nullptr || !outlina::dialogsAvailable()) return -1;
  outlina::WeldDialog dialog(static_cast<QWidget *>(parent), mode);
  return dialog.run();
}
