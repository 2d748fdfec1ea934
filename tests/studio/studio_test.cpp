// The studio driven through its widgets and the library's dialogs: set text, weld, shadow,
// offset, undo, export; the files must match the command-line program's for the same steps,
// and the drop shadow's pixels must appear where its displacement puts them.
#include <QAction>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "studio_window.h"
#include "ui/dialog_driver.h"

using namespace outlina::studio;
using namespace ui_test;

namespace {

// Long enough for a first font scan under the sanitizers.
constexpr int kSettleMs = 60000;
// The shadow's displacement typed into the dialog, in millimetres.
constexpr double kShadowDx = 1.5, kShadowDy = -1.0;
// A colour within this distance per channel counts as that colour; edges are antialiased.
constexpr int kColourSlack = 40;

const QString kOutput = QStringLiteral(OUTLINA_TEST_OUTPUT_DIR);

std::string slurp(const QString &file) {
  std::ostringstream s;
  s << std::ifstream(file.toStdString(), std::ios::binary).rdbuf();
  return s.str();
}

bool near(QRgb c, const QColor &want) {
  return std::abs(qRed(c) - want.red()) <= kColourSlack &&
         std::abs(qGreen(c) - want.green()) <= kColourSlack &&
         std::abs(qBlue(c) - want.blue()) <= kColourSlack;
}

class Studio : public testing::Test {
 protected:
  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  void settle() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.settled(); }, kSettleMs));
  }
  void setText(const QString &text, const QString &font) {
    auto *edit = window.findChild<QPlainTextEdit *>("text");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    // Japanese arrives from the input method as committed text, not as key presses.
    QInputMethodEvent typed;
    typed.setCommitString(text);
    QApplication::sendEvent(edit, &typed);
    auto *fonts = window.findChild<QComboBox *>("font");
    fonts->setCurrentIndex(fonts->findText(font));
    settle();
  }
  void apply(const char *effect, const std::function<void(QDialog &)> &body) {
    QAction *action = window.findChild<QAction *>(effect);
    ASSERT_TRUE(action->isEnabled()) << effect;
    drive([&] { return action->trigger(), 1; }, body);
    settle();
  }
  // The canvas as it is on the screen: grabbed from the X server when there is one.
  QImage shoot(const QString &name) {
    QApplication::processEvents();
    const bool onScreen = QGuiApplication::platformName() == "xcb";
    const QImage shot = (onScreen ? window.screen()->grabWindow(window.winId()) : window.grab())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(shot.save(kOutput + "/" + QGuiApplication::platformName() + "-" + name + ".png"));
    Canvas &c = window.canvas();
    return shot.copy(QRect(c.mapTo(&window, QPoint(0, 0)), c.size()));
  }
  // Writes the studio's export and the program's file for the same steps; both must agree.
  void expectSameExport(const QString &name, const std::string &steps) {
    const QString mine = kOutput + "/studio-" + name, theirs = kOutput + "/program-" + name;
    ASSERT_TRUE(window.exportTo(mine));
    const std::string command = std::string(OUTLINA_PROGRAM) + " --text 看板 --font IPAGothic " +
                                steps + " --force -o " + theirs.toStdString() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string expected = slurp(theirs);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(slurp(mine), expected) << name.toStdString();
  }
  StudioWindow window;
};

TEST_F(Studio, ScenarioMatchesTheProgramAndMovesTheShadowByItsDisplacement) {
  setText(QStringLiteral("看板"), QStringLiteral("IPAGothic"));
  ASSERT_NE(window.document().outcome(), nullptr);
  apply("weld", [](QDialog &d) {
    click(d, 1007);
    click(d, 1);
  });
  const QImage welded = shoot("1-weld");
  apply("shadow", [](QDialog &d) {
    control<QComboBox>(d, 1165)->setCurrentIndex(JWST_DROP);
    typeAndLeave(d, 1166, QString::number(kShadowDx));
    typeAndLeave(d, 1167, QString::number(kShadowDy));
    click(d, 1158);
    click(d, 1);
  });
  const QImage shadowed = shoot("2-shadow");
  apply("offset", [](QDialog &d) {
    typeAndLeave(d, 1142, "0.3");
    click(d, 1147);
    click(d, 1010);
    click(d, 1);
  });
  shoot("3-offset");
  expectSameExport("offset.svg",
                   "--weld union --shadow drop,dx=1.5,dy=-1 --offset 0.3,joint=round");
  window.findChild<QAction *>("undo")->trigger();
  settle();
  EXPECT_EQ(window.undoStack().index(), 2);
  // Undo runs the remaining steps from the source again: the very same drawing comes back.
  EXPECT_EQ(shoot("4-undo"), shadowed);
  for (const char *file : {"undo.svg", "undo.json", "undo.png"})
    expectSameExport(file, "--weld union --shadow drop,dx=1.5,dy=-1");

  // What the shadow added is drawn apart from the welded text, exactly where the text lands
  // when moved by the displacement (y up in millimetres, down on the screen).
  const double s = window.canvas().pixelsPerMm();
  const QPoint shift(qRound(kShadowDx * s), qRound(-kShadowDy * s));
  ASSERT_GT(shift.manhattanLength(), 10);
  // Every drawn pixel of the welded text counts, its hairline and antialiased edge included.
  auto drawn = [&](QPoint p) { return welded.valid(p) && !near(welded.pixel(p), Canvas::kPaper); };
  int added = 0, addedOnMovedText = 0, uncovered = 0;
  for (int y = 0; y < welded.height(); ++y)
    for (int x = 0; x < welded.width(); ++x) {
      const bool movedText = drawn(QPoint(x, y) - shift), wasText = drawn({x, y});
      const bool isAdded = near(shadowed.pixel(x, y), Canvas::kAdded);
      added += isAdded;
      addedOnMovedText += isAdded && movedText;
      uncovered += movedText && !wasText;
    }
  EXPECT_GT(added, 0.8 * uncovered) << "shadow pixels " << added << ", uncovered " << uncovered;
  EXPECT_GT(addedOnMovedText, 0.99 * added);
}

TEST_F(Studio, BadInputLeavesTheDocumentAsItWas) {
  setText(QStringLiteral("看板"), QStringLiteral("IPAGothic"));
  apply("weld", [](QDialog &d) { click(d, 1); });
  const Outcome *before = window.document().outcome();
  ASSERT_NE(before, nullptr);
  const QString broken = kOutput + "/broken.svg";
  std::ofstream(broken.toStdString()) << "<svg><path d='M 0 0 L 1 1'</svg>";
  const struct {
    const char *name;
    std::function<void()> act;
  } cases[] = {
      {"unreadable SVG", [&] { window.openFile(broken); }},
      {"empty text", [&] { setText({}, QStringLiteral("IPAGothic")); }},
      {"font without the character", [&] { setText("看板", QStringLiteral("DejaVu Sans")); }},
  };
  for (const auto &c : cases) {
    window.statusBar()->clearMessage();
    c.act();
    settle();
    EXPECT_FALSE(window.statusBar()->currentMessage().isEmpty()) << c.name;
    EXPECT_EQ(window.document().outcome(), before) << c.name;
    EXPECT_EQ(window.document().steps().size(), 1u) << c.name;
  }
}

}  // namespace

int main(int argc, char **argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  app.setFont(QFont(QStringLiteral("IPAGothic")));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
