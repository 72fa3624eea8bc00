#include "app/windows.h"

#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"

namespace vantor {

Windows::Windows() = default;

Windows::~Windows() {
  destroyWindows(*this);
}

Windows::Windows(Windows &&other) noexcept = default;

Windows &Windows::operator=(Windows &&other) noexcept {
  if (this != &other) {
    destroyWindows(*this);
    frmMain = std::move(other.frmMain);
    Frmsetup = std::move(other.Frmsetup);
    frmabout = std::move(other.frmabout);
    messbox = std::move(other.messbox);
  }
  return *this;
}

Windows createWindows() {
  Windows w;
  w.frmMain = std::make_unique<TfrmMain>();
  w.Frmsetup = std::make_unique<TFrmsetup>();
  w.frmabout = std::make_unique<Tfrmabout>();
  w.messbox = std::make_unique<Tmessbox>();
  w.frmMain->setSetupWindow(w.Frmsetup.get());
  w.frmMain->setAboutWindow(w.frmabout.get());
  w.frmMain->setConfirmBox(w.messbox.get());
  w.Frmsetup->setHost(w.frmMain.get());
  return w;
}

void destroyWindows(Windows &w) {
  // The setup window's handlers reach the main window, so it goes first.
  if (w.Frmsetup)
    w.Frmsetup->setHost(nullptr);
  if (w.frmMain) {
    w.frmMain->setAboutWindow(nullptr);
    w.frmMain->setConfirmBox(nullptr);
  }
  w.messbox.reset();
  w.frmabout.reset();
  w.Frmsetup.reset();
  w.frmMain.reset();
}

} // namespace vantor
