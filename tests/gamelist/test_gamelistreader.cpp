#include "gamelist/gamelistreader.h"
#include "platform/errors.h"
#include "support/tempdir.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace vantor;
using namespace vantor::gamelist;

void PrintTo(const QString &text, std::ostream *os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

std::shared_ptr<const GameList> parse(const QByteArray &xml) {
  QBuffer buffer;
  buffer.setData(xml);
  buffer.open(QIODevice::ReadOnly);
  return GameListReader::read(buffer, QStringLiteral("list.dat"));
}

QString failureOf(const QByteArray &xml) {
  try {
    parse(xml);
  } catch (const Error &e) {
    return e.message();
  }
  return QStringLiteral("(read without complaint)");
}

QStringList romNames(const GameList &list, const GameSet &set) {
  QStringList names;
  for (const Rom &rom : list.roms(set))
    names << list.text(rom.name);
  return names;
}

const QByteArray kRealShapes = R"(<?xml version="1.0"?>
<!DOCTYPE datafile PUBLIC "-//Logiqx//DTD ROM Management Datafile//EN" "http://example.org/datafile.dtd">
<datafile build="x" debug="no">
  <header>
    <name>Neo</name><description>Neo &amp; friends</description>
    <clrmamepro forcenodump="required"/>
    <romcenter plugin="arcade.dll"/>
  </header>
  <game name="neogeo" isbios="yes" sourcefile="neogeo.c">
    <description>Neo-Geo</description><year>1990</year><manufacturer>SNK</manufacturer>
    <rom name="sp-s2.sp1" size="131072" crc="9036D879" sha1="4f5e"/>
    <sample name="coin"/>
  </game>
  <game name="mslug" romof="neogeo">
    <description>Metal Slug - Super Vehicle-001</description>
    <year>1996</year>
    <manufacturer>Nazca</manufacturer>
    <newthing flavour="odd"><inner/></newthing>
    <rom name="201-p1.p1" size="2097152" crc="08d8daa5" unknown="1"/>
    <rom name="sp-s2.sp1" merge="sp-s2.sp1" size="131072" crc="9036d879"/>
    <rom name="gone.bin" size="16" status="nodump"/>
    <rom name="badcrc.bin" size="16" crc="12345"/>
    <disk name="mslug" sha1="abcd"/>
  </game>
  <game name="mslugx" cloneof="mslug" romof="mslug"><description>Metal Slug X</description></game>
</datafile>
)";

TEST(GameListReader, ReadsWhatRealFilesHold) {
  const auto list = parse(kRealShapes);
  ASSERT_EQ(list->setCount(), 3);
  const GameSet &bios = list->set(*list->find(u"neogeo"));
  EXPECT_TRUE(bios.bios);
  const GameSet &game = list->set(*list->find(u"MSlug"));
  EXPECT_FALSE(game.bios);
  EXPECT_EQ(list->text(game.title), QStringLiteral("Metal Slug - Super Vehicle-001"));
  EXPECT_EQ(list->text(game.maker), QStringLiteral("Nazca"));
  EXPECT_EQ(list->text(game.year), QStringLiteral("1996"));
  EXPECT_EQ(list->text(game.romOf), QStringLiteral("neogeo"));
  EXPECT_EQ(romNames(*list, game),
            QStringList({"201-p1.p1", "sp-s2.sp1", "gone.bin", "badcrc.bin"}));
  const auto roms = list->roms(game);
  EXPECT_EQ(roms[0].crc, 0x08d8daa5u);
  EXPECT_EQ(roms[0].size, 2097152u);
  EXPECT_EQ(list->text(roms[1].merge), QStringLiteral("sp-s2.sp1"));
  EXPECT_EQ(roms[1].crc, list->roms(bios)[0].crc) << "upper and lower case CRCs are one value";
  EXPECT_TRUE(roms[2].has(Rom::NoDump));
  EXPECT_FALSE(roms[3].has(Rom::HasCrc)) << "a CRC of five digits is passed over";
  EXPECT_TRUE(roms[3].has(Rom::HasSize));
  const GameSet &clone = list->set(*list->find(u"mslugx"));
  EXPECT_EQ(list->text(clone.cloneOf), QStringLiteral("mslug"));
  EXPECT_EQ(clone.romCount, 0u);
  EXPECT_TRUE(list->notes().isEmpty());
}

TEST(GameListReader, ReadsTheEmulatorsFormUnderAnyRootName) {
  const auto list = parse(R"(<?xml version="1.0"?>
<!DOCTYPE emu [
<!ELEMENT emu (machine+)>
<!ATTLIST machine name CDATA #REQUIRED>
]>
<emu build="0.1"><machine name="kof98" sourcefile="x"><description>The King of Fighters '98</description>
<rom name="242-p1.p1" size="4" crc="deadbeef" region="maincpu" offset="0"/><chip type="cpu"/></machine></emu>)");
  ASSERT_EQ(list->setCount(), 1);
  EXPECT_EQ(list->text(list->set(0).title), QStringLiteral("The King of Fighters '98"));
  EXPECT_EQ(list->roms(list->set(0))[0].crc, 0xdeadbeefu);
}

