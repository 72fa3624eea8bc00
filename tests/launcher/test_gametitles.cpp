#include "archive/zipextractor.h"
#include "archive/zipwriter.h"
#include "controls/colors.h"
#include "controls/edit.h"
#include "controls/rotarydial.h"
#include "controls/shadowlabel.h"
#include "gamelist/gamelistreader.h"
#include "gamelist/setcheck.h"
#include "gamelist/setchecker.h"
#include "launcher/catalogue.h"
#include "launcher/cataloguenavigator.h"
#include "launcher/gamelistloader.h"
#include "launcher/gametitles.h"
#include "launcher/mainwindow.h"
#include "launcher/titleindexer.h"
#include "linkedwindows.h"
#include "platform/usermessage.h"
#include "platform/userquestion.h"
#include "settings/setupwindow.h"
#include "support/wait.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QSignalSpy>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace vantor;

void PrintTo(const QString &text, std::ostream *os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

const QByteArray kList = R"(<?xml version="1.0"?>
<datafile>
 <game name="mslug"><description>Metal Slug - Super Vehicle-001</description>
  <year>1996</year><manufacturer>Nazca</manufacturer></game>
 <game name="noyear"><description>Only a Maker</description><manufacturer>SNK</manufacturer></game>
 <game name="untitled"><year>1990</year></game>
</datafile>)";

std::shared_ptr<const gamelist::GameList> list() {
  QBuffer buffer;
  buffer.setData(kList);
  buffer.open(QIODevice::ReadOnly);
  return gamelist::GameListReader::read(buffer, QStringLiteral("t.dat"));
}

struct TitleCase {
  const char *archive;
  const char *caption;
  const char *hint;
};
class Titles : public ::testing::TestWithParam<TitleCase> {};
TEST_P(Titles, ComeFromTheListOrTheRomName) {
  const CatalogueEntry entry{GetParam().archive, QStringLiteral("/roms")};
  const auto games = list();
  EXPECT_EQ(captionOf(games.get(), entry), QString::fromUtf8(GetParam().caption));
  EXPECT_EQ(hintOf(games.get(), entry), QString::fromUtf8(GetParam().hint));
  EXPECT_EQ(captionOf(nullptr, entry), entry.romName()) << "without a list, the ROM name";
  EXPECT_EQ(hintOf(nullptr, entry), QString());
}
INSTANTIATE_TEST_SUITE_P(
    Table, Titles,
    ::testing::Values(TitleCase{"mslug.zip", "Metal Slug - Super Vehicle-001",
                                "Metal Slug - Super Vehicle-001 \u2014 Nazca, 1996 (mslug)"},
                      TitleCase{"MSLUG.zip", "Metal Slug - Super Vehicle-001",
                                "Metal Slug - Super Vehicle-001 \u2014 Nazca, 1996 (MSLUG)"},
                      TitleCase{"noyear.zip", "Only a Maker", "Only a Maker \u2014 SNK (noyear)"},
                      TitleCase{"untitled.zip", "untitled", "untitled \u2014 1990 (untitled)"},
                      TitleCase{"stranger.zip", "stranger", ""}));

TEST(FitText, ShrinksToTheFloorThenElides) {
  QFont font;
  font.setPointSize(13);
  const QString shortText = QStringLiteral("Pac");
  const FittedText same = fitText(shortText, font, 400, 8);
  EXPECT_EQ(same.text, shortText);
  EXPECT_EQ(same.font.pointSize(), 13);

  const QString longer = QStringLiteral("The King of Fighters '98 - The Slugfest");
  const int width = QFontMetrics(font).horizontalAdvance(longer) * 3 / 4;
  const FittedText shrunk = fitText(longer, font, width, 8);
  EXPECT_EQ(shrunk.text, longer);
  EXPECT_LT(shrunk.font.pointSize(), 13);
  EXPECT_GE(shrunk.font.pointSize(), 8);
  EXPECT_LE(QFontMetrics(shrunk.font).horizontalAdvance(shrunk.text), width);

  const FittedText elided = fitText(longer, font, 40, 8);
  EXPECT_EQ(elided.font.pointSize(), 8);
  EXPECT_NE(elided.text, longer);
  EXPECT_LE(QFontMetrics(elided.font).horizontalAdvance(elided.text), 40);
}

