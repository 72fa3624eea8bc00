#pragma once

#include <QString>
#include <map>
#include <memory>

namespace vantor {

namespace platform {
class ProfileFile;
}

// While one is holding, what the window storages save is kept back and
// written by write(): one replacement of each settings file, so one wait for
// another writer's lock and one message naming the file when it cannot be
// written, however many windows saved. The program holds from its main
// window's close to the end.
class HeldPlacementSaves final {
public:
  HeldPlacementSaves();
  // Writes what is still held.
  ~HeldPlacementSaves();
  HeldPlacementSaves(const HeldPlacementSaves &) = delete;
  HeldPlacementSaves &operator=(const HeldPlacementSaves &) = delete;

  // From now on saves are held here. Another one already holding keeps them.
  void hold();
  // Writes what was held, reports each file that could not be written, and
  // lets saves go to the file at once again.
  void write();
  bool holding() const { return current() == this; }

  // The one holding saves now, if any.
  static HeldPlacementSaves *current();
  // Takes over the changes a storage's save made in `saved`.
  void take(platform::ProfileFile &saved);

private:
  std::map<QString, std::unique_ptr<platform::ProfileFile>> files_;
};

} // namespace vantor
