// The studio's document: a source outline (set text or a read file) and the effects applied to
// it. Every change is worked out again from the source on a worker thread, one run at a time,
// because the library keeps process-wide state and must not be entered twice.
#ifndef OUTLINA_TOOLS_STUDIO_DOCUMENT_H
#define OUTLINA_TOOLS_STUDIO_DOCUMENT_H

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

#include "effect_steps.h"
#include "effects.h"
#include "outline_io.h"
#include "text_layout.h"

class QThread;

namespace outlina::studio {

// The source outline is shared by the runs that start from it.
using SharedPath = std::shared_ptr<JVect>;

// A file to read (.svg or .json, by its ending) or a text to set.
struct FileSource {
  QString file;
};
using Source = std::variant<cli::TextSetting, FileSource>;

// What the canvas and the status bar show of one finished run.
struct Outcome {
  SharedPath source;
  std::vector<cli::PathPtr> layers;          // the result as the writers take it, bottom first
  std::vector<cli::Command> sourceCommands;  // the outline before any effect
  std::vector<cli::Command> baseCommands;    // what the last effect started from; none: no effect
  std::vector<cli::Command> resultCommands;  // of every layer
  int points = 0, contours = 0;
  double lastStepMs = 0;  // time of the last effect, or of reading or setting the source
  float box[4] = {};      // the result's extent: min x, min y, max x, max y
};

class Document : public QObject {
  Q_OBJECT
 public:
  explicit Document(QObject *parent = nullptr);
  ~Document() override;

  // Each call asks for a new run; while one is under way the wishes wait and merge into one.
  void setSource(Source source);
  void setSteps(std::vector<EffectStep> steps);
  // Runs the applied effects plus this one; stepAccepted follows only when it succeeds.
  void tryStep(EffectStep step);

  bool busy() const { return worker_ != nullptr; }
  const std::vector<EffectStep> &steps() const { return steps_; }
  // The last good run; null before the first.
  const Outcome *outcome() const { return outcome_.get(); }

 signals:
  void busyChanged(bool busy);
  // A run finished and its outcome is shown; sourceChanged when the source outline is new.
  void changed(bool sourceChanged);
  // A run could not be done; the document is as it was.
  void failed(const QString &message);
  void stepAccepted(const outlina::studio::EffectStep &step);

 private:
  // What the next run must do beyond running the wanted steps.
  struct Wish {
    std::optional<Source> source;     // a new source outline
    std::optional<EffectStep> trial;  // a new last step that joins the list only if it works
  };
  struct Run;
  void wish(Wish next);
  void startNext();
  void finish(const std::shared_ptr<Run> &run);

  std::vector<EffectStep> steps_;   // those of the outcome shown
  std::vector<EffectStep> wanted_;  // those the next run starts with
  std::shared_ptr<Outcome> outcome_;
  std::optional<Wish> pending_;
  QThread *worker_ = nullptr;
};

}  // namespace outlina::studio

#endif