struct Refusal {
  const char *name;
  const char *xml;
  const char *expected;
};
class NotAGameList : public ::testing::TestWithParam<Refusal> {};
TEST_P(NotAGameList, IsReportedWithReasonAndLine) {
  EXPECT_EQ(failureOf(GetParam().xml), QString::fromUtf8(GetParam().expected));
}
INSTANTIATE_TEST_SUITE_P(
    Table, NotAGameList,
    ::testing::Values(
        Refusal{"cutOff", "<datafile>\n<game name=\"a\">\n<rom name=\"x\"",
                "list.dat is not a game list: the file is cut off at line 3"},
        Refusal{"empty", "", "list.dat is not a game list: the file is cut off at line 1"},
        Refusal{"otherRoot", "<?xml version=\"1.0\"?>\n<svg><rect/></svg>",
                "list.dat is not a game list: the root element <svg> holds <rect>, not games at "
                "line 2"},
        Refusal{"emptyOtherRoot", "<settings/>",
                "list.dat is not a game list: the root element <settings> holds no games at line "
                "1"},
        Refusal{"notXml", "[setup]\nneoloc=x\n",
                "list.dat is not a game list: Start tag expected at line 1"},
        Refusal{"mismatchedTags", "<datafile>\n<game name=\"a\"></datafile>",
                "list.dat is not a game list: Opening and ending tag mismatch at line 2"},
        // The billion-laughs shape: entities are never expanded.
        Refusal{"declaredEntity",
                "<!DOCTYPE d [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>\n"
                "<datafile><game name=\"x\"><description>&b;</description></game></datafile>",
                "list.dat is not a game list: it declares entities, which are not read at line 1"},
        Refusal{"smallEntity",
                "<!DOCTYPE d [<!ENTITY a \"x\">]>\n"
                "<datafile><game name=\"x\"><description>&a;</description></game></datafile>",
                "list.dat is not a game list: it declares entities, which are not read at line 1"},
        Refusal{"externalEntity",
                "<!DOCTYPE d [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>\n"
                "<datafile><game name=\"x\"><description>&e;</description></game></datafile>",
                "list.dat is not a game list: it declares entities, which are not read at line 1"},
        Refusal{"undeclaredEntity",
                "<datafile><game name=\"x\"><description>&e;</description></game></datafile>",
                "list.dat is not a game list: Entity 'e' not declared at line 1"},
        Refusal{"junkAfterRoot", "<datafile></datafile>\n<datafile>",
                "list.dat is not a game list: Extra content at end of document at line 2"}),
    [](const auto &info) { return std::string(info.param.name); });

struct Hostile {
  const char *name;
  const char *setName;
  const char *romName;
};
class HostileNames : public ::testing::TestWithParam<Hostile> {};
TEST_P(HostileNames, AreNeverKept) {
  const QByteArray xml = QByteArray("<datafile><game name=\"") + GetParam().setName +
                         "\"><rom name=\"" + GetParam().romName +
                         "\" size=\"1\"/><rom name=\"ok.bin\"/></game><game name=\"fine\"/>" +
                         "</datafile>";
  const auto list = parse(xml);
  for (int i = 0; i < list->setCount(); ++i) {
    const QString setName = list->text(list->set(i).name);
    EXPECT_FALSE(setName.contains(u'/') || setName.contains(u"..") || setName.contains(u'\x01'));
    for (const QString &rom : romNames(*list, list->set(i)))
      EXPECT_EQ(rom, QStringLiteral("ok.bin"));
  }
  EXPECT_TRUE(list->find(u"fine").has_value()) << "the rest of the list is still read";
  EXPECT_EQ(list->notes().size(), 1);
}
INSTANTIATE_TEST_SUITE_P(Table, HostileNames,
                         ::testing::Values(Hostile{"slashInSet", "../evil", "ok.bin"},
                                           Hostile{"absoluteSet", "/etc", "ok.bin"},
                                           Hostile{"backslashSet", "a\\b", "ok.bin"},
                                           Hostile{"controlInSet", "a&#9;b", "ok.bin"},
                                           Hostile{"emptySet", "", "ok.bin"},
                                           Hostile{"dotsRom", "game", ".."},
                                           Hostile{"pathRom", "game", "../../x"},
                                           Hostile{"slashRom", "game", "sub/x.bin"},
                                           Hostile{"newlineRom", "game", "a&#10;b"},
                                           Hostile{"emptyRom", "game", ""}),
                         [](const auto &info) { return std::string(info.param.name); });

