#include "app/windows.h"

#include "launcher/aboutwindow.h"
#include "launcher/mainwindow.h"
#include "launcher/messbox.h"
#include "settings/formplacementsaves.h"
#include "settings/formstorage.h"
#include "settings/setupwindow.h"

#include <QScopeGuard>

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
    closingSaves = std::move(other.closingSaves);
  }
  return *this;
}

namespace {

// Closing the main window ends the program: from then on every window's save
// is held, so a busy or unwritable settings file costs one wait and one
// message in all, and the file is replaced once.
void holdSavesFromTheMainWindowsClose(Windows &w) {
  w.closingSaves = std::make_unique<HeldPlacementSaves>();
  HeldPlacementSaves *saves = w.closingSaves.get();
  const TCloseQueryEvent ownCloseQuery = w.frmMain->OnCloseQuery;
  w.frmMain->OnCloseQuery = [saves, ownCloseQuery](QObject *sender, bool &canClose) {
    saves->hold();
    bool closes = false;
    // A close that is refused, or fails, writes at once as before.
    const auto release = qScopeGuard([&] {
      if (!closes)
        saves->write();
    });
    // Direct: this wraps the window's own close handling, whose failure is the close's.
    if (ownCloseQuery)
      ownCloseQuery(sender, canClose);
    closes = canClose;
  };
}

} // namespace

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
  holdSavesFromTheMainWindowsClose(w);
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
  if (w.closingSaves)
    w.closingSaves->hold();
  w.messbox.reset();
  w.frmabout.reset();
  w.Frmsetup.reset();
  w.frmMain.reset();
  w.closingSaves.reset(); // writes what the windows saved
}

} // namespace vantor
