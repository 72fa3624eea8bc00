#pragma once

#include "archive/zipdirentry.h"
#include "platform/events.h"
#include "unziplib/unziplib.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <exception>
#include <functional>
#include <vector>

class QWidget;

namespace vantor::archive {

// Progress kind 0 = a file begins (name, size), 1 = a step, 2 = the batch ended.
using TProgressEvent =
    std::function<void(QObject *sender, int kind, const QString &fileName, qint32 fileSize)>;
using TMessageEvent =
    std::function<void(QObject *sender, qint32 errorCode, const QString &message)>;

// Reads an archive's entry list from its local headers and extracts it
// through the unzip library, which is loaded for each extraction.
class TZipExtractor final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString ZipFilename READ zipFilename WRITE setZipFilename)
  Q_PROPERTY(QString ExtrBaseDir READ extrBaseDir WRITE setExtrBaseDir)
  Q_PROPERTY(TExtrOptions ExtrOptions READ extrOptions WRITE setExtrOptions)
  Q_PROPERTY(bool Verbose READ verbose WRITE setVerbose)
  Q_PROPERTY(bool Trace READ trace WRITE setTrace)
  Q_PROPERTY(QString Password READ password WRITE setPassword)
  Q_PROPERTY(QStringList FSpecArgs READ fSpecArgs WRITE setFSpecArgs)
  Q_PROPERTY(QString DLLDirectory READ dllDirectory WRITE setDLLDirectory)
  Q_PROPERTY(int AddCompLevel READ addCompLevel WRITE setAddCompLevel)
  Q_PROPERTY(TAddOptions AddOptions READ addOptions WRITE setAddOptions)
  Q_PROPERTY(TSFXOptions SFXOptions READ sfxOptions WRITE setSFXOptions)
  Q_PROPERTY(TOverWriteMode SFXOverWriteMode READ sfxOverWriteMode WRITE setSFXOverWriteMode)
  Q_PROPERTY(QString SFXCaption READ sfxCaption WRITE setSFXCaption)
  Q_PROPERTY(QString SFXPath READ sfxPath WRITE setSFXPath)
  Q_PROPERTY(QString SFXDefaultDir READ sfxDefaultDir WRITE setSFXDefaultDir)
  Q_PROPERTY(QString SFXCommandLine READ sfxCommandLine WRITE setSFXCommandLine)

