#include "unziplib/reporter.h"

#include <algorithm>
#include <cstring>

namespace unziplib {

Reporter::Reporter(const UnzipCommand &command)
    : callback_(command.callback), caller_(command.caller), ownerWindow_(command.ownerWindow) {}

bool Reporter::call(int32_t action, int32_t errorCode, int32_t fileSize, const std::string &text) {
  if (!callback_)
    return false;
  UnzipCallbackInfo info{};
  info.ownerWindow = ownerWindow_;
  info.caller = caller_;
  info.action = action;
  info.errorCode = errorCode;
  info.fileSize = fileSize;
  std::memcpy(info.text, text.data(), std::min(text.size(), sizeof info.text - 1));
  if (callback_(&info) == 1)
    stopRequested_ = true;
  return stopRequested_;
}

bool Reporter::fileBegins(const std::string &name, uint64_t size) {
  return call(UNZIP_ACTION_FILE_BEGINS, 0, int32_t(std::min<uint64_t>(size, INT32_MAX)), name);
}

bool Reporter::step() {
  return call(UNZIP_ACTION_PROGRESS, 0, 0, std::string());
}

bool Reporter::message(int32_t errorCode, const std::string &text) {
  return call(UNZIP_ACTION_MESSAGE, errorCode, 0, text);
}

void Reporter::batchEnd() {
  call(UNZIP_ACTION_BATCH_END, 0, 0, std::string());
}

} // namespace unziplib