TEST(GameListLoader, TakesTheFirstGameListOfTheRomFolder) {
  test::TempDir dir;
  dir.write("roms/a.dat", "clrmamepro ( name x )");
  dir.write("roms/b.xml", "<config><x/></config>");
  dir.write("roms/c.xml", kList);
  dir.write("roms/d.dat", kList);
  EXPECT_EQ(GameListLoader::listFileFor({}, dir.file("roms")), dir.file("roms/c.xml"));
  EXPECT_EQ(GameListLoader::listFileFor(dir.file("mine.dat"), dir.file("roms")),
            dir.file("mine.dat"));
  EXPECT_EQ(GameListLoader::listFileFor({}, dir.file("nowhere")), QString());
  EXPECT_EQ(GameListLoader::listFileFor({}, {}), QString());
}

struct TypedCase {
  const char *typed;
  int withTitles;
  int withoutTitles;
};
class TypeAheadOverTitles : public ::testing::TestWithParam<TypedCase> {};
TEST_P(TypeAheadOverTitles, FindsTheRomNameOrAnyWordOfTheTitle) {
  Catalogue catalogue;
  catalogue.rebuild({"roms", "/roms", {"kof98.zip", "mslug.zip", "mslugx.zip", "zed.zip"}}, {});
  CatalogueNavigator navigator;
  navigator.setCatalogue(catalogue);
  EXPECT_EQ(navigator.typed(QString::fromUtf8(GetParam().typed), 10000), GetParam().withoutTitles);
  navigator.setTitles(
      {"The King of Fighters '98", "Metal Slug - Super Vehicle-001", "Metal Slug X", ""});
  EXPECT_EQ(navigator.typed(QString::fromUtf8(GetParam().typed), 20000), GetParam().withTitles);
  navigator.setCatalogue(catalogue);
  EXPECT_EQ(navigator.typed(QString::fromUtf8(GetParam().typed), 30000), GetParam().withoutTitles)
      << "a new catalogue forgets the titles";
}
INSTANTIATE_TEST_SUITE_P(Table, TypeAheadOverTitles,
                         ::testing::Values(TypedCase{"metal", 1, -1}, TypedCase{"slug", 1, -1},
                                           TypedCase{"SUPER", 1, -1}, TypedCase{"x", 2, -1},
                                           TypedCase{"98", 0, -1}, TypedCase{"ms", 1, 1},
                                           TypedCase{"z", 3, 3}, TypedCase{"lug", -1, -1},
                                           TypedCase{"king", 0, -1}));

TEST(TypeAheadOverTitles, KeysCloseTogetherExtendTheWord) {
  Catalogue catalogue;
  catalogue.rebuild({"roms", "/roms", {"kof98.zip", "mslug.zip", "mslugx.zip"}}, {});
  CatalogueNavigator navigator;
  navigator.setCatalogue(catalogue);
  navigator.setTitles({"The King of Fighters '98", "Metal Slug", "Metal Slug X"});
  EXPECT_EQ(navigator.typed("s", 1000), 1);
  EXPECT_EQ(navigator.typed("l", 1100), 1);
  EXPECT_EQ(navigator.typed("u", 1200), 1);
  EXPECT_EQ(navigator.typed("x", 1300), -1);
  EXPECT_EQ(navigator.typed("x", 5000), 2) << "after a pause a new word starts";
}

