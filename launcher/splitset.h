#pragma once

#include "launcher/launch.h"

#include <vector>

namespace vantor {

namespace gamelist {
struct SetCheck;
}

// The files a checked set takes from its parent's and BIOS's archives, one
// group for each archive; a name that could leave the scratch folder is
// left out.
std::vector<BorrowedFiles> borrowedFilesOf(const gamelist::SetCheck &check);

// Unpacks each group's files into `folder` and gives each the name the set
// knows it by. A file its archive did not yield is an error.
ArchiveUnpacker::Outcome unpackBorrowed(ArchiveUnpacker &unpacker,
                                        const std::vector<BorrowedFiles> &groups,
                                        const QString &folder,
                                        const ArchiveUnpacker::Progress &progress);

} // namespace vantor
