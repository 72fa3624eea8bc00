#include "windows.h"

#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"

namespace vantor {

Windows createWindows() {
  Windows w;
  w.frmMain = new TfrmMain;
  w.Frmsetup = new TFrmsetup;
  w.frmabout = new Tfrmabout;
  w.messbox = new Tmessbox;
  w.frmMain->setSetupWindow(w.Frmsetup);
  w.frmMain->setAboutWindow(w.frmabout);
  w.frmMain->setConfirmBox(w.messbox);
  w.Frmsetup->setHost(w.frmMain);
  return w;
}

void destroyWindows(Windows &w) {
  // The setup window's handlers reach the main window, so it goes first.
  w.Frmsetup->setHost(nullptr);
  w.frmMain->setAboutWindow(nullptr);
  w.frmMain->setConfirmBox(nullptr);
  delete w.messbox;
  delete w.frmabout;
  delete w.Frmsetup;
  delete w.frmMain;
  w = Windows{};
}

} // namespace vantor
