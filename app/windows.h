#pragma once

#include <memory>

namespace vantor {

class TForm;
class TfrmMain;
class TFrmsetup;
class Tfrmabout;
class Tmessbox;

// The program's four windows, created in order and reachable program-wide.
struct Windows {
  TfrmMain *frmMain = nullptr;
  TFrmsetup *Frmsetup = nullptr;
  Tfrmabout *frmabout = nullptr;
  Tmessbox *messbox = nullptr;
};

// Creates the windows in the designed order and links them.
Windows createWindows();
// Destroys them, each window's destroy event running while its controls exist.
void destroyWindows(Windows &windows);

} // namespace vantor
