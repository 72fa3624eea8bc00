#pragma once

// Drives the built unzip library the way any program would: it knows only the
// public header and loads the library from VANTOR_BIN_DIR.

#include "unziplib/unziplib.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace vantor::test {

struct UnzipEvent {
  int32_t action = 0;
  int32_t errorCode = 0;
  int32_t fileSize = 0;
  std::string text;
};

struct UnzipRun {
  std::string archive;
  std::string password;
  std::vector<std::string> patterns;
  bool test = false, overwrite = false, freshen = false, update = false;
  bool folders = false, verbose = false, trace = false;
  // Returns 1 to ask the library to stop.
  std::function<int32_t(const UnzipEvent &)> onEvent;

  std::vector<UnzipEvent> events;
  int32_t result = -1;

  std::vector<UnzipEvent> messages() const {
    std::vector<UnzipEvent> out;
    for (const UnzipEvent &e : events)
      if (e.action >= UNZIP_ACTION_MESSAGE)
        out.push_back(e);
    return out;
  }
  bool hasMessageWithCode(int32_t code) const {
    for (const UnzipEvent &e : messages())
      if (e.errorCode == code)
        return true;
    return false;
  }
};

class UnzipDriver {
public:
  static UnzipDriver &instance() {
    static UnzipDriver driver;
    return driver;
  }
  bool loaded() const { return exec_ && execInFolder_; }
  GetUnzipVersionFunction version() const { return version_; }
  // Another entry point of the library, or null.
  void *symbol(const char *name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

  static int32_t UNZIP_CALL callback(UnzipCallbackInfo *info) {
    auto *run = static_cast<UnzipRun *>(info->caller);
    UnzipEvent event{info->action, info->errorCode, info->fileSize,
                     std::string(info->text, strnlen(info->text, sizeof info->text))};
    run->events.push_back(event);
    return run->onEvent ? run->onEvent(event) : 0;
  }

  // Fills a record the way the extractor does and calls UnzipExec, which
  // extracts into the current folder.
  int32_t run(UnzipRun &run, const std::function<void(UnzipCommand &)> &tweak = {}) {
    return call(run, tweak, [this](const UnzipCommand *command) { return exec_(command); });
  }
  // The same through UnzipExecInFolder.
  int32_t runInFolder(UnzipRun &run, const char *folder,
                      const std::function<void(UnzipCommand &)> &tweak = {}) {
    return call(run, tweak, [this, folder](const UnzipCommand *command) {
      return execInFolder_(command, folder);
    });
  }

private:
  int32_t call(UnzipRun &run, const std::function<void(UnzipCommand &)> &tweak,
               const std::function<int32_t(const UnzipCommand *)> &exec) {
    auto command = std::make_unique<UnzipCommand>();
    char password[UNZIP_PASSWORD_SIZE] = {};
    char path[UNZIP_PATH_SIZE] = {};
    std::vector<std::array<char, UNZIP_PATH_SIZE>> patterns(run.patterns.size());
    run.password.copy(password, sizeof password - 1);
    run.archive.copy(path, sizeof path - 1);
    command->caller = &run;
    command->version = UNZIP_INTERFACE_VERSION;
    command->callback = &UnzipDriver::callback;
    command->trace = run.trace;
    command->password = password;
    command->test = run.test;
    command->reserved40 = 1;
    command->verbose = run.verbose || run.trace;
    command->update = run.update;
    command->freshen = run.freshen && !run.update;
    command->directoryNames = run.folders;
    command->overwrite = run.overwrite;
    command->fileSpecCount = int32_t(run.patterns.size());
    command->zipFilename = path;
    command->checkValue = UNZIP_CHECK_VALUE;
    for (size_t k = 0; k < patterns.size(); ++k) {
      patterns[k] = {};
      run.patterns[k].copy(patterns[k].data(), UNZIP_PATH_SIZE - 1);
      command->fileSpecs[k] = patterns[k].data();
    }
    if (tweak)
      tweak(*command);
    run.events.clear();
    run.result = exec(command.get());
    return run.result;
  }

  UnzipDriver() {
    const char *bin = std::getenv("VANTOR_BIN_DIR");
    if (!bin)
      return;
    handle_ = dlopen((std::string(bin) + "/libunziplib.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
      return;
    exec_ = reinterpret_cast<UnzipExecFunction>(dlsym(handle_, "UnzipExec"));
    execInFolder_ =
        reinterpret_cast<UnzipExecInFolderFunction>(dlsym(handle_, "UnzipExecInFolder"));
    version_ = reinterpret_cast<GetUnzipVersionFunction>(dlsym(handle_, "GetUnzipVersion"));
  }

  void *handle_ = nullptr;
  UnzipExecFunction exec_ = nullptr;
  UnzipExecInFolderFunction execInFolder_ = nullptr;
  GetUnzipVersionFunction version_ = nullptr;
};

} // namespace vantor::test
