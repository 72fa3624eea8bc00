// vantor-demo: writes a demo library for Vantor, and stands in for the
// emulator when the demo plays a game.
//
//   vantor-demo make <folder>      games, a game list, snapshots in four formats
//   vantor-demo emulate <args...>  shows what it was given, drops a screenshot
//   vantor-demo grab <png> <x> <y> <w> <h>  saves that part of the screen
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTextStream>

#include <cstdio>
#include <zlib.h>

namespace {

QImage titleCard(const QString &title, QColor colour, QSize size = {160, 120}) {
  QImage image(size, QImage::Format_RGB888);
  QPainter p(&image);
  QLinearGradient g(0, 0, 0, size.height());
  g.setColorAt(0, colour.lighter(150));
  g.setColorAt(1, colour.darker(200));
  p.fillRect(image.rect(), g);
  p.setPen(Qt::white);
  QFont f = p.font();
  f.setPixelSize(size.height() / 6);
  f.setBold(true);
  p.setFont(f);
  p.drawText(image.rect(), Qt::AlignCenter | Qt::TextWordWrap, title);
  return image;
}

void put16(QByteArray &b, int v) {
  b.append(char(v & 0xFF));
  b.append(char((v >> 8) & 0xFF));
}

// 8-bit PCX with run-length encoding and a trailing 256-colour palette.
QByteArray encodePcx(const QImage &source) {
  const QImage img = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  const int w = img.width(), h = img.height(), pitch = w + (w & 1);
  QByteArray out;
  out.append(char(10)).append(char(5)).append(char(1)).append(char(8));
  put16(out, 0), put16(out, 0), put16(out, w - 1), put16(out, h - 1);
  put16(out, 72), put16(out, 72);
  out.append(QByteArray(48, 0));
  out.append(char(0)).append(char(1));
  put16(out, pitch), put16(out, 1);
  out.append(QByteArray(58, 0));
  for (int y = 0; y < h; ++y) {
    const uchar *row = img.constScanLine(y);
    for (int x = 0; x < pitch;) {
      const uchar v = x < w ? row[x] : 0;
      int run = 1;
      while (x + run < pitch && run < 63 && (x + run < w ? row[x + run] : 0) == v)
        ++run;
      if (run > 1 || v >= 0xC0)
        out.append(char(0xC0 | run));
      out.append(char(v));
      x += run;
    }
  }
  out.append(char(12));
  QList<QRgb> table = img.colorTable();
  for (int i = 0; i < 256; ++i) {
    const QRgb c = i < table.size() ? table[i] : 0;
    out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
  }
  return out;
}

// GIF89a with LZW codes written at a fixed 9 bits, clearing before the table
// would grow past them: larger than it need be, but valid and simple.
QByteArray encodeGif(const QImage &source) {
  QImage img = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
  QList<QRgb> table = img.colorTable();
  table.resize(256);
  QByteArray out("GIF89a");
  put16(out, img.width()), put16(out, img.height());
  out.append(char(0xF7)).append(char(0)).append(char(0));
  for (QRgb c : table)
    out.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
  out.append(',');
  put16(out, 0), put16(out, 0), put16(out, img.width()), put16(out, img.height());
  out.append(char(0)).append(char(8));
  QByteArray codes;
  quint32 acc = 0;
  int bits = 0, sinceClear = 0;
  auto putCode = [&](int code) {
    acc |= quint32(code) << bits;
    bits += 9;
    while (bits >= 8) {
      codes.append(char(acc & 0xFF));
      acc >>= 8;
      bits -= 8;
    }
  };
  putCode(256);
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      putCode(img.constScanLine(y)[x]);
      if (++sinceClear == 254) {
        putCode(256);
        sinceClear = 0;
      }
    }
  putCode(257);
  if (bits)
    codes.append(char(acc & 0xFF));
  for (qsizetype i = 0; i < codes.size(); i += 255) {
    const QByteArray block = codes.mid(i, 255);
    out.append(char(block.size())).append(block);
  }
  out.append(char(0)).append(';');
  return out;
}