struct WordsCase {
  const char *name;
  const char *title;
  QStringList words;
};
class TitleWords : public ::testing::TestWithParam<WordsCase> {};
TEST_P(TitleWords, AreFoldedAndSplitAtAllButLettersDigitsAndUnderscores) {
  EXPECT_EQ(CatalogueNavigator::titleWords(QString::fromUtf8(GetParam().title)), GetParam().words);
}
INSTANTIATE_TEST_SUITE_P(
    Table, TitleWords,
    ::testing::Values(WordsCase{"dashes",
                                "Metal Slug - Super Vehicle-001",
                                {"metal", "slug", "super", "vehicle", "001"}},
                      WordsCase{"apostrophe",
                                "The King of Fighters '98",
                                {"the", "king", "of", "fighters", "98"}},
                      WordsCase{"underscore", "snake_case  (set 2)", {"snake_case", "set", "2"}},
                      WordsCase{"accents",
                                "\xc3\x84RGER \xc3\xbc"
                                "ber",
                                {"\xc3\xa4rger", "\xc3\xbc"
                                                 "ber"}},
                      WordsCase{"outsideTheBasicPlane",
                                "\xf0\x9d\x94\xb8"
                                "bc!x",
                                {"\xf0\x9d\x94\xb8"
                                 "bc",
                                 "x"}},
                      WordsCase{"nothing", " - ", {}}, WordsCase{"empty", "", {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(TitleIndexer, GivesTheWordsOfTheLastCatalogueAskedFor) {
  Catalogue first, second;
  first.rebuild({"roms", "/roms", {"kof98.zip", "mslug.zip"}}, {});
  second.rebuild({"roms", "/roms", {"mslug.zip", "noyear.zip", "zed.zip"}}, {});
  TitleIndexer indexer;
  std::vector<std::vector<QStringList>> given;
  indexer.OnIndexed = [&](QObject *sender, std::vector<QStringList> words) {
    EXPECT_EQ(sender, &indexer);
    given.push_back(std::move(words));
  };
  indexer.start(list(), first.entries());
  indexer.start(list(), second.entries());
  ASSERT_TRUE(test::turnEventLoopUntil([&] { return !given.empty(); }, 10000))
      << "no words within 10 s";
  // The first catalogue's words, had they come, would have come first.
  EXPECT_EQ(given.front(),
            (std::vector<QStringList>{
                {"metal", "slug", "super", "vehicle", "001"}, {"only", "a", "maker"}, {"zed"}}));
}

struct MessageCase {
  const char *name;
  int missing, wrong;
  QStringList archives;
  const char *expected;
};
class IncompleteMessage : public ::testing::TestWithParam<MessageCase> {};
TEST_P(IncompleteMessage, NamesAtMostTenFiles) {
  gamelist::SetCheck check;
  for (int i = 0; i < GetParam().missing; ++i)
    check.missing << QStringLiteral("m%1").arg(i);
  for (int i = 0; i < GetParam().wrong; ++i)
    check.wrong << QStringLiteral("w%1").arg(i);
  check.missingArchives = GetParam().archives;
  EXPECT_EQ(incompleteSetMessage(QStringLiteral("mslug"), check),
            QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Table, IncompleteMessage,
    ::testing::Values(
        MessageCase{"one",
                    1,
                    0,
                    {},
                    "Some files of mslug are missing or wrong:\nm0 (missing)\n\nPlay it anyway?"},
        MessageCase{"both",
                    1,
                    1,
                    {"parent.zip", "bios.zip"},
                    "Some files of mslug are missing or wrong:\nm0 (missing)\nw0 (wrong)\n"
                    "Not found: parent.zip, bios.zip\n\nPlay it anyway?"},
        MessageCase{"tenNamed",
                    4,
                    6,
                    {},
                    "Some files of mslug are missing or wrong:\nm0 (missing)\nm1 (missing)\n"
                    "m2 (missing)\nm3 (missing)\nw0 (wrong)\nw1 (wrong)\nw2 (wrong)\nw3 "
                    "(wrong)\nw4 (wrong)\nw5 (wrong)\n\nPlay it anyway?"},
        MessageCase{"moreThanTen",
                    11,
                    2,
                    {},
                    "Some files of mslug are missing or wrong:\nm0 (missing)\nm1 (missing)\n"
                    "m2 (missing)\nm3 (missing)\nm4 (missing)\nm5 (missing)\nm6 (missing)\n"
                    "m7 (missing)\nm8 (missing)\nm9 (missing)\nand 3 more\n\nPlay it anyway?"}),
    [](const auto &info) { return std::string(info.param.name); });

class TitledWindow : public test::LinkedWindows {
protected:
  // The archive-listing cache goes to a test folder, not the user's.
  TitledWindow() { QStandardPaths::setTestModeEnabled(true); }
  ~TitledWindow() override { QStandardPaths::setTestModeEnabled(false); }

  // Points the ROM folder at `roms` and waits for its game list.
  void openRoms(const QString &roms) {
    auto *loader = main.findChild<GameListLoader *>();
    ASSERT_NE(loader, nullptr);
    QSignalSpy loaded(loader, &GameListLoader::loaded);
    setup.romloc->setTextValue(roms);
    ASSERT_TRUE(loaded.count() > 0 || loaded.wait(10000)) << "no game list within 10 s";
  }
  // A stand-in emulator running `script` in its folder, which it returns.
  QString installEmulator(const QByteArray &script) {
    const QString neo = dir.mkdir("neo");
    dir.mkdir("neo/shots");
    dir.write("neo/neorage", "#!/bin/sh\n" + script + "\n");
    QFile(neo + "/neorage").setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setup.neoloc->setTextValue(neo + "/neorage");
    main.ZipExtractor1->setDLLDirectory(qEnvironmentVariable("VANTOR_BIN_DIR"));
    return neo;
  }
  static QByteArray romElement(const char *name, const QByteArray &data, const char *merge = "") {
    return QByteArray("<rom name=\"") + name + "\" size=\"" + QByteArray::number(data.size()) +
           "\" crc=\"" + QByteArray::number(test::crc32Of(data), 16).rightJustified(8, '0') + "\"" +
           (*merge ? QByteArray(" merge=\"") + merge + "\"" : QByteArray()) + "/>";
  }
  void writeZip(const QString &name,
                const std::vector<std::pair<const char *, QByteArray>> &files) {
    test::ZipWriter zip;
    for (const auto &[entry, data] : files)
      zip.add(entry, data);
    dir.write(name, zip.build());
  }

  QStringList shown;
  ScopedMessagePresenter presenter{[this](const UserMessage &m) { shown << m.text; }};
};

TEST_F(TitledWindow, ShowsTheTitleAndKeepsTheRomNameForEverythingElse) {
  dir.write("roms/mslug.zip");
  dir.write("roms/games.dat", kList);
  openRoms(dir.file("roms"));
  EXPECT_EQ(main.romname->caption(), QStringLiteral("Metal Slug - Super Vehicle-001"));
  EXPECT_EQ(main.romname->toolTip(),
            QStringLiteral("Metal Slug - Super Vehicle-001 \u2014 Nazca, 1996 (mslug)"));
  EXPECT_EQ(main.romName(), QStringLiteral("mslug"));
  EXPECT_TRUE(main.snapshotBasePath().endsWith(QStringLiteral("mslug")));
  EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
}

TEST_F(TitledWindow, WithoutAListShowsTheRomNameAsBefore) {
  dir.write("roms/mslug.zip");
  const QFont own = main.romname->font();
  const QString hint = main.romname->toolTip();
  openRoms(dir.file("roms"));
  EXPECT_EQ(main.romname->caption(), QStringLiteral("mslug"));
  EXPECT_EQ(main.romname->font(), own);
  EXPECT_EQ(main.romname->toolTip(), hint);
}

TEST_F(TitledWindow, ABrokenListIsReportedAndTheRomNameShown) {
  dir.write("roms/mslug.zip");
  dir.write("roms/games.dat", QByteArray(kList).left(120));
  openRoms(dir.file("roms"));
  EXPECT_EQ(main.romname->caption(), QStringLiteral("mslug"));
  ASSERT_EQ(shown.size(), 1);
  EXPECT_TRUE(shown[0].contains(
      QStringLiteral("games.dat is not a game list: the file is cut off at line")))
      << shown[0].toStdString();
}

TEST_F(TitledWindow, AnIncompleteSetIsMarkedAndPlaysOnlyWhenTheUserSaysSo) {
  const QByteArray rom = "program";
  dir.write("roms/games.dat",
            "<datafile><game name=\"mslug\"><description>Metal Slug</description>"
            "<rom name=\"p1.bin\" size=\"7\" crc=\"" +
                QByteArray::number(test::crc32Of(rom), 16).rightJustified(8, '0') +
                "\"/></game></datafile>");
  test::ZipWriter zip;
  zip.add("other.bin", rom);
  dir.write("roms/mslug.zip", zip.build());
  const QString neo = installEmulator("touch ran.txt");

  auto *checker = main.findChild<gamelist::SetChecker *>();
  ASSERT_NE(checker, nullptr);
  QSignalSpy checked(checker, &gamelist::SetChecker::finished);
  openRoms(dir.file("roms"));
  ASSERT_TRUE(checked.count() > 0 || checked.wait(10000)) << "no set check within 10 s";
  EXPECT_EQ(main.romname->caption(), QStringLiteral("Metal Slug"));
  EXPECT_EQ(main.romname->fontColor(), clRed);

  QStringList asked;
  bool answer = false;
  ScopedQuestionPresenter question([&](const QString &text) {
    asked << text;
    return answer;
  });
  main.playClick(nullptr);
  ASSERT_EQ(asked.size(), 1);
  EXPECT_TRUE(asked[0].contains(QStringLiteral("p1.bin (missing)")));
  EXPECT_FALSE(QFile::exists(neo + "/ran.txt")) << "declined: nothing runs";
  answer = true;
  main.playClick(nullptr);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }));
  EXPECT_EQ(asked.size(), 2);
  EXPECT_TRUE(QFile::exists(neo + "/ran.txt")) << "played anyway";
  EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
}

// A clone kept as a split set plays with the files it takes from its
// parent's and its BIOS's archives beside its own, under its names for them,
// even where its name for one file is the parent's name for another.
TEST_F(TitledWindow, ASplitClonePlaysWithItsParentsAndBiosFiles) {
  const QByteArray bios = "bios", parent = "parent", clone = "clone";
  dir.write("roms/games.dat",
            "<datafile><game name=\"neogeo\" isbios=\"yes\">" + romElement("sp-s2.sp1", bios) +
                "</game><game name=\"kof\" romof=\"neogeo\">" + romElement("k1.p1", parent) +
                romElement("sp-s2.sp1", bios, "sp-s2.sp1") + romElement("x.p2", "two") +
                romElement("y.p2", "three") +
                "</game><game name=\"kofc\" cloneof=\"kof\" romof=\"kof\">" +
                romElement("kc.p1", clone) + romElement("k1.p1", parent, "k1.p1") +
                romElement("y.p2", "two", "x.p2") + romElement("z.p2", "three", "y.p2") +
                romElement("bios.sp1", bios, "sp-s2.sp1") + "</game></datafile>");
  writeZip("roms/neogeo.zip", {{"sp-s2.sp1", bios}});
  writeZip(
      "roms/kof.zip",
      {{"k1.p1", parent}, {"x.p2", "two"}, {"y.p2", "three"}, {"unlisted.bin", "not the clone's"}});
  writeZip("roms/kofc.zip", {{"kc.p1", clone}});
  const QString neo =
      installEmulator(R"sh(for f in "$1"/*; do echo "${f##*/}=$(cat "$f")"; done > seen.txt
ls -A "$1" > names.txt)sh");
  openRoms(dir.file("roms"));
  main.RotaryDial1->setPosition(1);
  ASSERT_EQ(main.romName(), QStringLiteral("kofc"));

  main.playClick(nullptr);
  ASSERT_TRUE(test::turnEventLoopUntil([this] { return !main.playing(); }));
  EXPECT_EQ(test::contents(neo + "/seen.txt"),
            "bios.sp1=bios\nk1.p1=parent\nkc.p1=clone\ny.p2=two\nz.p2=three\n");
  EXPECT_EQ(test::contents(neo + "/names.txt"), "bios.sp1\nk1.p1\nkc.p1\ny.p2\nz.p2\n");
  EXPECT_TRUE(shown.isEmpty()) << shown.join('\n').toStdString();
  EXPECT_FALSE(QFileInfo::exists(neo + "/~del~~"));
}

} // namespace
