#include "launcher/zipunpacker.h"

#include "archive/zipextractor.h"

#include <QScopeGuard>

#include <algorithm>
#include <limits>
#include <utility>

namespace vantor {
namespace {

// An entry name the library had to adjust is still written; an entry it
// skipped is not.
bool isFailure(qint32 code, const QString &message) {
  if (code == UNZIP_OK)
    return false;
  return code != UNZIP_ERR_NAME || message.startsWith(QLatin1String("skipping: "));
}

// The library reports each file's size clamped to 32 bits; the total is
// counted alike, so the two meet at the end.
qint64 reportedSize(quint32 size) {
  return std::min<qint64>(size, std::numeric_limits<qint32>::max());
}

} // namespace

ZipUnpacker::ZipUnpacker(archive::TZipExtractor &zip) : zip_(zip) {
  zip_.OnMessage = [this](QObject *, qint32 code, const QString &message) {
    if (failures_ && isFailure(code, message))
      failures_->append(message);
  };
}

ArchiveUnpacker::Listing ZipUnpacker::open(const QByteArray &nativePath) {
  opened_ = nativePath;
  zip_.setZipFile(nativePath);
  return {zip_.entryCount(), zip_.entryListReported()};
}

ArchiveUnpacker::Outcome ZipUnpacker::unpack(const QString &folder, const Progress &progress) {
  Outcome outcome;
  // What the component itself would show (no library, a fault in it) joins
  // the library's failures in the one box.
  const archive::TProgressEvent progressBefore = zip_.OnProgress;
  failures_ = &outcome.errors;
  zip_.setMessageSink([&outcome](const QString &text) { outcome.errors.append(text); });
  const auto restore = qScopeGuard([&] {
    failures_ = nullptr;
    zip_.setMessageSink({});
    zip_.OnProgress = progressBefore;
  });
  if (progress)
    followProgress(progress, outcome);
  zip_.setExtrBaseDir(folder);
  zip_.setExtrOptions(zip_.extrOptions() | archive::TZipExtractor::ExtrOverWrite);
  zip_.Extract();
  outcome.written = zip_.extractedCount();
  return outcome;
}

// The component reads one archive at a time: the other one is read, its
// files unpacked, and the one opened last read again. On the worker the
// component's own handlers are not called.
ArchiveUnpacker::Outcome ZipUnpacker::unpackFrom(const QByteArray &nativePath,
                                                 const QStringList &entries, const QString &folder,
                                                 const Progress &progress) {
  const TNotifyEvent dirUpdate = std::exchange(zip_.OnDirUpdate, {});
  const auto restore = qScopeGuard([&] {
    zip_.setFSpecArgs({});
    zip_.OnDirUpdate = dirUpdate;
  });
  Outcome outcome;
  openCatching(nativePath, outcome.errors);
  if (outcome.errors.isEmpty()) {
    zip_.setFSpecArgs(entries);
    const Outcome part = unpack(folder, progress);
    outcome.written = part.written;
    outcome.cancelled = part.cancelled;
    outcome.errors << part.errors;
  }
  openCatching(opened_, outcome.errors);
  return outcome;
}

void ZipUnpacker::openCatching(const QByteArray &nativePath, QStringList &errors) {
  zip_.setMessageSink([&errors](const QString &text) { errors.append(text); });
  const auto restore = qScopeGuard([&] { zip_.setMessageSink({}); });
  zip_.setZipFile(nativePath);
}

// Sizes when the headers give them (a streamed archive's may not), else
// entries. A file counts as done when it begins: the library reports it once
// it is written.
void ZipUnpacker::followProgress(const Progress &progress, Outcome &outcome) {
  qint64 total = 0;
  for (const archive::ZipDirEntry &entry : zip_.entries())
    total += reportedSize(entry.uncompressedSize);
  const bool bySize = total > 0;
  if (!bySize)
    total = qint64(zip_.entries().size());
  zip_.OnProgress = [this, &progress, &outcome, bySize, total,
                     done = qint64(0)](QObject *, int kind, const QString &, qint32 size) mutable {
    if (kind == 0)
      done += bySize ? std::max<qint32>(size, 0) : 1;
    if (kind == 2 || outcome.cancelled || progress(std::min(done, total), total))
      return;
    outcome.cancelled = true;
    zip_.setCancelRequested(true);
  };
}

} // namespace vantor
