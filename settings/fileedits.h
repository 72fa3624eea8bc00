#pragma once

#include "settings/comboedit.h"
#include "settings/pathdialogs.h"

#include <functional>

namespace vantor {

namespace pathedit {
// The root folder, "/".
QString rootFolder();
// Everything up to and including the last separator.
QString extractFilePath(const QString &path);
// What follows the last separator.
QString extractFileName(const QString &path);
// Not empty and free of < > " [ ] |.
bool isValidFileName(const QString &name);
// The first item of a command line: blanks separate, quotes group and are dropped.
QString firstCommandLineItem(const QString &text);
// A chosen folder in native form, without a trailing separator unless a root.
QString chosenFolderText(const QString &folder);
// A chosen file in native form, quoted when it has a blank and no leading quote.
QString chosenFileText(const QString &path);
} // namespace pathedit

class TFileDirEdit;
// Given the path and a flag that cancels when cleared.
using TDialogEvent = std::function<void(TFileDirEdit *sender, QString &name, bool &action)>;

// Common base of the path fields: the dialog step and its two events.
class TFileDirEdit : public TCustomComboEdit {
  Q_OBJECT
  Q_PROPERTY(bool OEMConvert READ oemConvert WRITE setOEMConvert)

public:
  explicit TFileDirEdit(QWidget *parent = nullptr);

  // nullptr: the toolkit's choosers. Not owned.
  void setDialogs(TPathDialogs *dialogs) { dialogs_ = dialogs; }
  bool oemConvert() const { return oemConvert_; }
  void setOEMConvert(bool on) { oemConvert_ = on; }

protected:
  void buttonClick() final;
  // Runs the chooser for the start name; the chosen path, or nullopt.
  virtual std::optional<QString> RunDialog(QString &name) = 0;
  // Takes a confirmed choice into the field.
  virtual void applyChoice(const QString &name) = 0;
  TPathDialogs &dialogs() const;

public:
  TDialogEvent OnBeforeDialog;
  TDialogEvent OnAfterDialog;

private:
  TPathDialogs *dialogs_ = nullptr;
  bool oemConvert_ = false;
};

class TDirectoryEdit final : public TFileDirEdit {
  Q_OBJECT
  Q_PROPERTY(vantor::TDirectoryEdit::TDirDialogKind DialogKind READ dialogKind WRITE setDialogKind)
  Q_PROPERTY(QString InitialDir READ initialDir WRITE setInitialDir)
  Q_PROPERTY(QString DialogText READ dialogText WRITE setDialogText)
  Q_PROPERTY(bool MultipleDirs READ multipleDirs WRITE setMultipleDirs)

public:
  enum TDirDialogKind { dkPlain, dkWin32 };
  Q_ENUM(TDirDialogKind)

  explicit TDirectoryEdit(QWidget *parent = nullptr);

  TDirDialogKind dialogKind() const { return dialogKind_; }
  void setDialogKind(TDirDialogKind kind) { dialogKind_ = kind; }
  QString initialDir() const { return initialDir_; }
  void setInitialDir(const QString &dir) { initialDir_ = dir; }
  QString dialogText() const { return dialogText_; }
  void setDialogText(const QString &text) { dialogText_ = text; }
  bool multipleDirs() const { return multipleDirs_; }
  void setMultipleDirs(bool on) { multipleDirs_ = on; }

protected:
  std::optional<QString> RunDialog(QString &name) override;
  void applyChoice(const QString &name) override;

private:
  TDirDialogKind dialogKind_ = dkWin32;
  QString initialDir_;
  QString dialogText_;
  bool multipleDirs_ = false;
};

class TFilenameEdit final : public TFileDirEdit {
  Q_OBJECT
  Q_PROPERTY(vantor::TFilenameEdit::TFileDialogKind DialogKind READ dialogKind WRITE setDialogKind)
  Q_PROPERTY(QString Filter READ filter WRITE setFilter)
  Q_PROPERTY(int FilterIndex READ filterIndex WRITE setFilterIndex)
  Q_PROPERTY(QString DialogTitle READ dialogTitle WRITE setDialogTitle)
  Q_PROPERTY(QString InitialDir READ initialDir WRITE setInitialDir)
  Q_PROPERTY(QString DefaultExt READ defaultExt WRITE setDefaultExt)
  Q_PROPERTY(QString FileName READ fileName WRITE setFileName)

public:
  enum TFileDialogKind { dkOpen, dkSave };
  Q_ENUM(TFileDialogKind)

  explicit TFilenameEdit(QWidget *parent = nullptr);

  TFileDialogKind dialogKind() const { return dialogKind_; }
  void setDialogKind(TFileDialogKind kind) { dialogKind_ = kind; }
  QString filter() const { return filter_; }
  void setFilter(const QString &filter) { filter_ = filter; }
  int filterIndex() const { return filterIndex_; }
  void setFilterIndex(int index) { filterIndex_ = index; }
  QString dialogTitle() const { return title_; }
  void setDialogTitle(const QString &title) { title_ = title; }
  // The dialog's own initial folder and file name, kept between runs.
  QString initialDir() const { return initialDir_; }
  void setInitialDir(const QString &dir) { initialDir_ = dir; }
  QString defaultExt() const { return defaultExt_; }
  void setDefaultExt(const QString &ext) { defaultExt_ = ext; }
  QString fileName() const { return fileName_; }
  void setFileName(const QString &name) { fileName_ = name; }

protected:
  std::optional<QString> RunDialog(QString &name) override;
  void applyChoice(const QString &name) override;

private:
  TFileDialogKind dialogKind_ = dkOpen;
  QString filter_ = QStringLiteral("All files (*.*)|*.*");
  int filterIndex_ = 1;
  QString title_ = QStringLiteral("Browse");
  QString initialDir_;
  QString defaultExt_;
  QString fileName_;
};

} // namespace vantor
