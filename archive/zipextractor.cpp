#include "archive/zipextractor.h"

#include "archive/bytesource.h"
#include "archive/unziplibrary.h"
#include "archive/zipheaderwalk.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/usermessage.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QWidget>
#include <array>
#include <cstring>
#include <memory>

namespace vantor::archive {
namespace {

// A zero-terminated copy of `bytes` in a buffer of N bytes; the caller has
// checked that it fits.
template <size_t N> std::array<char, N> fixedBuffer(const QByteArray &bytes) {
  std::array<char, N> buffer{};
  std::memcpy(buffer.data(), bytes.constData(), std::min<size_t>(size_t(bytes.size()), N - 1));
  return buffer;
}

QString withoutLineEnd(QByteArray text) {
  for (int i = 0; i < 2 && !text.isEmpty() && (text.back() == '\r' || text.back() == '\n'); ++i)
    text.chop(1);
  // Entry names in the text are bytes of the archive's own: shown as best we can.
  return platform::displayName(text);
}

QByteArray absoluteNative(const QByteArray &nativePath) {
  if (nativePath.isEmpty() || nativePath.startsWith('/'))
    return nativePath;
  return platform::joinNative(platform::startFolder(), nativePath);
}

} // namespace

TZipExtractor::TZipExtractor(QWidget *owner) : QObject(owner), owner_(owner) {}

TZipExtractor::~TZipExtractor() = default;

QWidget *TZipExtractor::messageParent() const {
  return owner_ ? owner_->window() : nullptr;
}

void TZipExtractor::showMessage(const QString &text) const {
  if (messageSink_)
    messageSink_(text);
  else
    vantor::showMessage(text, messageParent());
}

void TZipExtractor::setZipFilename(const QString &value) {
  zipFilename_ = value;
  zipPath_ = absoluteNative(platform::nativePath(value));
  readEntries();
}

void TZipExtractor::setZipFile(const QByteArray &nativePath) {
  zipFilename_ = platform::displayName(nativePath);
  zipPath_ = absoluteNative(nativePath);
  readEntries();
}

void TZipExtractor::setDLLDirectory(const QString &value) {
  dllDirectory_ = value;
  if (platform::endsWithSeparator(dllDirectory_))
    dllDirectory_.chop(1);
}

int TZipExtractor::entryCount() const {
  return zipFilename_.isEmpty() ? 0 : int(entries_.size());
}

void TZipExtractor::readEntries() {
  entries_.clear();
  entryListReported_ = false;
  // The list is announced however the reading ends.
  struct Announce {
    TZipExtractor *self;
    ~Announce() { callHandler(self->OnDirUpdate, self); }
  } announce{this};

  if (!platform::nativeFileExists(zipPath_))
    return;
  FileByteSource source(zipPath_);
  firstHeaderOffset_ = 0;
  ZipHeaderWalk walk(source, [this](const QString &text) { showMessage(text); });
  const bool selfExtractor = QFileInfo(zipFilename_).suffix().toUpper() == QLatin1String("EXE");
  // The entries read before a damaged header stay listed.
  const auto keep = qScopeGuard([&] {
    entries_ = std::move(walk.entries);
    firstHeaderOffset_ = walk.firstHeaderOffset;
    entryListReported_ = walk.reported;
  });
  walk.run(selfExtractor);
}

bool TZipExtractor::refuseOverlongValues() {
  if (zipPath_.size() > kMaxPath) {
    showMessage(QStringLiteral("Zip file name too long (at most %1 bytes)").arg(kMaxPath));
    return true;
  }
  if (password_.toLocal8Bit().size() > kMaxPassword) {
    showMessage(QStringLiteral("Password too long (at most %1 characters)").arg(kMaxPassword));
    return true;
  }
  if (fSpecArgs_.size() > kMaxFileSpecs) {
    showMessage(QStringLiteral("Too many file specifications (at most %1)").arg(kMaxFileSpecs));
    return true;
  }
  for (const QString &pattern : fSpecArgs_) {
    if (QFile::encodeName(pattern).size() > kMaxPath) {
      showMessage(QStringLiteral("File specification too long (at most %1 bytes): %2")
                      .arg(kMaxPath)
                      .arg(pattern.left(40)));
      return true;
    }
  }
  return false;
}

void TZipExtractor::Extract() {
  extractedCount_ = 0;
  if (!platform::nativeFileExists(zipPath_)) {
    showMessage(QStringLiteral("Error - no zip file specified"));
    return;
  }
  if (busy_ || refuseOverlongValues())
    return;
  busy_ = true;
  cancelRequested_ = false;
  handlerError_ = nullptr;
  struct Finish {
    TZipExtractor *self;
    bool unload = false;
    ~Finish() {
      if (unload)
        UnzipLibrary::unload();
      self->cancelRequested_ = false;
      self->busy_ = false;
    }
  } finish{this};

  if (!UnzipLibrary::isLoaded()) {
    UnzipLibrary::load(dllDirectory_, trace_, [this](const QString &text) { showMessage(text); });
    finish.unload = UnzipLibrary::isLoaded();
  }
  if (!UnzipLibrary::isLoaded())
    return;
  runLibrary();
  fSpecArgs_.clear();
  if (handlerError_)
    std::rethrow_exception(std::exchange(handlerError_, nullptr));
}

void TZipExtractor::runLibrary() {
  using PathBuffer = std::array<char, UNZIP_PATH_SIZE>;
  const auto password = fixedBuffer<UNZIP_PASSWORD_SIZE>(password_.toLocal8Bit());
  const auto archivePath = fixedBuffer<UNZIP_PATH_SIZE>(zipPath_);
  // The library writes below this folder only; without one it writes nothing.
  const QByteArray folder = platform::nativePath(platform::absolutePath(extrBaseDir_));
  std::vector<PathBuffer> patterns;
  patterns.reserve(size_t(fSpecArgs_.size()));
  for (const QString &pattern : fSpecArgs_)
    patterns.push_back(fixedBuffer<UNZIP_PATH_SIZE>(QFile::encodeName(pattern)));

  // The record is about 16 KiB with its list: keep it off the stack.
  auto command = std::make_unique<UnzipCommand>();
  QWidget *window = owner_ ? owner_->window() : nullptr;
  command->ownerWindow = window ? reinterpret_cast<void *>(window->internalWinId()) : nullptr;
  command->caller = this;
  command->version = UNZIP_INTERFACE_VERSION;
  command->callback = &TZipExtractor::callback;
  command->trace = trace_ ? 1 : 0;
  command->password = password.data();
  command->test = extrOptions_.testFlag(ExtrTest) ? 1 : 0;
  command->reserved40 = 1;
  command->verbose = verbose_ || trace_ ? 1 : 0;
  command->update = extrOptions_.testFlag(ExtrUpdate) ? 1 : 0;
  command->freshen = extrOptions_.testFlag(ExtrFreshen) && !extrOptions_.testFlag(ExtrUpdate);
  command->directoryNames = extrOptions_.testFlag(ExtrDirNames) ? 1 : 0;
  command->overwrite = extrOptions_.testFlag(ExtrOverWrite) ? 1 : 0;
  command->fileSpecCount = int32_t(patterns.size());
  command->zipFilename = archivePath.data();
  command->checkValue = UNZIP_CHECK_VALUE;
  for (size_t k = 0; k < patterns.size(); ++k)
    command->fileSpecs[k] = patterns[k].data();

  // UnzipExec stays required, as the library without it is not ours.
  const UnzipExecInFolderFunction exec = UnzipLibrary::unzipExecInFolder();
  if (!UnzipLibrary::unzipExec() || !exec)
    return;
  try {
    extractedCount_ = exec(command.get(), folder.constData());
  } catch (...) {
    showMessage(QStringLiteral("Fatal DLL Error: abort exception"));
  }
}

int32_t UNZIP_CALL TZipExtractor::callback(UnzipCallbackInfo *info) {
  if (!info || !info->caller)
    return 0;
  return static_cast<TZipExtractor *>(info->caller)->relay(*info);
}

int32_t TZipExtractor::relay(const UnzipCallbackInfo &info) {
  // Nothing may be thrown through the library's frames: a handler's error is
  // kept, the library is asked to stop, and the error is raised afterwards.
  try {
    const QByteArray text(info.text, qsizetype(strnlen(info.text, sizeof info.text)));
    switch (info.action) {
    case UNZIP_ACTION_FILE_BEGINS:
      if (OnProgress)
        OnProgress(this, 0, platform::displayName(text), info.fileSize);
      break;
    case UNZIP_ACTION_PROGRESS:
      if (OnProgress)
        OnProgress(this, 1, QStringLiteral(" "), 0);
      break;
    case UNZIP_ACTION_BATCH_END:
      if (OnProgress)
        OnProgress(this, 2, QStringLiteral(" "), 0);
      break;
    default:
      if (info.action >= UNZIP_ACTION_MESSAGE && OnMessage)
        OnMessage(this, info.errorCode, withoutLineEnd(text));
      break;
    }
  } catch (...) {
    if (!handlerError_)
      handlerError_ = std::current_exception();
    cancelRequested_ = true;
  }
  return cancelRequested_ ? 1 : 0;
}

} // namespace vantor::archive
