// The game list reader: any bytes either give a list or one "is not a game
// list" error. A list it gives never holds a name that could leave a folder,
// and every set is found again under its own name.
#include "gamelist/gamelistreader.h"
#include "platform/errors.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

using namespace vantor::gamelist;

namespace {

void check(bool ok) {
  if (!ok)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  QBuffer buffer;
  buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
  buffer.open(QIODevice::ReadOnly);
  std::shared_ptr<const GameList> list;
  try {
    list = GameListReader::read(buffer, QStringLiteral("f.dat"));
  } catch (const vantor::Error &e) {
    check(e.message().startsWith(QStringLiteral("f.dat is not a game list: ")));
    return 0;
  }
  for (int i = 0; i < list->setCount(); ++i) {
    const GameSet &set = list->set(i);
    const QString name = list->text(set.name);
    check(safeName(name));
    check(list->find(name) == i);
    for (const Rom &rom : list->roms(set)) {
      check(safeName(list->text(rom.name)));
      check(rom.merge == 0 || safeName(list->text(rom.merge)));
    }
  }
  return 0;
}
