#pragma once

#include <QString>

namespace vantor {

class TFileListBox;
class TFormShaper;
class TImage;
class TPicBtn;

// The big skin's preview frame: finds a ROM's snapshot by extension, switches
// the adopt/delete button between its two faces, and steps through the
// emulator's screenshots.
class SnapshotPreview final {
public:
  enum ButtonMode { NoMode = 0, AdoptMode = 1, DeleteMode = 3 };

  struct Parts {
    TFormShaper *shaper;
    TImage *backbig;
    TImage *snaps;
    TPicBtn *usedel;
    TPicBtn *snapback;
    TPicBtn *snapfwd;
    TFileListBox *shotdir;
  };

  explicit SnapshotPreview(const Parts &parts) : p_(parts) {}

  // Looks for base + ".jpg", ".gif", ".pcx", ".bmp" in that order, the
  // names compared case-blind. With
  // `switchButton`, the button shows its delete face when one was found and
  // its adopt face when none was. Does nothing with the small skin.
  void show(const QString &basePath, bool switchButton);

  void enterDeleteMode();
  void enterAdoptMode();

  void stepBack();
  void stepForward();
  // Shows the screenshot at `index` of the screenshot list; the button keeps its face.
  void showScreenshot(int index);

  // Writes the picture on show as `snapshotBase` + ".jpg", removes the file it
  // came from and re-reads the screenshot list; the button then shows its
  // delete face. Nothing on show: nothing happens. Throws Error when the
  // snapshot cannot be written, and everything stays as it was.
  void adoptShown(const QString &snapshotBase);
  // Deletes the file on show and empties the frame. Throws Error when the file
  // stays, and the frame and extension stay as they were.
  void deleteShown();

  // The picture on show, its name spelt as its folder lists it; empty when none.
  const QString &shownFile() const { return shownFile_; }
  // Which extension the picture on show came from; empty when none.
  const QString &currentExtension() const { return currentExtension_; }
  ButtonMode buttonMode() const { return mode_; }

  bool bigSkinShown() const;

private:
  Parts p_;
  QString currentExtension_;
  QString shownFile_;
  ButtonMode mode_ = NoMode;
};

} // namespace vantor
