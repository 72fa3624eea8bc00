#pragma once

#include "launcher/launch.h"

namespace vantor {

namespace archive {
class TZipExtractor;
}

// Unpacks through the main window's zip component and gathers what the
// library reports as failed, so a launch can show it in one box.
class ZipUnpacker final : public ArchiveUnpacker {
public:
  // Takes over the component's OnMessage; OnProgress while unpacking.
  explicit ZipUnpacker(archive::TZipExtractor &zip);
  ZipUnpacker(const ZipUnpacker &) = delete;
  ZipUnpacker &operator=(const ZipUnpacker &) = delete;

  int open(const QByteArray &nativePath) override;
  Outcome unpack(const QString &folder, const Progress &progress) override;

private:
  void followProgress(const Progress &progress, Outcome &outcome);

  archive::TZipExtractor &zip_;
  QStringList *failures_ = nullptr; // while unpacking
};

} // namespace vantor
