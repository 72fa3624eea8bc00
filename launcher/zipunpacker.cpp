#include "zipunpacker.h"

#include "archive/zipextractor.h"
#include "platform/usermessage.h"

#include <QScopeGuard>

namespace vantor {
namespace {

// An entry name the library had to adjust is still written; an entry it
// skipped is not.
bool isFailure(qint32 code, const QString &message) {
  if (code == UNZIP_OK)
    return false;
  return code != UNZIP_ERR_NAME || message.startsWith(QLatin1String("skipping: "));
}

} // namespace

ZipUnpacker::ZipUnpacker(archive::TZipExtractor &zip) : zip_(zip) {
  zip_.OnMessage = [this](QObject *, qint32 code, const QString &message) {
    if (failures_ && isFailure(code, message))
      failures_->append(message);
  };
}

int ZipUnpacker::open(const QByteArray &nativePath) {
  zip_.setZipFile(nativePath);
  return zip_.EntryCount();
}

ArchiveUnpacker::Outcome ZipUnpacker::unpack(const QString &folder) {
  Outcome outcome;
  // What the component itself would show (no library, a fault in it) joins
  // the library's failures in the one box.
  failures_ = &outcome.errors;
  const ScopedMessagePresenter collect(
      [&outcome](const UserMessage &message) { outcome.errors.append(message.text); });
  const auto restore = qScopeGuard([&] { failures_ = nullptr; });
  zip_.setExtrBaseDir(folder);
  zip_.setExtrOptions(zip_.ExtrOptions() | archive::TZipExtractor::ExtrOverWrite);
  zip_.Extract();
  outcome.written = zip_.ExtractedCount();
  return outcome;
}

} // namespace vantor
