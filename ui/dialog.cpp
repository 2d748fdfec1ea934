#include "ui/dialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>
#include <QThread>
#include <QWidget>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

#include "ui/templates.h"

namespace outlina {
namespace {

// Number edits are read from at most this many characters of their text.
constexpr int kNumberChars = 18;
constexpr int kNumberBuffer = 64;
// The check box field value of the third, undecided state.
constexpr int32_t kUndecided = 2;

// Numbers in the dialogs always use the decimal point, whatever locale the host set.
locale_t cLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

}  // namespace

double textToNumber(const QString &text, int maxChars) {
  const QByteArray bytes = text.left(maxChars).toUtf8();
  return strtod_l(bytes.constData(), nullptr, cLocale());
}

int32_t textToInt(const QString &text, int maxChars) {
  const QByteArray bytes = text.left(maxChars).toUtf8();
  return static_cast<int32_t>(strtol_l(bytes.constData(), nullptr, 10, cLocale()));
}

QString numberText(double value, int decimals) {
  char buffer[kNumberBuffer];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  // Only values beyond 1e60 overflow the buffer; they are shown in exponent form instead.
  if (error != std::errc()) return QString::number(value, 'g', decimals + 1);
  return QString::fromLatin1(buffer, static_cast<int>(end - buffer));
}

bool dialogsAvailable() {
  const auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
  return app != nullptr && QThread::currentThread() == app->thread();
}

TemplateDialog::TemplateDialog(const char *templateName, QWidget *parent, WindowPlace &place)
    : QDialog(parent), place_(place), built_(buildTemplate(templateName, this)) {
  // A fixed modal frame: title, system menu and close button, no resizing.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(size());
  for (QRadioButton *radio : findChildren<QRadioButton *>()) {
    connect(radio, &QAbstractButton::toggled, this, [this] { updateRadioTabStops(); });
  }
  if (auto *ok = item<QAbstractButton>(kIdOk)) {
    connect(ok, &QAbstractButton::clicked, this, &QDialog::accept);
  }
  if (auto *cancel = item<QAbstractButton>(kIdCancel)) {
    connect(cancel, &QAbstractButton::clicked, this, &QDialog::reject);
  }
}

QString TemplateDialog::itemName(int id) { return QStringLiteral("id%1").arg(id); }

int TemplateDialog::run() {
  if (!built_) return -1;
  initDialog();
  updateRadioTabStops();
  return exec();
}

void TemplateDialog::watchEdit(int id) {
  if (QWidget *w = item(id)) w->installEventFilter(this);
}

void TemplateDialog::watchPicture(int id) {
  if (QWidget *w = item(id)) {
    pictures_.insert(id);
    w->installEventFilter(this);
  }
}

bool TemplateDialog::checked(int id) const {
  const auto *button = item<QAbstractButton>(id);
  return button != nullptr && button->isChecked();
}

void TemplateDialog::setChecked(int id, bool on) {
  if (auto *button = item<QAbstractButton>(id)) button->setChecked(on);
}

void TemplateDialog::showField(int id, int32_t field) {
  auto *box = item<QCheckBox>(id);
  if (box == nullptr) return;
  box->setCheckState(field == 0            ? Qt::Unchecked
                     : field == kUndecided ? Qt::PartiallyChecked
                                           : Qt::Checked);
  // The undecided state is only shown, never offered: after the first click the box is ticked or
  // clear.
  connect(box, &QAbstractButton::clicked, box, [box] { box->setTristate(false); });
}

int32_t TemplateDialog::fieldOf(int id) const {
  const auto *box = item<QCheckBox>(id);
  if (box == nullptr) return 0;
  switch (box->checkState()) {
    case Qt::Unchecked: return 0;
    case Qt::PartiallyChecked: return kUndecided;
    default: return 1;
  }
}

void TemplateDialog::updateRadioTabStops() {
  for (QRadioButton *radio : findChildren<QRadioButton *>()) {
    const QList<QRadioButton *> group =
        radio->parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly);
    const QRadioButton *stop = group.front();
    for (const QRadioButton *other : group) {
      if (other->isChecked()) stop = other;
    }
    radio->setFocusPolicy(radio == stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

void TemplateDialog::checkChoice(std::span<const Choice> choices, int32_t value) {
  for (const Choice &c : choices) {
    if (c.value == value) setChecked(c.id, true);
  }
}

void TemplateDialog::readChoice(std::span<const Choice> choices, int32_t &field) const {
  for (const Choice &c : choices) {
    if (checked(c.id)) {
      field = c.value;
      return;
    }
  }
}

QString TemplateDialog::itemText(int id) const {
  const QWidget *w = item(id);
  return w != nullptr ? w->property("text").toString() : QString();
}

void TemplateDialog::setItemText(int id, const QString &text) {
  if (QWidget *w = item(id)) w->setProperty("text", text);
}

float TemplateDialog::readNumber(int id) const {
  return static_cast<float>(textToNumber(itemText(id), kNumberChars));
}

void TemplateDialog::reprintNumber(int id, float &field, int decimals,
                                   std::optional<NumberRange> range) {
  double value = readNumber(id);
  if (range) {
    if (value < range->low) value = range->low;
    if (value > range->high) value = range->high;
  }
  field = static_cast<float>(value);
  setItemText(id, numberText(field, decimals));
  field = readNumber(id);
}

bool TemplateDialog::eventFilter(QObject *watched, QEvent *event) {
  const QString name = watched->objectName();
  if (!name.startsWith(QLatin1String("id"))) return QDialog::eventFilter(watched, event);
  const int id = name.mid(2).toInt();
  if (!pictures_.contains(id)) {
    if (event->type() == QEvent::FocusOut) editLeft(id);
    return QDialog::eventFilter(watched, event);
  }
  switch (event->type()) {
    case QEvent::Paint: {
      // The picture paints first; its own frame is drawn over it afterwards.
      QPainter painter(static_cast<QWidget *>(watched));
      paintItem(id, painter);
      break;
    }
    case QEvent::MouseButtonRelease: {
      // A picture is picked by a left click that ends on it.
      const auto *click = static_cast<QMouseEvent *>(event);
      const auto *picture = static_cast<QWidget *>(watched);
      if (click->button() == Qt::LeftButton &&
          picture->rect().contains(click->position().toPoint())) {
        itemClicked(id);
      }
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void TemplateDialog::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  // The first opening keeps the place the dialog chose for itself; later ones reopen where the
  // user last closed it.
  if (!place_.taken) {
    place_.rect = geometry();
    place_.taken = true;
  }
  setGeometry(place_.rect);
}

void TemplateDialog::accept() {
  commit();
  place_.rect = geometry();
  done(1);
}

void TemplateDialog::reject() {
  place_.rect = geometry();
  done(0);
}

}  // namespace outlina
