#pragma once

#include "controls/form.h"
#include "settings/cataloguehost.h"

#include <QStringList>

namespace vantor {

class TFileListBox;
class TFormStorage;
class TFrmsetup;
class TRotaryDial;
class TShadowLabel;

// Holds the skin choice until the shaped-window component takes its place.
class SkinChoice final : public QObject {
  Q_OBJECT
  Q_PROPERTY(int Tag READ tag WRITE setTag)

public:
  using QObject::QObject;
  int tag() const { return tag_; }
  void setTag(int tag) { tag_ = tag; }

private:
  int tag_ = 0;
};

// The catalogue as a plain list of strings with a selected index.
struct RomList {
  QStringList items;
  int itemIndex = -1;
  void clear() {
    items.clear();
    itemIndex = -1;
  }
};

// The launcher's main window: the catalogue, the selection and the ROM name.
class TfrmMain final : public TForm, public CatalogueHost {
  Q_OBJECT

public:
  explicit TfrmMain(QWidget *parent = nullptr);
  ~TfrmMain() override;

  void setSetupWindow(TFrmsetup *setup) { setup_ = setup; }
  TFrmsetup *setupWindow() const { return setup_; }

  // CatalogueHost
  void applyRomFolder(const QString &path) override;
  void applyCdRomFolder(const QString &path) override;
  void applyShotsFolder(const QString &path) override;
  void poplist() override;

  void FormShow(QObject *sender);
  void RotaryDial1Change(QObject *sender);
  void dirbackCommand(QObject *sender);
  void dirfowardCommand(QObject *sender);

  // The selected ROM's name as the caption shows it.
  QString romName() const;
  // Snapsloc + separator + ROM name, without extension.
  QString snapshotBasePath() const;
  void showSnapshot(const QString &basePath, bool switchButton);

  RomList listroms;
  TShadowLabel *romname;
  TRotaryDial *RotaryDial1;
  TFileListBox *FileListBox1;
  TFileListBox *FileListBox2;
  TFileListBox *shotdir;
  SkinChoice *FormShaper1;
  TFormStorage *FormStorage1;

private:
  void selectEntry(int index);

  TFrmsetup *setup_ = nullptr;
};

} // namespace vantor
