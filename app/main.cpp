#include "launcher/mainwindow.h"
#include "platform/files.h"
#include "windows.h"

#include <QApplication>

int main(int argc, char **argv) {
  // Relative folders in the settings mean the folder the program was started in.
  vantor::platform::startFolder();
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Vantor"));
  vantor::Windows windows = vantor::createWindows();
  windows.frmMain->show();
  const int result = QApplication::exec();
  vantor::destroyWindows(windows);
  return result;
}
