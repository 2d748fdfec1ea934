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

SharedPath newPath() { return SharedPath(jVectOpen(kInitialPoints), cli::PathCloser()); }

std::vector<cli::Command> commandsOf(const std::vector<cli::PathPtr> &layers) {
  std::vector<cli::Command> all;
  for (const cli::PathPtr &layer : layers) {
    const std::vector<cli::Command> some = cli::commandsFromPath(layer.get());
    all.insert(all.end(), some.begin(), some.end());
  }
  return all;
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
      json ? cli::readJsonFile(name, path, reason) : cli::readSvgOutlineFile(name, path, reason);
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
  SharedPath currentSource;
  std::vector<EffectStep> steps;
  bool trial = false;
  // Outputs
  std::shared_ptr<Outcome> outcome;
  QString error;

  void work() {
    auto start = std::chrono::steady_clock::now();
    SharedPath from = currentSource;
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
    out->layers.emplace_back(jVectDuplicate(from.get()));
    out->sourceCommands = cli::commandsFromPath(from.get());
    for (size_t i = 0; i < prepared.size(); ++i) {
      if (i + 1 == prepared.size()) {
        out->baseCommands = commandsOf(out->layers);
        start = std::chrono::steady_clock::now();
      }
      if (!cli::runStep(prepared[i], out->layers, reason)) {
        error = QString::fromUtf8("「%1」を適用できませんでした: %2")
                    .arg(steps[i].caption, fromUtf8(reason));
        return;
      }
    }
    out->lastStepMs = millisecondsSince(start);
    out->resultCommands = commandsOf(out->layers);
    out->contours = static_cast<int>(
        std::count_if(out->resultCommands.begin(), out->resultCommands.end(),
                      [](const cli::Command &c) { return c.op == cli::Op::Move; }));
    bool first = true;
    for (const cli::PathPtr &layer : out->layers) {
      out->points += jVectGetNum(layer.get());
      float box[4];
      if (jVectGetNum(layer.get()) == 0) continue;
      jVectGetMinMax(box, layer.get(), JVECT_ALL);
      for (int k = 0; k < 2; ++k) {
        out->box[k] = first ? box[k] : std::min(out->box[k], box[k]);
        out->box[k + 2] = first ? box[k + 2] : std::max(out->box[k + 2], box[k + 2]);
      }
      first = false;
    }
    outcome = std::move(out);
  }
};

Document::Document(QObject *parent) : QObject(parent) {}

Document::~Document() {
  if (worker_ != nullptr) worker_->wait();
}

void Document::setSource(Source source) { wish({std::move(source), std::nullopt}); }

void Document::setSteps(std::vector<EffectStep> steps) {
  wanted_ = std::move(steps);
  wish({});
}

void Document::tryStep(EffectStep step) { wish({std::nullopt, std::move(step)}); }

void Document::wish(Wish next) {
  if (pending_) {
    if (!next.source) next.source = std::move(pending_->source);
    if (!next.trial) next.trial = std::move(pending_->trial);
  }
  pending_ = std::move(next);
  if (!busy()) startNext();
}

void Document::startNext() {
  auto run = std::make_shared<Run>();
  run->source = std::move(pending_->source);
  run->steps = wanted_;
  run->trial = pending_->trial.has_value();
  if (run->trial) run->steps.push_back(std::move(*pending_->trial));
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
    emit failed(run->error);
  }
  if (pending_) {
    startNext();
  } else {
    emit busyChanged(false);
  }
}

}  // namespace outlina::studio