QByteArray romElement(const QString &name, const QByteArray &data, const QString &merge = {}) {
  QString line =
      QStringLiteral("    <rom name=\"%1\" size=\"%2\" crc=\"%3\"")
          .arg(name)
          .arg(data.size())
          .arg(crc32(0, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())), 8,
               16, QChar('0'));
  if (!merge.isEmpty())
    line += QStringLiteral(" merge=\"%1\"").arg(merge);
  return (line + QStringLiteral("/>\n")).toUtf8();
}

bool writeFile(const QString &path, const QByteArray &data) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

int makeLibrary(const QString &root) {
  const QDir dir(root);
  for (const char *sub : {"roms", "cdroms", "snaps", "games", "neorage/shots", "config"})
    dir.mkpath(sub);
  struct Game {
    const char *rom, *title, *folder, *snap;
    QColor colour;
    const char *year = "1998";
  } games[] = {
      {"bladerun", "Blade Runner X", "roms", ".jpg", QColor(200, 40, 40), "1994"},
      {"cybrpunk", "Cyber Punch", "roms", ".gif", QColor(40, 160, 200), "1996"},
      {"dragnfly", "Dragonfly", "roms", ".pcx", QColor(40, 180, 60), "1995"},
      {"galaxian2", "Galactic Two", "roms", ".bmp", QColor(120, 60, 200), "1997"},
      {"kartrace", "Kart Race 98", "roms", nullptr, {}},
      {"moonbase", "Moon Base", "roms", ".jpg", QColor(90, 90, 120), "1993"},
      {"ninjacat", "Ninja Cat", "roms", nullptr, {}, "1999"},
      {"pinball", "Pinball Wizard", "roms", ".gif", QColor(220, 160, 30), "1992"},
      {"cdquest", "CD Quest", "cdroms", ".pcx", QColor(30, 120, 120), "1996"},
      {"cdrally", "CD Rally", "cdroms", nullptr, {}, "1997"},
      {"cdsamba", "CD Samba", "cdroms", ".bmp", QColor(200, 60, 140), "1999"},
      {"cdzero", "CD Zero", "cdroms", ".jpg", QColor(60, 60, 60), "1995"},
  };
  QTextStream out(stdout);
  // The game list: titles for all, a clone kept split (its parent's program
  // comes from kartrace.zip when it plays), and a set with a file missing.
  QByteArray list = "<?xml version=\"1.0\"?>\n<datafile>\n";
  for (const Game &g : games) {
    const QByteArray program(4096, char(g.rom[0]));
    // The game's files; tools/demo.sh zips each folder into its archive.
    const QString gameDir = dir.filePath(QStringLiteral("games/%1/%2").arg(g.folder, g.rom));
    QDir().mkpath(gameDir);
    writeFile(gameDir + "/" + g.rom + "-p1.rom", program);
    writeFile(gameDir + "/readme.txt", QByteArray(g.title) + " demo ROM set\n");
    list += QStringLiteral("  <game name=\"%1\">\n    <description>%2</description>\n"
                           "    <year>%3</year>\n    <manufacturer>Demo Soft</manufacturer>\n")
                .arg(g.rom, g.title, g.year)
                .toUtf8();
    list += romElement(QStringLiteral("%1-p1.rom").arg(g.rom), program);
    if (QByteArray(g.rom) == "ninjacat")
      list += romElement(QStringLiteral("ninjacat-s1.rom"), "never zipped");
    list += "  </game>\n";
    if (!g.snap)
      continue;
    const QImage card = titleCard(g.title, g.colour);
    const QString snap = dir.filePath(QStringLiteral("snaps/%1%2").arg(g.rom, g.snap));
    const QString ext = g.snap;
    const bool ok = ext == ".pcx"   ? writeFile(snap, encodePcx(card))
                    : ext == ".gif" ? writeFile(snap, encodeGif(card))
                                    : card.save(snap, ext == ".jpg" ? "JPG" : "BMP");
    if (!ok) {
      out << "cannot write " << snap << Qt::endl;
      return 1;
    }
  }
  const QByteArray turbo(4096, 'T');
  const QString cloneDir = dir.filePath(QStringLiteral("games/roms/kartrace2"));
  QDir().mkpath(cloneDir);
  writeFile(cloneDir + "/kartrace2-p2.rom", turbo);
  list += "  <game name=\"kartrace2\" cloneof=\"kartrace\" romof=\"kartrace\">\n"
          "    <description>Kart Race 98 Turbo</description>\n    <year>1998</year>\n"
          "    <manufacturer>Demo Soft</manufacturer>\n" +
          romElement(QStringLiteral("kartrace-p1.rom"), QByteArray(4096, 'k'),
                     QStringLiteral("kartrace-p1.rom")) +
          romElement(QStringLiteral("kartrace2-p2.rom"), turbo) + "  </game>\n</datafile>\n";
  if (!writeFile(dir.filePath(QStringLiteral("roms/games.dat")), list)) {
    out << "cannot write the game list" << Qt::endl;
    return 1;
  }
  return 0;
}

