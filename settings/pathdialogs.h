#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace vantor {

struct FolderDialogRequest {
  QString startFolder; // an existing folder or the root
  QString text;        // shown above the folders; may be empty
  bool native = true;  // the desktop's own chooser where it has one
};

struct FileDialogRequest {
  QString title;
  QString filter; // "Name|pattern|Name|pattern"
  int filterIndex = 1;
  QString initialDir;
  QString fileName;
  QString defaultExt;
  bool save = false;
  bool native = true;
};

// The choosers behind the path fields' buttons; tests answer them without a
// real dialog. nullopt means cancelled.
class TPathDialogs {
public:
  virtual ~TPathDialogs() = default;
  virtual std::optional<QString> chooseFolder(QWidget *parent,
                                              const FolderDialogRequest &request) = 0;
  virtual std::optional<QString> chooseFile(QWidget *parent, const FileDialogRequest &request) = 0;
};

// The toolkit's choosers.
TPathDialogs &standardPathDialogs();

// "Name|pattern;pattern|..." as the toolkit's name filters ("Name (pattern pattern)").
// "*.*" becomes "*" where file names need no dot.
QStringList toNameFilters(const QString &filter);

} // namespace vantor
