// The main window's key table and the catalogue moves it leads to, without a
// window: ticks are given, so the typing pauses are exact.
#include "launcher/catalogue.h"
#include "launcher/cataloguenavigator.h"
#include "launcher/keybindings.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vantor;

namespace {

struct KeyCase {
  const char *name;
  int key;
  Qt::KeyboardModifiers modifiers;
  const char *text;
  bool autoRepeat;
  MainKey expected;
};

class KeyTable : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyTable, MapsTheKey) {
  const KeyCase &c = GetParam();
  EXPECT_EQ(KeyBindings().actionOf(c.key, c.modifiers, QString::fromLatin1(c.text), c.autoRepeat),
            c.expected);
}

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTable,
    ::testing::Values(
        KeyCase{"return", Qt::Key_Return, kNone, "\r", false, MainKey::Play},
        KeyCase{"keypadEnter", Qt::Key_Enter, Qt::KeypadModifier, "\r", false, MainKey::Play},
        KeyCase{"f1", Qt::Key_F1, kNone, "", false, MainKey::About},
        KeyCase{"f2", Qt::Key_F2, kNone, "", false, MainKey::Setup},
        KeyCase{"escape", Qt::Key_Escape, kNone, "\x1b", false, MainKey::Nothing},
        KeyCase{"left", Qt::Key_Left, kNone, "", false, MainKey::Back},
        KeyCase{"right", Qt::Key_Right, kNone, "", false, MainKey::Forward},
        KeyCase{"pageUp", Qt::Key_PageUp, kNone, "", false, MainKey::PageBack},
        KeyCase{"pageDown", Qt::Key_PageDown, kNone, "", false, MainKey::PageForward},
        KeyCase{"home", Qt::Key_Home, kNone, "", false, MainKey::First},
        KeyCase{"end", Qt::Key_End, kNone, "", false, MainKey::Last},
        KeyCase{"letter", Qt::Key_G, kNone, "g", false, MainKey::Type},
        KeyCase{"shiftedLetter", Qt::Key_G, Qt::ShiftModifier, "G", false, MainKey::Type},
        KeyCase{"digit", Qt::Key_2, kNone, "2", false, MainKey::Type},
        KeyCase{"keypadDigit", Qt::Key_7, Qt::KeypadModifier, "7", false, MainKey::Type},
        KeyCase{"ctrlLetter", Qt::Key_G, Qt::ControlModifier, "\x07", false, MainKey::None},
        KeyCase{"altReturn", Qt::Key_Return, Qt::AltModifier, "\r", false, MainKey::None},
        KeyCase{"ctrlRight", Qt::Key_Right, Qt::ControlModifier, "", false, MainKey::None},
        KeyCase{"space", Qt::Key_Space, kNone, " ", false, MainKey::None},
        KeyCase{"tab", Qt::Key_Tab, kNone, "\t", false, MainKey::None},
        KeyCase{"punctuation", Qt::Key_Minus, kNone, "-", false, MainKey::None},
        KeyCase{"up", Qt::Key_Up, kNone, "", false, MainKey::None},
        KeyCase{"shiftAlone", Qt::Key_Shift, Qt::ShiftModifier, "", false, MainKey::None},
        KeyCase{"heldReturn", Qt::Key_Return, kNone, "\r", true, MainKey::Nothing},
        KeyCase{"heldF2", Qt::Key_F2, kNone, "", true, MainKey::Nothing},
        KeyCase{"heldLetter", Qt::Key_G, kNone, "g", true, MainKey::Nothing},
        KeyCase{"heldRight", Qt::Key_Right, kNone, "", true, MainKey::Forward},
        KeyCase{"heldPageDown", Qt::Key_PageDown, kNone, "", true, MainKey::PageForward}),
    [](const auto &info) { return std::string(info.param.name); });

Catalogue catalogueOf(const QList<QByteArray> &roms, const QList<QByteArray> &cdroms = {}) {
  Catalogue c;
  c.rebuild({"roms", "/roms", roms}, {"cd", "/cd", cdroms});
  return c;
}

struct MoveCase {
  const char *name;
  MainKey key;
  int from;
  int expected;
};

class Moves : public ::testing::TestWithParam<MoveCase> {};

