// Reads a compositor's screenshot and says whether a shaped window shows its
// mask colour: no block of pure yellow may be left around the skin, and the
// skin itself must be on show.
//   app_shot_corners SCREENSHOT.png SKIN
// Exit codes: 0 the outline is clean, 1 mask-coloured blocks show, 2 the skin
// is not (yet) on show, 3 bad arguments or an unreadable file.
#include "skins/skins.h"

#include <QImage>
#include <QSet>
#include <cstdio>
#include <vector>

namespace {

constexpr QRgb kMask = 0xFFFFFF00;
constexpr int kBlock = 8; // a text stroke in yellow is never this thick

// Blocks of kBlock x kBlock pure mask-coloured pixels, counted by their
// bottom-right corner.
int maskBlocks(const QImage &shot) {
  std::vector<int> runAbove(size_t(shot.width()), 0); // rows of long runs ending here
  int blocks = 0;
  for (int y = 0; y < shot.height(); ++y) {
    const auto *line = reinterpret_cast<const QRgb *>(shot.constScanLine(y));
    int run = 0;
    for (int x = 0; x < shot.width(); ++x) {
      run = line[x] == kMask ? run + 1 : 0;
      int &rows = runAbove[size_t(x)];
      rows = run >= kBlock ? rows + 1 : 0;
      blocks += rows >= kBlock;
    }
  }
  return blocks;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SCREENSHOT.png SKIN\n", argv[0]);
    return 3;
  }
  vantor::skins::init();
  const QImage shot = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
  const QImage skin =
      vantor::skins::image(QString::fromLatin1(argv[2])).convertToFormat(QImage::Format_RGB32);
  if (shot.isNull() || skin.isNull()) {
    std::fprintf(stderr, "cannot read %s or the skin %s\n", argv[1], argv[2]);
    return 3;
  }
  // The skin's own colours, without those a desktop may well have too.
  QSet<QRgb> colours;
  int inside = 0;
  for (int y = 0; y < skin.height(); ++y)
    for (int x = 0; x < skin.width(); ++x) {
      const QRgb c = skin.pixel(x, y);
      if (c == kMask)
        continue;
      ++inside;
      if (c != 0xFF000000 && c != 0xFFFFFFFF)
        colours.insert(c);
    }
  int shown = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      shown += colours.contains(shot.pixel(x, y));
  const int blocks = maskBlocks(shot);
  std::printf("%d skin-coloured pixels (the skin has %d inside its outline), %d %dx%d "
              "mask-coloured blocks\n",
              shown, inside, blocks, kBlock, kBlock);
  if (2 * shown < inside)
    return 2;
  return blocks > 0 ? 1 : 0;
}
