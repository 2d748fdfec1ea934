// outlina-studio: set text or open outlines, apply the library's effects through its own
// dialogs, and export what the command-line program would write.
#include <QApplication>
#include <QFont>

#include "studio_window.h"

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  // The dialogs' captions are Japanese; the window speaks the same way.
  app.setFont(QFont(QStringLiteral("IPAGothic")));
  outlina::studio::StudioWindow window;
  window.show();
  if (argc > 1) window.openFile(QString::fromLocal8Bit(argv[1]));
  return app.exec();
}
