// The dialog templates compiled into the library, found by their resource names.
#ifndef OUTLINA_UI_TEMPLATES_H
#define OUTLINA_UI_TEMPLATES_H

class QDialog;

namespace outlina {

// Builds the controls of the named template into dialog; false for an unknown name.
bool buildTemplate(const char *name, QDialog *dialog);

}  // namespace outlina

#endif
