// The studio's main window: text and font on the left with the list of applied effects, the
// drawing on the right, the effects in a menu and a toolbar, counts and timing below.
#ifndef OUTLINA_TOOLS_STUDIO_STUDIO_WINDOW_H
#define OUTLINA_TOOLS_STUDIO_STUDIO_WINDOW_H

#include <QMainWindow>
#include <QTimer>
#include <QUndoStack>

#include "canvas.h"
#include "document.h"
#include "outlina_ui.h"

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QUndoView;

namespace outlina::studio {

class StudioWindow : public QMainWindow {
 public:
  explicit StudioWindow(QWidget *parent = nullptr);

  // Reads an SVG or JSON outline as the new source; a file that cannot be read leaves the
  // document as it was and says why in the status bar.
  void openFile(const QString &file);
  // Writes the result as SVG, PNG or JSON, chosen by the file's ending, with the program's
  // writers; false with the reason in the status bar.
  bool exportTo(const QString &file);
  // No run under way and none waiting to start.
  bool settled() const;

  Document &document() { return document_; }
  Canvas &canvas() { return *canvas_; }
  QUndoStack &undoStack() { return undo_; }

 private:
  void buildActions();
  void buildPanels();
  void textChanged();
  cli::TextSetting textSetting() const;
  void shown();
  void showBusy(bool busy);
  void say(const QString &message);
  // Opens one of the library's dialogs over the canvas and applies the effect on OK.
  template <class Record, class MakeStep>
  void runDialog(int32_t (*dialog)(void *, Record *), Record &record, MakeStep step);
  void chooseFile();
  void chooseExport();

  Document document_;
  QUndoStack undo_;
  QTimer textPause_;
  Canvas *canvas_;
  QPlainTextEdit *text_;
  QComboBox *font_, *direction_;
  QDoubleSpinBox *size_;
  QLabel *counts_;
  QProgressBar *busy_;
  QUndoView *steps_;           // the applied effects; a click goes back to that step
  QList<QAction *> needIdle_;  // actions that read or change the result

  // The records the dialogs edit; each reopens with the values chosen last.
  int32_t weldMode_;
  JWeldOffsetParam offset_;
  JWeldWidenParam widen_;
  JWeldStripeParam stripe_;
  JWeldShadowParam shadow_;
  JVectransShapeParam envelope_;
};

}  // namespace outlina::studio

#endif
