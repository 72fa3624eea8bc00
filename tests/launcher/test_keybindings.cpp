// The "keys" section of the settings file: which key gives which command,
// and that a key bound to a command never types ahead.
#include "launcher/keybindings.h"
#include "platform/profile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

using namespace vantor;

namespace {

struct BindingCase {
  const char *name;
  const char *section; // the lines of [keys]; nullptr for no section
  int key;
  Qt::KeyboardModifiers modifiers;
  const char *text;
  bool autoRepeat;
  MainKey expected;
};

void PrintTo(const BindingCase &c, std::ostream *os) {
  *os << c.name;
}

class Bindings : public ::testing::TestWithParam<BindingCase> {};

TEST_P(Bindings, GiveTheCommandOfTheKey) {
  const BindingCase &c = GetParam();
  test::TempDir dir;
  QByteArray file = "[main]\nFormShaper1_Tag=0\n";
  if (c.section)
    file += QByteArray("[keys]\n") + c.section;
  dir.write("vantor.INI", file);
  const KeyBindings bindings = KeyBindings::read(platform::ProfileFile(dir.file("vantor.INI")));
  EXPECT_EQ(bindings.actionOf(c.key, c.modifiers, QString::fromLatin1(c.text), c.autoRepeat),
            c.expected);
}

constexpr auto None = Qt::NoModifier;
INSTANTIATE_TEST_SUITE_P(
    Table, Bindings,
    ::testing::Values(
        BindingCase{"usualEnter", nullptr, Qt::Key_Return, None, "\r", false, MainKey::Play},
        BindingCase{"usualDigitTypes", nullptr, Qt::Key_1, None, "1", false, MainKey::Type},
        BindingCase{"usualCtrlLeftIsAShortcut", nullptr, Qt::Key_Left, Qt::ControlModifier, "",
                    false, MainKey::None},
        BindingCase{"boundDigitPlays", "Play=Return 1\n", Qt::Key_1, None, "1", false,
                    MainKey::Play},
        BindingCase{"boundDigitOnTheKeypad", "Play=1\n", Qt::Key_1, Qt::KeypadModifier, "1", false,
                    MainKey::Play},
        BindingCase{"heldBoundDigitDoesNotTypeEither", "Play=1\n", Qt::Key_1, None, "1", true,
                    MainKey::Nothing},
        BindingCase{"theListReplacesTheUsualKeys", "Play=1\n", Qt::Key_Return, None, "\r", false,
                    MainKey::None},
        BindingCase{"anEmptyListUnbinds", "About=\n", Qt::Key_F1, None, "", false, MainKey::None},
        BindingCase{"otherCommandsKeepTheirKeys", "Play=1\n", Qt::Key_F2, None, "", false,
                    MainKey::Setup},
        BindingCase{"aBoundMovementRepeats", "Next=D Right\n", Qt::Key_D, None, "d", true,
                    MainKey::Forward},
        BindingCase{"aUsualKeyTakenByAnother", "Skin=Left\n", Qt::Key_Left, None, "", false,
                    MainKey::Skin},
        BindingCase{"caseBlindNames", "usedelete=U\n", Qt::Key_U, Qt::ShiftModifier, "U", false,
                    MainKey::UseDel},
        BindingCase{"anUnknownWordIsSkipped", "TenOn=Bogus N\n", Qt::Key_N, None, "n", false,
                    MainKey::PageForward},
        BindingCase{"withCtrl", "Setup=Ctrl+S\n", Qt::Key_S, Qt::ControlModifier, "\x13", false,
                    MainKey::Setup},
        BindingCase{"withoutTheCtrlOfItsBinding", "Setup=Ctrl+S\n", Qt::Key_S, None, "s", false,
                    MainKey::Type},
        BindingCase{"anUnknownCommandBindsNothing", "Jump=1\n", Qt::Key_1, None, "1", false,
                    MainKey::Type}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
