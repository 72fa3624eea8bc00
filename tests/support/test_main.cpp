#include <QApplication>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>

// Every test program gets a QApplication (widgets, fonts and timers need one)
// and a configuration folder of its own, so no test reads or writes the
// user's settings and every program starts as a first run.
int main(int argc, char **argv) {
  // The JPEG codec keeps thread-local data; when Qt unloads its image plugins
  // at exit the leak checker's scan can trip over the unloaded library. Keep it.
  dlopen("libjpeg.so.62", RTLD_NOW | RTLD_NODELETE);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