// What the emulator does in the demo: report, leave a screenshot, end.
int emulate(const QStringList &args) {
  QString report;
  QTextStream text(&report);
  text << "Command line:\n";
  for (const QString &a : args)
    text << "  [" << a << "]\n";
  text << "\nWorking folder: " << QDir::currentPath() << "\n";
  if (!args.isEmpty()) {
    text << "\nGame folder " << args.first() << ":\n";
    QDirIterator it(args.first(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
      text << "  " << QDir(args.first()).relativeFilePath(it.next()) << "\n";
  }
  const QString shots = QDir::current().filePath("shots");
  QDir().mkpath(shots);
  int n = 1;
  while (QFile::exists(QStringLiteral("%1/shot%2.bmp").arg(shots).arg(n, 4, 10, QChar('0'))))
    ++n;
  const QString shot = QStringLiteral("%1/shot%2.bmp").arg(shots).arg(n, 4, 10, QChar('0'));
  titleCard(QStringLiteral("Screenshot %1\n%2").arg(n).arg(QTime::currentTime().toString()),
            QColor(20, 20, 80), {320, 224})
      .save(shot, "BMP");
  text << "\nWrote " << shot << "\n";
  QMessageBox::information(nullptr, QStringLiteral("Stand-in emulator"), report);
  return 0;
}

// What the screen shows of a rectangle, as a PNG: a shaped window's real look.
int grab(const QStringList &args) {
  bool ok[4] = {};
  const int x = args[1].toInt(&ok[0]), y = args[2].toInt(&ok[1]);
  const int w = args[3].toInt(&ok[2]), h = args[4].toInt(&ok[3]);
  QScreen *screen = QGuiApplication::primaryScreen();
  if (!screen || !(ok[0] && ok[1] && ok[2] && ok[3])) {
    std::fputs("vantor-demo grab: no screen, or a bad rectangle\n", stderr);
    return 2;
  }
  if (!screen->grabWindow(0, x, y, w, h).save(args[0], "PNG")) {
    std::fprintf(stderr, "vantor-demo grab: cannot write %s\n", qPrintable(args[0]));
    return 1;
  }
  return 0;
}

} // namespace

int main(int argc, char **argv) {
  QApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.size() >= 2 && args[0] == "make")
    return makeLibrary(args[1]);
  if (!args.isEmpty() && args[0] == "emulate")
    return emulate(args.mid(1));
  if (args.size() == 6 && args[0] == "grab")
    return grab(args.mid(1));
  std::fputs("usage: vantor-demo make <folder> | vantor-demo emulate <args...> |\n"
             "       vantor-demo grab <file.png> <x> <y> <width> <height>\n",
             stderr);
  return 2;
}
