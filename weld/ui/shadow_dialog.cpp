// jWeldShadowDlg: shadow kind, displacement, far-face ratio, offset and option, with a preview.
#include <QComboBox>
#include <QPainter>

#include "outlina_ui.h"
#include "ui/dialog.h"
#include "weld/ui/shadow_preview.h"
#include "weld/ui/weld_choices.h"

namespace outlina {
namespace {

constexpr int kIdType = 1165;
constexpr int kIdDx = 1166;
constexpr int kIdDy = 1167;
constexpr int kIdRatio = 1050;
constexpr int kIdRatioLabel = 1172;
constexpr int kIdRatioUnit = 1173;
constexpr int kIdOffset = 1051;
constexpr int kIdPreview = 1171;
// Standard, without the outlines, without the offset; then the same three for offset shadows.
constexpr Choice kOptionChoices[] = {{1158, JWSO_MERGE}, {1159, JWSO_CUT_OUTLINES},
                                     {1160, JWSO_CUT_OFFSET}, {1162, JWSO_OFFSET},
                                     {1163, JWSO_OFFSET_HOLES}, {1164, JWSO_OFFSET_CUT_OFFSET}};
// The list entries in the order of the shadow kinds.
const char *const kTypeNames[] = {"ﾌﾞﾛｯｸ", "ﾄﾞﾛｯﾌﾟ", "ｷｬｽﾄ", "ﾊﾟｰｽ"};

struct ShadowState {
  JWeldShadowParam work;
  JWeldShadowParam *record;
  WindowPlace place;
} shadowState;

class ShadowDialog : public TemplateDialog {
 public:
  explicit ShadowDialog(QWidget *parent)
      : TemplateDialog("WELD_SHADOWDLG", parent, shadowState.place) {}

 protected:
  void initDialog() override {
    JWeldShadowParam &w = shadowState.work;
    w = *shadowState.record;
    if (auto *types = item<QComboBox>(kIdType)) {
      types->clear();
      for (const char *name : kTypeNames) types->addItem(QString::fromUtf8(name));
      types->setCurrentIndex(w.type);
      // Connected only now: filling the list is not a choice of the user.
      connect(types, &QComboBox::currentIndexChanged, this, [this] { typeChanged(); });
      connect(types, &QComboBox::activated, this, [this] { typeChanged(); });
    }
    setItemText(kIdDx, numberText(w.dx, kTwoDecimals));
    setItemText(kIdDy, numberText(w.dy, kTwoDecimals));
    setItemText(kIdRatio, numberText(w.ratio, kTwoDecimals));
    setItemText(kIdOffset, numberText(w.offset, kTwoDecimals));
    checkChoice(kOptionChoices, w.option);
    enableRatio();
    for (int id : {kIdDx, kIdDy, kIdRatio, kIdOffset}) watchEdit(id);
    watchPicture(kIdPreview);
  }

  void editLeft(int id) override {
    JWeldShadowParam &w = shadowState.work;
    float *field = id == kIdDx      ? &w.dx
                   : id == kIdDy    ? &w.dy
                   : id == kIdRatio ? &w.ratio
                   : id == kIdOffset ? &w.offset
                                     : nullptr;
    if (field == nullptr) return;
    reprintNumber(id, *field, kTwoDecimals);
    repaintPreview();
  }

  void paintItem(int id, QPainter &painter) override {
    if (id == kIdPreview) weldShadowPreview(&painter, item(id)->size(), shadowState.work);
  }

  void commit() override {
    JWeldShadowParam &w = shadowState.work;
    if (const auto *types = item<QComboBox>(kIdType)) w.type = types->currentIndex();
    w.dx = readNumber(kIdDx);
    w.dy = readNumber(kIdDy);
    w.ratio = readNumber(kIdRatio);
    w.offset = readNumber(kIdOffset);
    readChoice(kOptionChoices, w.option);
    *shadowState.record = w;
  }

 private:
  void typeChanged() {
    if (const auto *types = item<QComboBox>(kIdType)) shadowState.work.type = types->currentIndex();
    enableRatio();
    repaintPreview();
  }

  // The far-face ratio only means something for the perspective kind.
  void enableRatio() {
    const bool perspective = shadowState.work.type == JWST_PERSPECTIVE;
    for (int id : {kIdRatio, kIdRatioLabel, kIdRatioUnit}) {
      if (QWidget *w = item(id)) w->setEnabled(perspective);
    }
  }

  void repaintPreview() {
    if (QWidget *preview = item(kIdPreview)) preview->update();
  }
};

}  // namespace
}  // namespace outlina

extern "C" OUTLINA_API int32_t jWeldShadowDlg(void *parent, JWeldShadowParam *param) {
  if (param == nullptr || !outlina::dialogsAvailable()) return -1;
  outlina::shadowState.record = param;
  outlina::ShadowDialog dialog(static_cast<QWidget *>(parent));
  return dialog.run();
}
