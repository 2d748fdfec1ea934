// The frame of every library dialog: a template built by name, controls found by their ids,
// modal results 1 / 0 / -1, and the window place remembered between openings.
#ifndef OUTLINA_UI_DIALOG_H
#define OUTLINA_UI_DIALOG_H

#include <QDialog>
#include <QRect>
#include <QSet>
#include <QString>
#include <cstdint>
#include <optional>
#include <span>

class QPainter;

namespace outlina {

// Command ids of the OK and Cancel buttons in every template.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;

// Where a dialog was last closed; taken from the dialog itself at its first opening.
struct WindowPlace {
  QRect rect;
  bool taken = false;
};

// The value the standard text-to-number conversion makes of the first maxChars characters:
// leading blanks skipped, as much of a number as there is, 0 when there is none.
double textToNumber(const QString &text, int maxChars);
int32_t textToInt(const QString &text, int maxChars);
// The value with a fixed number of decimals, as "%.2f" prints it, in every locale.
QString numberText(double value, int decimals);

// True when a widget application runs and this is its thread; dialogs answer -1 otherwise.
bool dialogsAvailable();

// The range a number edit is held to when it is left.
struct NumberRange {
  double low, high;
};

// One radio button of a choice and the field value it stands for.
struct Choice {
  int id;
  int32_t value;
};

class TemplateDialog : public QDialog {
 public:
  TemplateDialog(const char *templateName, QWidget *parent, WindowPlace &place);

  // Shows the dialog modally: 1 after OK, 0 after Cancel, -1 when the template is unknown.
  int run();

  // The control with the given id, or null.
  template <class T = QWidget>
  T *item(int id) const {
    return findChild<T *>(itemName(id));
  }
  static QString itemName(int id);

  // OK: commit, remember the place, end with 1. Cancel (also Escape and closing): remember the
  // place, end with 0.
  void accept() override;
  void reject() override;

 protected:
  // Sets the controls from the working copy.
  virtual void initDialog() = 0;
  // Reads the controls into the working copy and writes it to the caller's record.
  virtual void commit() = 0;
  // A watched edit lost the focus.
  virtual void editLeft(int) {}
  // A watched picture needs painting, or was clicked.
  virtual void paintItem(int, QPainter &) {}
  virtual void itemClicked(int) {}

  // Edits report losing the focus; pictures report painting and clicks.
  void watchEdit(int id);
  void watchPicture(int id);

  bool checked(int id) const;
  void setChecked(int id, bool on);
  // A check box shows its field: 0 clear, 2 the third, undecided state, anything else ticked.
  // Reading gives 0, 1 or 2 back, so a field of 2 the user did not touch stays 2.
  void showField(int id, int32_t field);
  int32_t fieldOf(int id) const;
  // Checks the button of value, none when no button stands for it.
  void checkChoice(std::span<const Choice> choices, int32_t value);
  // The value of the first checked button; field unchanged when none is checked.
  void readChoice(std::span<const Choice> choices, int32_t &field) const;
  QString itemText(int id) const;
  void setItemText(int id, const QString &text);
  // Reads the number edit (at most 18 characters).
  float readNumber(int id) const;
  // Leaving a number edit: read, clamp to the range if there is one, print with decimals and
  // read back, so that the working value is the one shown.
  void reprintNumber(int id, float &field, int decimals,
                     std::optional<NumberRange> range = std::nullopt);

  bool eventFilter(QObject *watched, QEvent *event) override;
  void showEvent(QShowEvent *event) override;

 private:
  // Tab enters each group of radio buttons at its checked one, or its first when none is; the
  // arrow keys move inside the group.
  void updateRadioTabStops();

  WindowPlace &place_;
  bool built_;
  QSet<int> pictures_;
};

}  // namespace outlina

#endif