// 25 entries: a page is ten, and no move leaves the catalogue.
TEST_P(Moves, StaysInsideTheCatalogue) {
  QList<QByteArray> names;
  for (int i = 0; i < 25; ++i)
    names << QByteArray("g") + QByteArray::number(i) + ".zip";
  CatalogueNavigator nav;
  nav.setCatalogue(catalogueOf(names));
  EXPECT_EQ(nav.moved(GetParam().key, GetParam().from), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, Moves,
                         ::testing::Values(MoveCase{"backAtFirst", MainKey::Back, 0, 0},
                                           MoveCase{"back", MainKey::Back, 5, 4},
                                           MoveCase{"forward", MainKey::Forward, 5, 6},
                                           MoveCase{"forwardAtLast", MainKey::Forward, 24, 24},
                                           MoveCase{"pageForward", MainKey::PageForward, 5, 15},
                                           MoveCase{"pageForwardNearEnd", MainKey::PageForward, 20,
                                                    24},
                                           MoveCase{"pageBack", MainKey::PageBack, 15, 5},
                                           MoveCase{"pageBackNearStart", MainKey::PageBack, 5, 0},
                                           MoveCase{"first", MainKey::First, 17, 0},
                                           MoveCase{"last", MainKey::Last, 3, 24}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Navigator, NothingToMoveToInAnEmptyCatalogue) {
  CatalogueNavigator nav;
  nav.setCatalogue(Catalogue());
  EXPECT_EQ(nav.moved(MainKey::Last, 0), -1);
  EXPECT_EQ(nav.typed("a", 0), -1);
}

struct Typed {
  const char *text;
  std::uint32_t tick;
  int expected;
};

struct TypingCase {
  const char *name;
  std::vector<Typed> keys;
};

class TypeAhead : public ::testing::TestWithParam<TypingCase> {};

// The ROM half, then the CD-ROM half: the catalogue's order, not the alphabet's.
TEST_P(TypeAhead, FindsTheFirstEntryStartingWithWhatWasJustTyped) {
  CatalogueNavigator nav;
  nav.setCatalogue(
      catalogueOf({"Puzzledp.zip", "pacman.zip", "paclandx.zip", "galaga.zip", "2020bb.zip"},
                  {"PACLAND.zip", "aof.zip"}));
  for (const Typed &k : GetParam().keys)
    EXPECT_EQ(nav.typed(k.text, k.tick), k.expected) << k.text << " at " << k.tick;
}

constexpr std::uint32_t kWrap = 0xffffff00u;

INSTANTIATE_TEST_SUITE_P(
    Table, TypeAhead,
    ::testing::Values(
        TypingCase{"extendsWhileTyping",
                   {{"p", 1000, 0}, {"a", 1500, 1}, {"c", 2400, 1}, {"l", 3400, 2}}},
        TypingCase{"aPauseStartsAfresh", {{"p", 0, 0}, {"a", 500, 1}, {"g", 1501, 3}}},
        TypingCase{"aSecondIsStillTyping", {{"g", 0, 3}, {"a", 1000, 3}, {"x", 2001, -1}}},
        TypingCase{"caseBlind",
                   {{"G", 0, 3}, {"P", 5000, 0}, {"A", 5100, 1}, {"c", 5200, 1}, {"L", 5300, 2}}},
        TypingCase{"secondHalf", {{"a", 0, 6}, {"o", 10, 6}}},
        TypingCase{"digits", {{"2", 0, 4}, {"0", 100, 4}, {"3", 200, -1}}},
        TypingCase{"noMatchUntilAPause", {{"x", 0, -1}, {"g", 100, -1}, {"g", 1200, 3}}},
        TypingCase{"acrossTheTickWrap", {{"p", kWrap, 0}, {"a", kWrap + 0x200u, 1}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Navigator, ANewCatalogueForgetsWhatWasTyped) {
  CatalogueNavigator nav;
  nav.setCatalogue(catalogueOf({"galaga.zip", "garou.zip"}));
  EXPECT_EQ(nav.typed("g", 0), 0);
  nav.setCatalogue(catalogueOf({"aof.zip", "garou.zip"}));
  EXPECT_EQ(nav.typed("a", 100), 0);
  EXPECT_EQ(nav.prefix(), "a");
}

} // namespace
