#pragma once

#include "support/tempdir.h"
#include "unzipdriver.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace vantor::test {

// The library loaded and an empty output folder entered, which the library
// unpacks into; the previous current folder comes back afterwards.
class UnzipFixture : public ::testing::Test {
protected:
  TempDir dir;
  QString out;
  QString saved = QDir::currentPath();
  UnzipDriver &unzip = UnzipDriver::instance();

  void SetUp() override {
    ASSERT_TRUE(unzip.loaded()) << "libunziplib.so not found in VANTOR_BIN_DIR";
    out = dir.mkdir("out");
    QDir::setCurrent(out);
  }
  void TearDown() override { QDir::setCurrent(saved); }

  // An empty output folder, entered again: the old one is gone.
  void freshOut() {
    QDir(out).removeRecursively();
    QDir().mkpath(out);
    QDir::setCurrent(out);
  }

  UnzipRun runOn(const QByteArray &archive, const char *name = "a.zip") {
    UnzipRun run;
    run.archive = QFile::encodeName(dir.write(name, archive)).toStdString();
    return run;
  }
};

} // namespace vantor::test
