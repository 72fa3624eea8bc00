#pragma once

#include "launcher/mainwindow.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"
#include "support/tempdir.h"

#include <QDir>
#include <gtest/gtest.h>

namespace vantor::test {

// The main and setup windows linked as the program links them, in a folder
// of the test's own with its own settings file. The current folder, which
// the folder lists move, is put back afterwards.
class LinkedWindows : public ::testing::Test {
public:
  LinkedWindows() {
    main.setSetupWindow(&setup);
    setup.setHost(&main);
    main.FormStorage1->setIniFileName(dir.file("vantor.INI"));
    setup.FormStorage1->setIniFileName(dir.file("vantor.INI"));
  }
  ~LinkedWindows() override {
    setup.setHost(nullptr);
    QDir::setCurrent(start);
  }

  QString start = QDir::currentPath();
  TempDir dir;
  TfrmMain main;
  TFrmsetup setup;
};

} // namespace vantor::test
