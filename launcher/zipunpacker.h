#pragma once

#include "launcher/launch.h"

namespace vantor {

namespace archive {
class TZipExtractor;
}

// Unpacks through the main window's zip component and gathers what the
// library and the component report as failed, so a launch can show it in
// one box. The unpacking itself runs on the launch's worker thread, where
// the component must not show a box of its own.
class ZipUnpacker final : public ArchiveUnpacker {
public:
  // Takes over the component's OnMessage; OnProgress while unpacking.
  explicit ZipUnpacker(archive::TZipExtractor &zip);
  ZipUnpacker(const ZipUnpacker &) = delete;
  ZipUnpacker &operator=(const ZipUnpacker &) = delete;

  Listing open(const QByteArray &nativePath) override;
  Outcome unpack(const QString &folder, const Progress &progress) override;
  Outcome unpackFrom(const QByteArray &nativePath, const QStringList &entries,
                     const QString &folder, const Progress &progress) override;

private:
  void followProgress(const Progress &progress, Outcome &outcome);
  // Opens an archive with what its reading says joining `errors`.
  void openCatching(const QByteArray &nativePath, QStringList &errors);

  archive::TZipExtractor &zip_;
  QStringList *failures_ = nullptr; // while unpacking
  QByteArray opened_;
};

} // namespace vantor