public:
  enum TExtrOption {
    ExtrDirNames = 1 << 0,
    ExtrOverWrite = 1 << 1,
    ExtrFreshen = 1 << 2,
    ExtrUpdate = 1 << 3,
    ExtrTest = 1 << 4,
  };
  Q_DECLARE_FLAGS(TExtrOptions, TExtrOption)
  Q_FLAG(TExtrOptions)

  enum TAddOption {
    AddDirNames = 1 << 0,
    AddRecurseDirs = 1 << 1,
    AddMove = 1 << 2,
    AddFreshen = 1 << 3,
    AddUpdate = 1 << 4,
    AddZipTime = 1 << 5,
    AddForceDOS = 1 << 6,
    AddHiddenFiles = 1 << 7,
    AddEncrypt = 1 << 8,
  };
  Q_DECLARE_FLAGS(TAddOptions, TAddOption)
  Q_FLAG(TAddOptions)

  enum TSFXOption { SFXAskCmdLine = 1 << 0, SFXAskFiles = 1 << 1, SFXHideOverWriteBox = 1 << 2 };
  Q_DECLARE_FLAGS(TSFXOptions, TSFXOption)
  Q_FLAG(TSFXOptions)

  enum TOverWriteMode { OvrConfirm, OvrAlways, OvrNever };
  Q_ENUM(TOverWriteMode)

  static constexpr int kMaxPassword = 80; // bytes
  static constexpr int kMaxPath = 255;    // bytes of the archive path and of each pattern
  static constexpr int kMaxFileSpecs = 4000;

  // The component belongs to a window, whose handle goes to the library.
  explicit TZipExtractor(QWidget *owner);
  ~TZipExtractor() override;

  const QString &zipFilename() const { return zipFilename_; }
  // Stores the name and reads the entry list; stream errors from the reading
  // reach the caller after the name is stored.
  void setZipFilename(const QString &value);
  // The same with the path's bytes as the file system has them, for a name
  // that is not valid UTF-8; ZipFilename then shows it as best it can.
  void setZipFile(const QByteArray &nativePath);
  const QString &extrBaseDir() const { return extrBaseDir_; }
  void setExtrBaseDir(const QString &value) { extrBaseDir_ = value; }
  TExtrOptions extrOptions() const { return extrOptions_; }
  void setExtrOptions(TExtrOptions value) { extrOptions_ = value; }
  bool verbose() const { return verbose_; }
  void setVerbose(bool value) { verbose_ = value; }
  bool trace() const { return trace_; }
  void setTrace(bool value) { trace_ = value; }
  const QString &password() const { return password_; }
  void setPassword(const QString &value) { password_ = value; }
  const QStringList &fSpecArgs() const { return fSpecArgs_; }
  void setFSpecArgs(const QStringList &value) { fSpecArgs_ = value; }
  const QString &dllDirectory() const { return dllDirectory_; }
  void setDLLDirectory(const QString &value);

  int addCompLevel() const { return addCompLevel_; }
  void setAddCompLevel(int value) { addCompLevel_ = value; }
  TAddOptions addOptions() const { return addOptions_; }
  void setAddOptions(TAddOptions value) { addOptions_ = value; }
  TSFXOptions sfxOptions() const { return sfxOptions_; }
  void setSFXOptions(TSFXOptions value) { sfxOptions_ = value; }
  TOverWriteMode sfxOverWriteMode() const { return sfxOverWriteMode_; }
  void setSFXOverWriteMode(TOverWriteMode value) { sfxOverWriteMode_ = value; }
  const QString &sfxCaption() const { return sfxCaption_; }
  void setSFXCaption(const QString &value) { sfxCaption_ = value; }
  const QString &sfxPath() const { return sfxPath_; }
  void setSFXPath(const QString &value) { sfxPath_ = value; }
  const QString &sfxDefaultDir() const { return sfxDefaultDir_; }
  void setSFXDefaultDir(const QString &value) { sfxDefaultDir_ = value; }
  const QString &sfxCommandLine() const { return sfxCommandLine_; }
  void setSFXCommandLine(const QString &value) { sfxCommandLine_ = value; }

  int entryCount() const;
  const std::vector<ZipDirEntry> &entries() const { return entries_; }
  qint64 firstHeaderOffset() const { return firstHeaderOffset_; }
  bool busy() const { return busy_; }
  bool cancelRequested() const { return cancelRequested_; }
  void setCancelRequested(bool value) { cancelRequested_ = value; }
  qint32 extractedCount() const { return extractedCount_; }
  // The last reading of the entry list told the user that it found nothing.
  bool entryListReported() const { return entryListReported_; }
  // Where the component's own failures go instead of a box: for an
  // extraction on a thread that must not show one. Empty: a box.
  void setMessageSink(std::function<void(const QString &text)> sink) {
    messageSink_ = std::move(sink);
  }

  // Extracts with the current settings; the outcome is extractedCount() and the
  // messages shown.
  void Extract();

  TNotifyEvent OnDirUpdate;
  TProgressEvent OnProgress;
  TMessageEvent OnMessage;

private:
  // The component's own failures: a plain box over the owner's window.
  void showMessage(const QString &text) const;
  QWidget *messageParent() const;
  void readEntries();
  bool refuseOverlongValues();
  void runLibrary();
  static int32_t UNZIP_CALL callback(UnzipCallbackInfo *info);
  int32_t relay(const UnzipCallbackInfo &info);

  QPointer<QWidget> owner_;
  QString zipFilename_;
  QByteArray zipPath_; // ZipFilename's bytes made absolute, which the file is opened by
  QString extrBaseDir_;
  TExtrOptions extrOptions_;
  bool verbose_ = false;
  bool trace_ = false;
  QString password_;
  QStringList fSpecArgs_;
  QString dllDirectory_;
  int addCompLevel_ = 9;
  TAddOptions addOptions_;
  TSFXOptions sfxOptions_;
  TOverWriteMode sfxOverWriteMode_ = OvrConfirm;
  QString sfxCaption_ = QStringLiteral("Self-extracting Archive");
  QString sfxPath_, sfxDefaultDir_, sfxCommandLine_;

  std::vector<ZipDirEntry> entries_;
  qint64 firstHeaderOffset_ = 0;
  bool busy_ = false;
  bool cancelRequested_ = false;
  qint32 extractedCount_ = 0;
  bool entryListReported_ = false;
  std::function<void(const QString &text)> messageSink_;
  std::exception_ptr handlerError_; // thrown by an event handler during a callback
};

} // namespace vantor::archive

Q_DECLARE_OPERATORS_FOR_FLAGS(vantor::archive::TZipExtractor::TExtrOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(vantor::archive::TZipExtractor::TAddOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(vantor::archive::TZipExtractor::TSFXOptions)
