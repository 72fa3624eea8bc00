#include "launcher/mainwindow.h"
#include "windows.h"

#include <QApplication>

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vantor"));
  vantor::Windows windows = vantor::createWindows();
  windows.frmMain->show();
  const int result = QApplication::exec();
  vantor::destroyWindows(windows);
  return result;
}
