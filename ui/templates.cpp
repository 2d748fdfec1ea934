#include "ui/templates.h"

#include <QDialog>
#include <cstring>

#include "ui_vtrs_shapedlg.h"
#include "ui_weld_dlg.h"
#include "ui_weld_offsetdlg.h"
#include "ui_weld_shadowdlg.h"
#include "ui_weld_stripedlg.h"
#include "ui_weld_widendlg.h"

namespace outlina {
namespace {

template <class Ui>
void build(QDialog *dialog) {
  Ui().setupUi(dialog);
}

struct Template {
  const char *name;
  void (*build)(QDialog *);
};

constexpr Template kTemplates[] = {
    {"WELD_DLG", build<Ui::WELD_DLG>},
    {"WELD_OFFSETDLG", build<Ui::WELD_OFFSETDLG>},
    {"WELD_SHADOWDLG", build<Ui::WELD_SHADOWDLG>},
    {"WELD_STRIPEDLG", build<Ui::WELD_STRIPEDLG>},
    {"WELD_WIDENDLG", build<Ui::WELD_WIDENDLG>},
    {"VTRS_SHAPEDLG", build<Ui::VTRS_SHAPEDLG>},
};

}  // namespace

bool buildTemplate(const char *name, QDialog *dialog) {
  if (name == nullptr) return false;
  for (const Template &t : kTemplates) {
    if (std::strcmp(t.name, name) == 0) {
      t.build(dialog);
      return true;
    }
  }
  return false;
}

}  // namespace outlina
