#include "unziplib/unziplib.h"

#include "unziplib/extraction.h"
#include "unziplib/reporter.h"
#include "unziplib/targetfolder.h"

#include <cstring>
#include <exception>
#include <optional>
#include <string>

namespace unziplib {
namespace {

// A zero-terminated value of a fixed-size buffer, or false when the buffer
// holds no terminator.
bool readBuffer(const char *buffer, size_t size, std::string &value) {
  const size_t length = strnlen(buffer, size);
  if (length == size)
    return false;
  value.assign(buffer, length);
  return true;
}

// Checks the record and copies what it points at; reports what is refused.
bool readCommand(const UnzipCommand &command, Reporter &reporter, ExtractionOptions &options) {
  if (command.version != UNZIP_INTERFACE_VERSION || command.checkValue != UNZIP_CHECK_VALUE) {
    reporter.message(UNZIP_ERR_RECORD, "Command record refused: interface version " +
                                           std::to_string(command.version) + ", check value " +
                                           std::to_string(command.checkValue) + " (expected " +
                                           std::to_string(UNZIP_INTERFACE_VERSION) + " and " +
                                           std::to_string(UNZIP_CHECK_VALUE) + ")");
    return false;
  }
  if (!command.zipFilename || !readBuffer(command.zipFilename, UNZIP_PATH_SIZE, options.archive) ||
      options.archive.empty()) {
    reporter.message(UNZIP_ERR_RECORD, "Zip file name missing or longer than " +
                                           std::to_string(UNZIP_PATH_SIZE - 1) + " bytes");
    return false;
  }
  if (command.password && !readBuffer(command.password, UNZIP_PASSWORD_SIZE, options.password)) {
    reporter.message(UNZIP_ERR_RECORD,
                     "Password longer than " + std::to_string(UNZIP_PASSWORD_SIZE - 1) + " bytes");
    return false;
  }
  if (command.fileSpecCount < 0 || command.fileSpecCount > UNZIP_MAX_FILE_SPECS) {
    reporter.message(UNZIP_ERR_RECORD, "Number of file specifications out of range (0 to " +
                                           std::to_string(UNZIP_MAX_FILE_SPECS) + ")");
    return false;
  }
  for (int32_t k = 0; k < command.fileSpecCount; ++k) {
    std::string pattern;
    if (!command.fileSpecs[k] || !readBuffer(command.fileSpecs[k], UNZIP_PATH_SIZE, pattern)) {
      reporter.message(UNZIP_ERR_RECORD, "File specification " + std::to_string(k + 1) +
                                             " missing or longer than " +
                                             std::to_string(UNZIP_PATH_SIZE - 1) + " bytes");
      return false;
    }
    options.patterns.push_back(std::move(pattern));
  }
  options.test = command.test != 0;
  options.overwrite = command.overwrite != 0;
  options.update = command.update != 0;
  options.freshen = command.freshen != 0 && !options.update;
  options.keepFolders = command.directoryNames != 0;
  options.trace = command.trace != 0;
  options.verbose = command.verbose != 0 || options.trace;
  return true;
}

// Both exports: one record, and the folder the files go to.
int32_t execute(const UnzipCommand *command, const char *folder, bool currentFolder) {
  if (!command)
    return 0;
  Reporter reporter(*command);
  try {
    ExtractionOptions options;
    if (!readCommand(*command, reporter, options))
      return 0;
    std::optional<TargetFolder> target;
    if (currentFolder)
      target.emplace(TargetFolder::CurrentFolder{});
    else
      target.emplace(folder ? std::string(folder) : std::string());
    return runExtraction(options, *target, reporter);
  } catch (const std::exception &error) {
    reporter.message(UNZIP_ERR_DATA, std::string("Internal error: ") + error.what());
  } catch (...) {
    reporter.message(UNZIP_ERR_DATA, "Internal error");
  }
  return 0;
}

} // namespace
} // namespace unziplib

extern "C" UNZIP_EXPORT int32_t UNZIP_CALL UnzipExec(const UnzipCommand *command) {
  return unziplib::execute(command, nullptr, true);
}

extern "C" UNZIP_EXPORT int32_t UNZIP_CALL UnzipExecInFolder(const UnzipCommand *command,
                                                             const char *folder) {
  return unziplib::execute(command, folder, false);
}

extern "C" UNZIP_EXPORT int32_t UNZIP_CALL GetUnzipVersion(void) {
  return UNZIP_INTERFACE_VERSION;
}
