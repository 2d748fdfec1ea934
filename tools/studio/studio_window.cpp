#include "studio_window.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QUndoView>
#include <QVBoxLayout>

#include "json_io.h"
#include "png_writer.h"
#include "svg_writer.h"

namespace outlina::studio {
namespace {

// Typing is set again once the keys rest this long, not on every key.
constexpr int kTextPauseMs = 300;
constexpr const char *kDefaultFont = "IPAGothic";
// The command line's default cell height and the range it accepts, in millimetres.
constexpr double kDefaultSizeMm = 10.0;
constexpr double kMaxSizeMm = 10000.0;
constexpr double kMinSizeMm = 0.01;
// First lengths that suit a 10 mm shop-sign letter, in millimetres.
constexpr float kDefaultOffsetMm = 0.5f;
constexpr float kDefaultWidthMm = 0.5f;
constexpr float kDefaultMiterLimit = 4.0f;
constexpr float kDefaultStripeMm = 1.0f;
constexpr float kDefaultSlitMm = 0.5f;
constexpr float kDefaultStripeAngle = 45.0f;
// A shadow falling to the lower right, as light from the upper left casts it.
constexpr float kDefaultShadowShiftMm = 1.0f;
constexpr float kDefaultPerspectiveRatio = 50.0f;
constexpr float kDefaultShadowOffsetMm = 0.5f;
constexpr int32_t kDefaultEnvelopeType = 1;
constexpr int32_t kDefaultEnvelopePercent = 50;
// A new window's panel and canvas widths and its height, in pixels: room for the toolbar.
constexpr int kPanelWidth = 300;
constexpr int kCanvasWidth = 820;
constexpr int kWindowHeight = 620;

// One applied effect in the undo list. It is pushed after its first run has succeeded, so its
// first redo has nothing left to do.
class EffectCommand : public QUndoCommand {
 public:
  EffectCommand(Document &document, std::vector<EffectStep> after)
      : QUndoCommand(after.back().caption), document_(document), after_(std::move(after)) {}
  void undo() override {
    document_.setSteps(std::vector<EffectStep>(after_.begin(), after_.end() - 1));
  }
  void redo() override {
    if (!firstRedo_) document_.setSteps(after_);
    firstRedo_ = false;
  }

