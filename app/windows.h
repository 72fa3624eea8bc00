#pragma once

#include <memory>

namespace vantor {

class HeldPlacementSaves;
class TForm;
class TfrmMain;
class TFrmsetup;
class Tfrmabout;
class Tmessbox;

// The program's four windows, created in order and reachable program-wide.
// Whatever is still held when this goes is destroyed as destroyWindows does.
struct Windows {
  Windows();
  ~Windows();
  Windows(Windows &&other) noexcept;
  Windows &operator=(Windows &&other) noexcept;

  std::unique_ptr<TfrmMain> frmMain;
  std::unique_ptr<TFrmsetup> Frmsetup;
  std::unique_ptr<Tfrmabout> frmabout;
  std::unique_ptr<Tmessbox> messbox;
  // From the main window's close on, the windows' saves are held here and
  // written once when the windows are destroyed.
  std::unique_ptr<HeldPlacementSaves> closingSaves;
};

// Creates the windows (main, setup, about, confirmation box: each later one
// may refer to those before it) and links them.
Windows createWindows();
// Destroys them, each window's destroy event running while its controls exist.
void destroyWindows(Windows &windows);

} // namespace vantor
