#include "settings/formplacementsaves.h"

#include "platform/handlerguard.h"
#include "platform/profile.h"

namespace vantor {
namespace {

HeldPlacementSaves *&holder() {
  static HeldPlacementSaves *saves = nullptr;
  return saves;
}

} // namespace

HeldPlacementSaves::HeldPlacementSaves() = default;

HeldPlacementSaves::~HeldPlacementSaves() {
  write();
}

HeldPlacementSaves *HeldPlacementSaves::current() {
  return holder();
}

void HeldPlacementSaves::hold() {
  if (!holder())
    holder() = this;
}

void HeldPlacementSaves::take(platform::ProfileFile &saved) {
  std::unique_ptr<platform::ProfileFile> &file = files_[saved.path()];
  if (!file)
    file =
        std::make_unique<platform::ProfileFile>(saved.path(), platform::ProfileFile::Mode::Batch);
  file->takeHeldFrom(saved);
}

void HeldPlacementSaves::write() {
  if (holder() == this)
    holder() = nullptr;
  auto files = std::move(files_);
  files_.clear();
  for (auto &[path, file] : files)
    runGuarded([&file] { file->commit(); });
}

} // namespace vantor
