// Drives a modal dialog from inside its own event loop: the body runs once the dialog is shown
// and active, and a dialog the body left open is cancelled so that a failing test cannot hang.
#ifndef OUTLINA_TESTS_UI_DIALOG_DRIVER_H
#define OUTLINA_TESTS_UI_DIALOG_DRIVER_H

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <functional>

namespace ui_test {

template <class T = QWidget>
T *control(QDialog &d, int id) {
  T *w = d.findChild<T *>(QStringLiteral("id%1").arg(id));
  EXPECT_NE(w, nullptr) << "no control " << id;
  return w;
}

inline int32_t drive(const std::function<int32_t()> &open,
                     const std::function<void(QDialog &)> &body) {
  bool ran = false;
  QTimer poll;
  poll.setInterval(5);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (d == nullptr || !d->isVisible()) return;
    poll.stop();
    ran = true;
    EXPECT_TRUE(QTest::qWaitForWindowActive(d));
    body(*d);
    if (d->isVisible()) d->reject();
  });
  poll.start();
  const int32_t result = open();
  EXPECT_TRUE(ran) << "the dialog was never shown";
  return result;
}

// Replaces the edit's text as a user would and moves the focus on with Tab.
inline void typeAndLeave(QDialog &d, int id, const QString &text) {
  QLineEdit *e = control<QLineEdit>(d, id);
  e->setFocus();
  e->selectAll();
  text.isEmpty() ? QTest::keyClick(e, Qt::Key_Delete) : QTest::keyClicks(e, text);
  QTest::keyClick(e, Qt::Key_Tab);
}

inline QString textOf(QDialog &d, int id) { return control<QLineEdit>(d, id)->text(); }

// Clicks near the left end, where a radio button or check box has its indicator.
inline void click(QDialog &d, int id) {
  QWidget *w = control(d, id);
  QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(std::min(8, w->width() / 2), w->height() / 2));
}

// Whatever the body changed, Cancel (or Escape) must leave the record byte for byte.
template <class R>
void expectCancelKeeps(int32_t (*open)(void *, R *), R record,
                       const std::function<void(QDialog &)> &change) {
  const R before = record;
  EXPECT_EQ(drive([&] { return open(nullptr, &record); },
                  [&](QDialog &d) {
                    change(d);
                    if (d.isVisible()) click(d, 2);
                  }),
            0);
  EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0);
}

}  // namespace ui_test

#endif
