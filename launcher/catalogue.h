#pragma once

#include <QStringList>

namespace vantor {

// A catalogue entry without its last four characters (the ".zip").
QString romNameOf(const QString &entry);

// The ROM folder's archives followed by the CD-ROM folder's, each half in its
// own order; a name present in both is listed twice. A half whose folder text
// is empty is left out.
QStringList mergeCatalogue(const QString &romFolderText, const QStringList &romArchives,
                           const QString &cdromFolderText, const QStringList &cdromArchives);

} // namespace vantor
