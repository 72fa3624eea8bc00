#include "settings/pathdialogs.h"

#include <QFileDialog>

namespace vantor {
namespace {

class StandardPathDialogs final : public TPathDialogs {
public:
  std::optional<QString> chooseFolder(QWidget *parent,
                                      const FolderDialogRequest &request) override {
    QFileDialog dialog(parent, request.text);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog, !request.native);
    dialog.setDirectory(request.startFolder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
      return std::nullopt;
    return dialog.selectedFiles().first();
  }

  std::optional<QString> chooseFile(QWidget *parent, const FileDialogRequest &request) override {
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, !request.native);
    const QStringList filters = toNameFilters(request.filter);
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
      dialog.selectNameFilter(filters.value(request.filterIndex - 1, filters.first()));
    }
    if (!request.initialDir.isEmpty())
      dialog.setDirectory(request.initialDir);
    if (!request.fileName.isEmpty())
      dialog.selectFile(request.fileName);
    if (!request.defaultExt.isEmpty())
      dialog.setDefaultSuffix(request.defaultExt);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
      return std::nullopt;
    return dialog.selectedFiles().first();
  }
};

} // namespace

TPathDialogs &standardPathDialogs() {
  static StandardPathDialogs dialogs;
  return dialogs;
}

QStringList toNameFilters(const QString &filter) {
  QStringList out;
  const QStringList parts = filter.split(u'|');
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
    for (QString &p : patterns) {
      p = p.trimmed();
      // "*.*" means every file, a name without a dot included.
      if (p == QLatin1String("*.*"))
        p = QStringLiteral("*");
    }
    out << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
  }
  return out;
}

} // namespace vantor
