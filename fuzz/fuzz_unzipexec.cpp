// Extracts arbitrary bytes into a scratch folder and checks that nothing
// appears beside it. The first byte picks the switches, the input's length
// the entry point: UnzipExec into the current folder or UnzipExecInFolder.
#include "unziplib/unziplib.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int32_t UNZIP_CALL callback(UnzipCallbackInfo *info) {
  // The text is always terminated inside its buffer.
  if (strnlen(info->text, sizeof info->text) >= sizeof info->text)
    std::abort();
  if (std::getenv("FUZZ_VERBOSE"))
    std::fprintf(stderr, "action %d code %d: %s\n", info->action, info->errorCode, info->text);
  return 0;
}

struct Scratch {
  fs::path root, out, archive;
  Scratch() {
    root = fs::temp_directory_path() / ("vantor-fuzz-" + std::to_string(getpid()));
    fs::create_directories(root);
    out = root / "out";
    archive = root / "input.zip";
  }
};

struct FileCloser {
  void operator()(FILE *file) const { std::fclose(file); }
};

Scratch &scratch() {
  static Scratch s;
  return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1)
    return 0;
  Scratch &s = scratch();
  const uint8_t switches = data[0];
  {
    const std::unique_ptr<FILE, FileCloser> f(std::fopen(s.archive.c_str(), "wb"));
    if (!f)
      return 0;
    std::fwrite(data + 1, 1, size - 1, f.get());
  }
  fs::remove_all(s.out);
  fs::create_directories(s.out);
  fs::current_path(s.out);

  auto command = std::make_unique<UnzipCommand>();
  char path[UNZIP_PATH_SIZE] = {};
  std::strncpy(path, s.archive.c_str(), sizeof path - 1);
  char password[UNZIP_PASSWORD_SIZE] = "secret";
  char pattern[UNZIP_PATH_SIZE] = "*a*";
  command->version = UNZIP_INTERFACE_VERSION;
  command->checkValue = UNZIP_CHECK_VALUE;
  command->callback = &callback;
  command->zipFilename = path;
  command->password = (switches & 0x01) ? password : nullptr;
  command->test = (switches & 0x02) != 0;
  command->directoryNames = (switches & 0x04) != 0;
  command->overwrite = (switches & 0x08) != 0;
  command->update = (switches & 0x10) != 0;
  command->freshen = (switches & 0x20) != 0;
  command->verbose = command->trace = (switches & 0x40) != 0;
  if (switches & 0x80) {
    command->fileSpecCount = 1;
    command->fileSpecs[0] = pattern;
  }
  const int32_t count =
      size % 2 ? UnzipExecInFolder(command.get(), s.out.c_str()) : UnzipExec(command.get());
  if (count < 0)
    std::abort();

  // Nothing may be written outside the extraction folder.
  for (const auto &entry : fs::directory_iterator(s.root))
    if (entry.path() != s.out && entry.path() != s.archive)
      std::abort();
  return 0;
}
