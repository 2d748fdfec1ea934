#include "document.h"

#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <chrono>

#include "effects.h"
#include "json_io.h"
#include "svg_reader.h"

namespace outlina::studio {
namespace {

// Room for a typical line of text; the path grows as needed.
constexpr int kInitialPoints = 10000;

PathPtr newPath() {
  return PathPtr(jVectOpen(kInitialPoints), [](JVect *p) { jVectClose(p); });
}

PathPtr copyOf(const JVect *from) {
  return PathPtr(jVectDuplicate(from), [](JVect *p) { jVectClose(p); });
}

QString fromUtf8(const std::string &s) { return QString::fromStdString(s); }

bool readSource(const Source &source, JVect *path, QString &error) {
  std::string reason;
  if (const auto *text = std::get_if<cli::TextSetting>(&source)) {
    bool usage = false;
    if (!cli::setText(*text, path, reason, usage)) {
      error = QString::fromUtf8("文字を配置できません: ") + fromUtf8(reason);
      return false;
    }
    if (jVectGetNum(path) == 0) {
      error = QString::fromUtf8("配置する文字がありません");
      return false;
    }
    return true;
  }
  const QString file = std::get<FileSource>(source).file;
  const std::string name = file.toStdString();
  const bool json =
      QFileInfo(file).suffix().compare(QStringLiteral("json"), Qt::CaseInsensitive) == 0;
  const bool read =
      json ? cli::readJsonFile(name, path, reason) : cli::readSvgFile(name, path, reason);
  if (!read) {
    error = QString::fromUtf8("%1 を読めません: %2").arg(file, fromUtf8(reason));
    return false;
  }
  if (jVectGetNum(path) == 0) {
    error = QString::fromUtf8("%1 には輪郭がありません").arg(file);
    return false;
  }
  return true;
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

struct Document::Run {
  // Inputs
  std::optional<Source> source;
  PathPtr currentSource;
  std::vector<EffectStep> steps;
  bool trial = false;
  // Outputs
  std::shared_ptr<Outcome> outcome;
  QString error;

  void work() {
    auto start = std::chrono::steady_clock::now();
    PathPtr from = currentSource;
    if (source) {
      from = newPath();
      if (!from || !readSource(*source, from.get(), error)) return;
    }
    if (!from) {
      error = QString::fromUtf8("文字を入力するか、ファイルを開いてください");
      return;
    }
    std::vector<cli::Step> wanted;
    for (const EffectStep &s : steps) wanted.push_back(s.step);
    std::vector<cli::PreparedStep> prepared;
    std::string reason;
    if (!cli::prepareSteps(wanted, prepared, reason)) {
      error = QString::fromUtf8("効果の値が使えません: ") + fromUtf8(reason);
      return;
    }
    auto out = std::make_shared<Outcome>();
    out->source = from;
    out->result = copyOf(from.get());
    out->sourceCommands = cli::commandsFromPath(from.get());
    out->baseCommands = out->sourceCommands;
    for (size_t i = 0; i < prepared.size(); ++i) {
      if (i + 1 == prepared.size()) {
        out->baseCommands = cli::commandsFromPath(out->result.get());
        start = std::chrono::steady_clock::now();
      }
      // As on the command line, an effect on an empty outline leaves it empty.
      if (jVectGetNum(out->result.get()) > 0 && !prepared[i].run(out->result.get())) {
        error = QString::fromUtf8("「%1」を適用できませんでした").arg(steps[i].caption);
        return;
      }
    }
    out->lastStepMs = millisecondsSince(start);
    out->resultCommands = cli::commandsFromPath(out->result.get());
    out->points = jVectGetNum(out->result.get());
    out->contours = static_cast<int>(
        std::count_if(out->resultCommands.begin(), out->resultCommands.end(),
                      [](const cli::Command &c) { return c.op == cli::Op::Move; }));
    if (out->points > 0) jVectGetMinMax(out->box, out->result.get(), JVECT_ALL);
    outcome = std::move(out);
  }
};

Document::Document(QObject *parent) : QObject(parent) {}

Document::~Document() {
  if (worker_ != nullptr) worker_->wait();
}

void Document::setSource(Source source) { wish({std::move(source), wanted_, false}); }

void Document::setSteps(std::vector<EffectStep> steps) {
  wanted_ = steps;
  wish({std::nullopt, std::move(steps), false});
}

void Document::tryStep(EffectStep step) {
  std::vector<EffectStep> steps = wanted_;
  steps.push_back(std::move(step));
  wish({std::nullopt, std::move(steps), true});
}

void Document::wish(Wish next) {
  // A newer wish replaces a waiting one but keeps the source that one asked for.
  if (pending_ && !next.source) next.source = std::move(pending_->source);
  pending_ = std::move(next);
  if (!busy()) startNext();
}

void Document::startNext() {
  auto run = std::make_shared<Run>();
  run->source = std::move(pending_->source);
  run->steps = std::move(pending_->steps);
  run->trial = pending_->trial;
  run->currentSource = outcome_ ? outcome_->source : nullptr;
  pending_.reset();
  worker_ = QThread::create([run] { run->work(); });
  worker_->setParent(this);  // a run still going when the document closes is waited for
  connect(worker_, &QThread::finished, this, [this, run] { finish(run); });
  worker_->start();
  emit busyChanged(true);
}

void Document::finish(const std::shared_ptr<Run> &run) {
  worker_->deleteLater();
  worker_ = nullptr;
  if (run->outcome) {
    const bool sourceChanged = !outcome_ || run->outcome->source != outcome_->source;
    outcome_ = run->outcome;
    steps_ = run->steps;
    if (run->trial) {
      wanted_ = steps_;
      emit stepAccepted(steps_.back());
    }
    emit changed(sourceChanged);
  } else {
    if (!run->trial) wanted_ = steps_;
    emit failed(run->error);
  }
  if (pending_) {
    startNext();
  } else {
    emit busyChanged(false);
  }
}

}  // namespace outlina::studio
