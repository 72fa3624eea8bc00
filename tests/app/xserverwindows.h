#pragma once

// The program's windows on a real X server (the test is run by xvfb-run),
// over a settings file and a working folder the test puts back.
#include "app/windows.h"
#include "settings/inifilename.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace vantor::test {

class XServerWindows : public ::testing::Test {
protected:
  // A test that derives checks IsSkipped() after calling this.
  void SetUp() override {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
      GTEST_SKIP() << "needs a real X server";
    QApplication::setQuitOnLastWindowClosed(false);
    setIniFilePathOverride(ini);
  }
  void TearDown() override {
    if (windows.frmMain)
      destroyWindows(windows);
    setIniFilePathOverride(QString());
    QDir::setCurrent(start);
  }

  QString start = QDir::currentPath();
  TempDir dir;
  QString ini = dir.file(QStringLiteral("vantor.INI"));
  Windows windows;
};

} // namespace vantor::test