 private:
  Document &document_;
  std::vector<EffectStep> after_;
  bool firstRedo_ = true;
};

bool writeBytes(const QString &file, const std::string &bytes) {
  QFile out(file);
  return out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         out.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
             static_cast<qint64>(bytes.size()) &&
         out.flush();
}

}  // namespace

StudioWindow::StudioWindow(QWidget *parent)
    : QMainWindow(parent),
      weldMode_(JWM_UNION),
      offset_{kDefaultOffsetMm, 0, 0, 0, JVJ_ROUND, kDefaultMiterLimit, 0, 1},
      widen_{kDefaultWidthMm, JVC_ROUND, JVJ_ROUND, kDefaultMiterLimit, 1},
      stripe_{kDefaultStripeMm, kDefaultSlitMm, 0, kDefaultStripeAngle, 1},
      shadow_{JWST_DROP,
              0,
              kDefaultShadowShiftMm,
              -kDefaultShadowShiftMm,
              kDefaultPerspectiveRatio,
              kDefaultShadowOffsetMm,
              0,
              0,
              1},
      envelope_{kDefaultEnvelopeType, kDefaultEnvelopePercent, 0, 0, 0, 0} {
  setWindowTitle(QString::fromUtf8("Outlina スタジオ"));
  buildPanels();
  buildActions();
  textPause_.setSingleShot(true);
  textPause_.setInterval(kTextPauseMs);
  connect(&textPause_, &QTimer::timeout, this, [this] { document_.setSource(textSetting()); });
  connect(&document_, &Document::changed, this, [this](bool sourceChanged) {
    const Outcome &o = *document_.outcome();
    canvas_->setOutlines(o.sourceCommands, o.baseCommands, o.resultCommands);
    if (sourceChanged) canvas_->fit();
    counts_->setText(QString::fromUtf8("点 %1 ・ 輪郭 %2 ・ 最後の処理 %3 ms")
                         .arg(o.points)
                         .arg(o.contours)
                         .arg(o.lastStepMs, 0, 'f', 1));
    statusBar()->clearMessage();
  });
  connect(&document_, &Document::failed, this, &StudioWindow::say);
  connect(&document_, &Document::busyChanged, this, &StudioWindow::showBusy);
  connect(&document_, &Document::stepAccepted, this,
          [this] { undo_.push(new EffectCommand(document_, document_.steps())); });
  resize(kPanelWidth + kCanvasWidth, kWindowHeight);
  showBusy(false);
}

void StudioWindow::buildPanels() {
  auto *panel = new QWidget;
  auto *form = new QFormLayout;
  text_ = new QPlainTextEdit;
  text_->setObjectName("text");
  text_->setPlaceholderText(QString::fromUtf8("ここに文字を入力"));
  font_ = new QComboBox;
  font_->setObjectName("font");
  for (const std::string &name : cli::installedFontNames())
    font_->addItem(QString::fromStdString(name));
  font_->setCurrentText(QString::fromUtf8(kDefaultFont));
  size_ = new QDoubleSpinBox;
  size_->setObjectName("size");
  size_->setRange(kMinSizeMm, kMaxSizeMm);
  size_->setDecimals(2);
  size_->setValue(kDefaultSizeMm);
  size_->setSuffix(QStringLiteral(" mm"));
  direction_ = new QComboBox;
  direction_->setObjectName("direction");
  direction_->addItems({QString::fromUtf8("横書き"), QString::fromUtf8("縦書き")});
  form->addRow(QString::fromUtf8("文字："), text_);
  form->addRow(QString::fromUtf8("フォント："), font_);
  form->addRow(QString::fromUtf8("大きさ："), size_);
  form->addRow(QString::fromUtf8("方向："), direction_);
  steps_ = new QUndoView(&undo_);
  steps_->setObjectName("steps");
  steps_->setEmptyLabel(QString::fromUtf8("（効果なし）"));
  auto *column = new QVBoxLayout(panel);
  column->addLayout(form);
  column->addWidget(new QLabel(QString::fromUtf8("適用した効果：")));
  column->addWidget(steps_);

  canvas_ = new Canvas;
  canvas_->setObjectName("canvas");
  auto *split = new QSplitter;
  split->addWidget(panel);
  split->addWidget(canvas_);
  split->setStretchFactor(1, 1);
  split->setSizes({kPanelWidth, kCanvasWidth});
  setCentralWidget(split);

  connect(text_, &QPlainTextEdit::textChanged, this, &StudioWindow::textChanged);
  connect(font_, &QComboBox::currentIndexChanged, this, &StudioWindow::textChanged);
  connect(direction_, &QComboBox::currentIndexChanged, this, &StudioWindow::textChanged);
  connect(size_, &QDoubleSpinBox::valueChanged, this, &StudioWindow::textChanged);

  counts_ = new QLabel;
  busy_ = new QProgressBar;
  busy_->setRange(0, 0);  // no known end: the bar runs to and fro
  busy_->setMaximumWidth(kPanelWidth / 2);
  busy_->setFormat(QString::fromUtf8("処理中"));
  statusBar()->addPermanentWidget(busy_);
  statusBar()->addPermanentWidget(counts_);
}

void StudioWindow::buildActions() {
  auto action = [this](const char *name, const char *caption, QKeySequence keys, auto slot) {
    auto *a = new QAction(QString::fromUtf8(caption), this);
    a->setObjectName(name);
    a->setShortcut(keys);
    connect(a, &QAction::triggered, this, slot);
    return a;
  };
  QMenu *file = menuBar()->addMenu(QString::fromUtf8("ファイル(&F)"));
  QAction *open = action("open", "開く(&O)…", QKeySequence::Open, [this] { chooseFile(); });
  QAction *save = action("export", "書き出し(&E)…", QKeySequence(Qt::CTRL | Qt::Key_E),
                         [this] { chooseExport(); });
  file->addAction(open);
  file->addAction(save);
  file->addSeparator();
  file->addAction(action("quit", "終了(&Q)", QKeySequence::Quit, [this] { close(); }));

  QMenu *edit = menuBar()->addMenu(QString::fromUtf8("編集(&E)"));
  // The list changes only between runs: undo and redo wait while one is under way.
  QAction *undo = action("undo", "元に戻す", QKeySequence::Undo, [this] { undo_.undo(); });
  QAction *redo = action("redo", "やり直し", QKeySequence::Redo, [this] { undo_.redo(); });
  auto refresh = [this, undo, redo] {
    const bool idle = !document_.busy();
    undo->setEnabled(idle && undo_.canUndo());
    redo->setEnabled(idle && undo_.canRedo());
    // The menu names the step; the toolbar button stays short.
    undo->setText(QString::fromUtf8("元に戻す %1").arg(undo_.undoText()).trimmed());
    redo->setText(QString::fromUtf8("やり直し %1").arg(undo_.redoText()).trimmed());
    steps_->setEnabled(idle);
  };
  undo->setIconText(QString::fromUtf8("元に戻す"));
  redo->setIconText(QString::fromUtf8("やり直し"));
  connect(&undo_, &QUndoStack::indexChanged, this, refresh);
  connect(&document_, &Document::busyChanged, this, refresh);
  refresh();
  edit->addAction(undo);
  edit->addAction(redo);

  QMenu *effects = menuBar()->addMenu(QString::fromUtf8("効果(&X)"));
  QToolBar *bar = addToolBar(QString::fromUtf8("効果"));
  bar->setObjectName("effectsBar");
  const QList<QAction *> effectActions = {
      action("weld", "陰線処理…", {}, [this] { runDialog(jWeldDlg, weldMode_, weldStep); }),
      action("offset", "オフセット処理…", {},
             [this] { runDialog(jWeldOffsetDlg, offset_, offsetStep); }),
      action("widen", "線幅処理…", {}, [this] { runDialog(jWeldWidenDlg, widen_, widenStep); }),
      action("stripe", "ストライプ処理…", {},
             [this] { runDialog(jWeldStripeDlg, stripe_, stripeStep); }),
      action("shadow", "影付け・シャドウ処理…", {},
             [this] { runDialog(jWeldShadowDlg, shadow_, shadowStep); }),
      action("envelope", "シェイプ処理…", {},
             [this] { runDialog(jVectransShapeDlg, envelope_, envelopeStep); })};
  // The toolbar names each effect briefly; the menu gives the dialog's full caption.
  const char *const shortNames[] = {"陰線",       "オフセット", "線幅",
                                    "ストライプ", "影付け",     "シェイプ"};
  for (int i = 0; i < effectActions.size(); ++i)
    effectActions[i]->setIconText(QString::fromUtf8(shortNames[i]));
  effects->addActions(effectActions);
  bar->addActions(effectActions);
  bar->addSeparator();
  bar->addAction(undo);
  bar->addAction(redo);

  QMenu *view = menuBar()->addMenu(QString::fromUtf8("表示(&V)"));
  QAction *fit = action("fit", "全体を表示(&F)", QKeySequence(Qt::CTRL | Qt::Key_0),
                        [this] { canvas_->fit(); });
  fit->setIconText(QString::fromUtf8("全体表示"));
  view->addAction(fit);
  bar->addAction(fit);
  needIdle_ = effectActions;
  needIdle_ << open << save;
}

cli::TextSetting StudioWindow::textSetting() const {
  cli::TextSetting setting;
  setting.text = text_->toPlainText().toStdString();
  setting.font = font_->currentText().toStdString();
  setting.vertical = direction_->currentIndex() == 1;
  setting.sizeMm = size_->value();
  return setting;
}

void StudioWindow::textChanged() { textPause_.start(); }

bool StudioWindow::settled() const { return !document_.busy() && !textPause_.isActive(); }

void StudioWindow::showBusy(bool busy) {
  busy_->setVisible(busy);
  for (QAction *a : needIdle_)
    a->setEnabled(!busy && (a->objectName() == "open" || document_.outcome() != nullptr));
}

void StudioWindow::say(const QString &message) { statusBar()->showMessage(message); }

template <class Record, class MakeStep>
void StudioWindow::runDialog(int32_t (*dialog)(void *, Record *), Record &record, MakeStep step) {
  const Outcome *o = document_.outcome();
  if (document_.busy() || o == nullptr) return;
  // The previews draw the selection at its own proportions.
  const float width = o->box[2] - o->box[0], height = o->box[3] - o->box[1];
  if constexpr (std::is_same_v<Record, JWeldShadowParam>) {
    record.objectWidth = width;
    record.objectHeight = height;
  }
  if constexpr (std::is_same_v<Record, JVectransShapeParam>) {
    record.minX = o->box[0];
    record.minY = o->box[1];
    record.maxX = o->box[2];
    record.maxY = o->box[3];
  }
  if (dialog(canvas_, &record) == 1) document_.tryStep(step(record));
}

void StudioWindow::openFile(const QString &file) { document_.setSource(FileSource{file}); }

void StudioWindow::chooseFile() {
  const QString file = QFileDialog::getOpenFileName(
      this, QString::fromUtf8("輪郭を開く"), {},
      QString::fromUtf8("輪郭 (*.svg *.json);;SVG (*.svg);;点の並び (*.json)"));
  if (!file.isEmpty()) openFile(file);
}

void StudioWindow::chooseExport() {
  const QString file = QFileDialog::getSaveFileName(
      this, QString::fromUtf8("書き出し"), {},
      QString::fromUtf8("SVG (*.svg);;PNG (*.png);;点の並び (*.json)"));
  if (!file.isEmpty()) exportTo(file);
}

bool StudioWindow::exportTo(const QString &file) {
  const Outcome *o = document_.outcome();
  if (o == nullptr || document_.busy()) {
    say(QString::fromUtf8("書き出す輪郭がまだありません"));
    return false;
  }
  const QString ext = QFileInfo(file).suffix().toLower();
  cli::Layers layers;
  for (const cli::PathPtr &layer : o->layers) layers.push_back(layer.get());
  std::string error;
  bool written = false;
  if (ext == "svg") {
    written = writeBytes(file, cli::svgFromLayers(layers, cli::kPageMarginMm));
  } else if (ext == "json") {
    written = writeBytes(file, cli::jsonFromLayers(layers));
  } else if (ext == "png") {
    written = cli::writePng(layers, file.toStdString(),
                            cli::fittingPixelsPerMm(layers, cli::kPageMarginMm), cli::kPageMarginMm,
                            error);
  } else {
    say(QString::fromUtf8("書き出せるのは .svg、.png、.json です: %1").arg(file));
    return false;
  }
  say(written
          ? QString::fromUtf8("%1 に書き出しました").arg(file)
          : QString::fromUtf8("%1 に書き出せません %2").arg(file, QString::fromStdString(error)));
  return written;
}

}  // namespace outlina::studio