struct RomNumbersCase {
  const char *name;
  const char *attributes;
  bool hasSize;
  quint32 size;
  bool hasCrc;
  quint32 crc;
};
class RomNumbers : public ::testing::TestWithParam<RomNumbersCase> {};
TEST_P(RomNumbers, AreKeptOnlyWhenTheyAreWhole) {
  const RomNumbersCase &c = GetParam();
  const auto list = parse(QByteArray("<datafile><game name=\"g\"><rom name=\"r\" ") + c.attributes +
                          "/></game></datafile>");
  ASSERT_EQ(list->setCount(), 1);
  const auto roms = list->roms(list->set(0));
  ASSERT_EQ(roms.size(), 1u);
  EXPECT_EQ(roms[0].has(Rom::HasSize), c.hasSize);
  EXPECT_EQ(roms[0].size, c.size);
  EXPECT_EQ(roms[0].has(Rom::HasCrc), c.hasCrc);
  EXPECT_EQ(roms[0].crc, c.crc);
}
INSTANTIATE_TEST_SUITE_P(
    Table, RomNumbers,
    ::testing::Values(
        RomNumbersCase{"plain", "size=\"131072\" crc=\"9036d879\"", true, 131072, true, 0x9036d879},
        RomNumbersCase{"upperCaseCrc", "size=\"0\" crc=\"DEADBEEF\"", true, 0, true, 0xdeadbeef},
        RomNumbersCase{"blanksAndSign", "size=\" +16 \"", true, 16, false, 0},
        RomNumbersCase{"largest", "size=\"4294967295\"", true, 4294967295u, false, 0},
        RomNumbersCase{"tooLarge", "size=\"4294967296\" crc=\"0000000g\"", false, 0, false, 0},
        RomNumbersCase{"notANumber", "size=\"12k\" crc=\"123456789\"", false, 0, false, 0},
        RomNumbersCase{"negative", "size=\"-1\" crc=\" 9036d87\"", false, 0, false, 0},
        RomNumbersCase{"empty", "size=\"\" crc=\"\"", false, 0, false, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GameListReader, FirstOfDuplicateSetsWinsAndIsReportedOnce) {
  const auto list = parse("<datafile><game name=\"a\"><description>first</description></game>"
                          "<game name=\"b\"/><game name=\"A\"><description>second</description>"
                          "</game><game name=\"a\"/><game name=\"b\"/></datafile>");
  ASSERT_EQ(list->setCount(), 2);
  EXPECT_EQ(list->text(list->set(*list->find(u"a")).title), QStringLiteral("first"));
  EXPECT_EQ(list->notes(), QStringList("3 sets are listed more than once; the first of each is "
                                       "used: A, a, b"));
}

TEST(GameListReader, TitlesStayOnOneLine) {
  const auto list = parse("<datafile><game name=\"a\"><description>Two&#10;lines\tand "
                          "tab</description></game></datafile>");
  EXPECT_EQ(list->text(list->set(0).title), QStringLiteral("Two lines and tab"));
}

TEST(GameListReader, KeepsRepeatedTextsOnce) {
  QByteArray xml = "<datafile>";
  for (int i = 0; i < 200; ++i)
    xml += "<game name=\"g" + QByteArray::number(i) +
           "\"><year>1994</year><manufacturer>SNK</manufacturer></game>";
  const auto list = parse(xml + "</datafile>");
  ASSERT_EQ(list->setCount(), 200);
  EXPECT_EQ(list->set(0).maker, list->set(199).maker);
  EXPECT_EQ(list->set(0).year, list->set(199).year);
}

// A list no longer wanted stops being read: no list, and the rest of the
// device left unread.
TEST(GameListReader, StopsEarlyWhenTold) {
  QByteArray xml = "<datafile>";
  for (int i = 0; i < 20000; ++i)
    xml += "<game name=\"g" + QByteArray::number(i) + "\"><rom name=\"a.bin\"/></game>";
  QBuffer buffer;
  buffer.setData(xml + "</datafile>");
  buffer.open(QIODevice::ReadOnly);
  const std::atomic_bool stop{true};
  EXPECT_EQ(GameListReader::read(buffer, QStringLiteral("list.dat"), &stop), nullptr);
  EXPECT_LT(buffer.pos(), buffer.size() / 2);
}

TEST(GameListReader, SniffsOnlyGameLists) {
  test::TempDir dir;
  EXPECT_TRUE(GameListReader::looksLikeGameList(dir.write("a.dat", kRealShapes)));
  EXPECT_TRUE(GameListReader::looksLikeGameList(
      dir.write("b.xml", "<?xml version=\"1.0\"?><x><machine name=\"a\"/></x>")));
  EXPECT_FALSE(GameListReader::looksLikeGameList(dir.write("c.xml", "<x><config/></x>")));
  EXPECT_FALSE(GameListReader::looksLikeGameList(dir.write("d.dat", "clrmamepro ( name x )")));
  EXPECT_FALSE(GameListReader::looksLikeGameList(dir.file("missing.dat")));
}

TEST(GameListReader, ReadsAFileAndNamesAnUnreadableOne) {
  test::TempDir dir;
  EXPECT_EQ(GameListReader::readFile(dir.write("a.dat", kRealShapes))->setCount(), 3);
  EXPECT_THROW(GameListReader::readFile(dir.file("missing.dat")), Error);
}

} // namespace
