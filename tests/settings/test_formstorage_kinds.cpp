// Stored properties of every kind: the text written, the value read back and
// the rules for texts a kind cannot take.

#include "controls/form.h"
#include "formstorage_testing.h"
#include "settings/formstorage.h"
#include "support/tempdir.h"

#include <QLocale>
#include <QPushButton>
#include <gtest/gtest.h>

namespace vantor {

// A nested object's own properties are kept under the owner's key.
class SampleFont final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Name MEMBER name)
  Q_PROPERTY(int Size MEMBER size)

public:
  using QObject::QObject;
  QString name = QStringLiteral("Arial");
  int size = 8;
};

class SampleItem final : public QObject {
  Q_OBJECT
  Q_PROPERTY(int Width MEMBER width)
  Q_PROPERTY(QString Caption MEMBER caption)

public:
  using QObject::QObject;
  int width = 0;
  QString caption;
};

class Sample final : public QObject {
  Q_OBJECT
  Q_PROPERTY(int Number READ number WRITE setNumber)
  Q_PROPERTY(qlonglong Big MEMBER big)
  Q_PROPERTY(uint Unsigned MEMBER unsignedValue)
  Q_PROPERTY(short Small MEMBER small)
  Q_PROPERTY(QChar Letter MEMBER letter)
  Q_PROPERTY(Shade Colour MEMBER colour)
  Q_PROPERTY(bool Enabled MEMBER enabled)
  Q_PROPERTY(float Single MEMBER single)
  Q_PROPERTY(double Ratio MEMBER ratio)
  Q_PROPERTY(QString Text MEMBER text)
  Q_PROPERTY(QByteArray Bytes MEMBER bytes)
  Q_PROPERTY(Styles Style READ styleValue WRITE setStyleValue)
  Q_PROPERTY(QVariant Anything MEMBER anything)
  Q_PROPERTY(QStringList Lines MEMBER lines)
  Q_PROPERTY(QList<QObject *> Items READ items)
  Q_PROPERTY(QObject *Partner MEMBER partner)
  Q_PROPERTY(SampleFont *Font READ font)
  Q_PROPERTY(QRect Area MEMBER area)

public:
  enum Shade { clRed, clGreen, clBlue };
  Q_ENUM(Shade)
  enum Style { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsAll = 7 };
  Q_DECLARE_FLAGS(Styles, Style)
  Q_FLAG(Styles)

  explicit Sample(QObject *parent) : QObject(parent), font_(new SampleFont(this)) {
    for (int i = 0; i < 2; ++i)
      items_ << new SampleItem(this);
  }

  int number() const { return number_; }
  void setNumber(int n) {
    number_ = n;
    ++numberWrites;
    textAtNumberWrite = text;
  }
  Styles styleValue() const { return style; }
  void setStyleValue(Styles value) { style = value; }
  QList<QObject *> items() const { return items_; }
  SampleFont *font() const { return font_; }
  SampleItem *item(int i) const { return static_cast<SampleItem *>(items_[i]); }

  int numberWrites = 0;
  QString textAtNumberWrite;
  qlonglong big = 0;
  uint unsignedValue = 0;
  short small = 0;
  QChar letter{u'a'};
  Shade colour = clRed;
  bool enabled = false;
  float single = 0;
  double ratio = 0;
  QString text;
  QByteArray bytes;
  Styles style;
  QVariant anything;
  QStringList lines;
  QObject *partner = nullptr;
  QRect area;

private:
  int number_ = 0;
  QList<QObject *> items_;
  SampleFont *font_;
};

namespace {

using test::fileLines;
using test::writeLines;

class FormStorageKinds : public ::testing::Test {
protected:
  FormStorageKinds() {
    form.setObjectName(QStringLiteral("frmKinds"));
    sample = new Sample(&form);
    sample->setObjectName(QStringLiteral("Sample1"));
    other = new QObject(&form);
    other->setObjectName(QStringLiteral("Other"));
    elsewhere.setObjectName(QStringLiteral("frmElse"));
    button = new QPushButton(&elsewhere);
    button->setObjectName(QStringLiteral("Button1"));
    storage = new TFormStorage(&form);
    storage->setIniFileName(path);
    storage->setIniSection(QStringLiteral("kinds"));
  }

  void storeProps(const QStringList &props) {
    storage->setStoredProps(props);
    storage->LoadWindowSettings(); // a storage writes only once it has restored
    for (const auto &[name, value] : pending)
      sample->setProperty(name, value);
    storage->StoreWindowSettings();
  }
  // The value of `key` in the [kinds] section, or "<missing>".
  QString keyLine(const QString &key) const {
    for (const QString &line : fileLines(path))
      if (line.startsWith(key + u'='))
        return line.mid(key.size() + 1);
    return QStringLiteral("<missing>");
  }
  void restoreFrom(const QStringList &lines) {
    writeLines(path, lines);
    storage->LoadWindowSettings();
  }

  test::TempDir dir;
  QString path = dir.file(QStringLiteral("KINDS.INI"));
  test::FixedScreen screen;
  TForm elsewhere; // outlives the form, whose storage saves when it goes
  TForm form;
  Sample *sample;
  QObject *other;
  QPushButton *button;
  TFormStorage *storage;
  QList<std::pair<const char *, QVariant>> pending;
};

struct WrittenCase {
  const char *property;
  QVariant value;
  const char *written; // nullptr: no line at all
};

TEST_F(FormStorageKinds, EachKindIsWrittenAsItsTextAndReadBack) {
  const WrittenCase cases[] = {
      {"Number", -42, "-42"},
      {"Big", QVariant::fromValue(qlonglong(1) << 40), "1099511627776"},
      {"Unsigned", QVariant::fromValue(4000000000u), "4000000000"},
      {"Small", QVariant::fromValue(short(-7)), "-7"},
      {"Letter", QVariant::fromValue(QChar(u'Z')), "Z"},
      {"Colour", QVariant::fromValue(Sample::clBlue), "clBlue"},
      {"Enabled", true, "True"},
      {"Single", QVariant::fromValue(1.1f), "1.1"},
      {"Ratio", 1.0 / 3.0, "0.333333333333333"},
      {"Text", QStringLiteral("C:\\Program Files\\NeoRage"), "C:\\Program Files\\NeoRage"},
      {"Bytes", QByteArray("raw bytes"), "raw bytes"},
      {"Style", QVariant::fromValue(Sample::Styles(Sample::fsBold | Sample::fsUnderline)),
       "[fsBold,fsUnderline]"},
      {"Anything", QStringLiteral("some text"), "some text"},
  };
  // Numbers keep "." as their separator whatever the locale.
  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  QStringList props;
  for (const WrittenCase &c : cases) {
    props << QStringLiteral("Sample1.") + QLatin1String(c.property);
    pending.append({c.property, c.value});
  }
  storeProps(props);
  for (const WrittenCase &c : cases)
    EXPECT_EQ(keyLine(QStringLiteral("Sample1_") + QLatin1String(c.property)),
              QLatin1String(c.written))
        << c.property;

  Sample fresh(&form); // values back from the file into a blank object
  fresh.setObjectName(QStringLiteral("sample1x"));
  sample->setObjectName(QStringLiteral("Spare"));
  fresh.setObjectName(QStringLiteral("Sample1"));
  storage->LoadWindowSettings();
  QLocale::setDefault(before);
  for (const WrittenCase &c : cases) {
    const QVariant back = fresh.property(c.property);
    if (c.value.metaType().id() == QMetaType::Float)
      EXPECT_FLOAT_EQ(back.toFloat(), c.value.toFloat()) << c.property;
    else if (c.value.metaType().id() == QMetaType::Double)
      EXPECT_NEAR(back.toDouble(), c.value.toDouble(), 1e-14) << c.property;
    else
      EXPECT_EQ(back, c.value) << c.property;
  }
}

TEST_F(FormStorageKinds, KeysTakeTheLetterCaseOfComponentAndPropertyNotOfTheEntry) {
  pending.append({"Number", 5});
  storeProps({QStringLiteral("  sAMPLE1 . nUMBER ")});
  EXPECT_EQ(keyLine(QStringLiteral("Sample1_Number")), QStringLiteral("5"));
}

TEST_F(FormStorageKinds, EmptyTextIsWrittenOnlyForStrings) {
  storeProps({QStringLiteral("Sample1.Text"), QStringLiteral("Sample1.Anything"),
              QStringLiteral("Sample1.Style")});
  EXPECT_EQ(keyLine(QStringLiteral("Sample1_Text")), QString());
  EXPECT_EQ(keyLine(QStringLiteral("Sample1_Anything")), QStringLiteral("<missing>"));
  EXPECT_EQ(keyLine(QStringLiteral("Sample1_Style")), QStringLiteral("[]"));
}

TEST_F(FormStorageKinds, UnknownComponentsPropertiesAndKindsAreSkipped) {
  storeProps({QStringLiteral("Nobody.Number"), QStringLiteral("Sample1.Nothing"),
              QStringLiteral("Sample1"), QStringLiteral("Sample1.Area"),
              QStringLiteral("Sample1.Number")});
  QStringList keys;
  for (const QString &line : fileLines(path))
    if (line.contains(u'_'))
      keys << line;
  EXPECT_EQ(keys, QStringList{QStringLiteral("Sample1_Number=0")});
}

struct ReadCase {
  const char *property;
  const char *text;  // the value in the file
  QVariant before;   // the value before the restore
  QVariant expected; // the value after it
};

TEST_F(FormStorageKinds, TextsAKindCannotTakeFollowTheKindsRules) {
  const ReadCase cases[] = {
      {"Number", "abc", 9, 0},
      {"Number", "  42  ", 9, 42},
      {"Number", "99999999999", 9, 0},
      {"Small", "40000", QVariant::fromValue(short(3)), QVariant::fromValue(short(0))},
      {"Unsigned", "-1", QVariant::fromValue(5u), QVariant::fromValue(0u)},
      {"Letter", "xyz", QVariant::fromValue(QChar(u'a')), QVariant::fromValue(QChar(u'x'))},
      {"Letter", "", QVariant::fromValue(QChar(u'a')), QVariant::fromValue(QChar(u'a'))},
      {"Colour", "CLGREEN", QVariant::fromValue(Sample::clRed),
       QVariant::fromValue(Sample::clGreen)},
      {"Colour", "purple", QVariant::fromValue(Sample::clBlue),
       QVariant::fromValue(Sample::clBlue)},
      {"Enabled", "true", false, true},
      {"Enabled", "yes", false, false},
      {"Ratio", "2.5", 1.0, 2.5},
      {"Ratio", "2,5", 1.0, 1.0},
      {"Style", "[ fsItalic , FSUNDERLINE zzz ]",
       QVariant::fromValue(Sample::Styles(Sample::fsBold)),
       QVariant::fromValue(Sample::Styles(Sample::fsItalic | Sample::fsUnderline))},
      {"Style", "fsAll", QVariant::fromValue(Sample::Styles(Sample::fsBold)),
       QVariant::fromValue(Sample::Styles())},
      {"Text", "  padded\t ", QString(), QStringLiteral("padded")},
      {"Text", "\"\"quoted\"\"", QString(), QStringLiteral("\"quoted\"")},
      {"Text", "\"'single'\"", QString(), QStringLiteral("'single'")},
      {"Text", "\"plain\"", QString(), QStringLiteral("plain")},
      {"Anything", "42", QVariant(), QStringLiteral("42")},
  };
  for (const ReadCase &c : cases) {
    sample->setProperty(c.property, c.before);
    storage->setStoredProps({QStringLiteral("Sample1.") + QLatin1String(c.property)});
    restoreFrom({QStringLiteral("[kinds]"), QStringLiteral("Sample1_") + QLatin1String(c.property) +
                                                u'=' + QString::fromUtf8(c.text)});
    EXPECT_EQ(sample->property(c.property), c.expected) << c.property << " from " << c.text;
  }
}

TEST_F(FormStorageKinds, QuotedAndPaddedTextsSurviveARoundTrip) {
  const struct {
    const char *value;
    const char *written;
    const char *back;
  } cases[] = {
      {"\"quoted\"", "\"\"quoted\"\"", "\"quoted\""},
      {"'single'", "\"'single'\"", "'single'"},
      {"\"", "\"\"\"", "\""},
      {"\"half", "\"half", "\"half"},
      {"  C:\\My Roms  ", "C:\\My Roms", "C:\\My Roms"},
      {"\x01tab\there\x02", "tab\there", "tab\there"},
  };
  for (const auto &c : cases) {
    sample->text = QString::fromUtf8(c.value);
    storage->setStoredProps({QStringLiteral("Sample1.Text")});
    storage->LoadWindowSettings();
    sample->text = QString::fromUtf8(c.value);
    storage->StoreWindowSettings();
    EXPECT_EQ(keyLine(QStringLiteral("Sample1_Text")), QString::fromUtf8(c.written)) << c.value;
    sample->text = QStringLiteral("changed");
    storage->LoadWindowSettings();
    EXPECT_EQ(sample->text, QString::fromUtf8(c.back)) << c.value;
  }
}

TEST_F(FormStorageKinds, AMissingKeyAssignsTheCurrentValueAgain) {
  sample->setNumber(17);
  sample->text = QStringLiteral("\"kept\"");
  sample->numberWrites = 0;
  storage->setStoredProps({QStringLiteral("Sample1.Number"), QStringLiteral("Sample1.Text")});
  restoreFrom({QStringLiteral("[kinds]"), QStringLiteral("Other_Key=1")});
  EXPECT_EQ(sample->numberWrites, 1);
  EXPECT_EQ(sample->number(), 17);
  EXPECT_EQ(sample->text, QStringLiteral("\"kept\""));
}

TEST_F(FormStorageKinds, AMissingFileOrSectionChangesNothingAndCreatesNoFile) {
  sample->setNumber(3);
  storage->setStoredProps({QStringLiteral("Sample1.Number")});
  storage->LoadWindowSettings();
  EXPECT_EQ(sample->number(), 3);
  EXPECT_FALSE(QFile::exists(path));
  restoreFrom({QStringLiteral("[elsewhere]"), QStringLiteral("Sample1_Number=8")});
  EXPECT_EQ(sample->number(), 3);
}

TEST_F(FormStorageKinds, ReferencesNameTheComponentOrItsWindowAndComponent) {
  const struct {
    QObject *value;
    const char *written;
  } cases[] = {{nullptr, "(null)"}, {other, "Other"}, {button, "frmElse.Button1"}};
  for (const auto &c : cases) {
    sample->partner = c.value;
    storage->setStoredProps({QStringLiteral("Sample1.Partner")});
    storage->LoadWindowSettings();
    sample->partner = c.value;
    storage->StoreWindowSettings();
    EXPECT_EQ(keyLine(QStringLiteral("Sample1_Partner")), QLatin1String(c.written));
    sample->partner = sample;
    storage->LoadWindowSettings();
    EXPECT_EQ(sample->partner, c.value) << c.written;
  }
}

TEST_F(FormStorageKinds, ReferencesReadBackByTheKindsRules) {
  const struct {
    const char *text;
    QObject *expected;
  } cases[] = {
      {"(NULL)", nullptr},
      {"other", other},
      {"nosuch", nullptr},
      {"FRMELSE.button1", button},
      {"frmElse.nosuch", nullptr},
      {"NoWindow.Button1", sample},
      {"", sample},
  };
  for (const auto &c : cases) {
    sample->partner = sample;
    storage->setStoredProps({QStringLiteral("Sample1.Partner")});
    restoreFrom({QStringLiteral("[kinds]"), QStringLiteral("Sample1_Partner=") + c.text});
    EXPECT_EQ(sample->partner, c.expected) << c.text;
  }
}

TEST_F(FormStorageKinds, StringListsKeepTheirItemsInASectionOfTheirOwn) {
  pending.append({"Lines", QStringList{QStringLiteral("one"), QStringLiteral("\"two\"")}});
  storeProps({QStringLiteral("Sample1.Lines")});
  const QStringList lines = fileLines(path);
  const qsizetype at = lines.indexOf(QStringLiteral("[kinds.Sample1_Lines]"));
  ASSERT_GE(at, 0);
  EXPECT_EQ(lines.mid(at + 1, 3),
            (QStringList{QStringLiteral("Count=2"), QStringLiteral("Item0=one"),
                         QStringLiteral("Item1=\"\"two\"\"")}));
  EXPECT_EQ(keyLine(QStringLiteral("Sample1_Lines")), QStringLiteral("<missing>"));

  sample->lines = {QStringLiteral("old")};
  storage->LoadWindowSettings();
  EXPECT_EQ(sample->lines, (QStringList{QStringLiteral("one"), QStringLiteral("\"two\"")}));

  // An emptied list erases its section; reading it back leaves the list alone.
  sample->lines.clear();
  storage->StoreWindowSettings();
  EXPECT_FALSE(fileLines(path).contains(QStringLiteral("[kinds.Sample1_Lines]")));
  sample->lines = {QStringLiteral("stays")};
  storage->LoadWindowSettings();
  EXPECT_EQ(sample->lines, QStringList{QStringLiteral("stays")});
}

TEST_F(FormStorageKinds, StringListItemsMissingFromTheFileComeBackEmpty) {
  storage->setStoredProps({QStringLiteral("Sample1.Lines")});
  restoreFrom({QStringLiteral("[kinds.Sample1_Lines]"), QStringLiteral("Count=3"),
               QStringLiteral("Item2=last")});
  EXPECT_EQ(sample->lines, (QStringList{QString(), QString(), QStringLiteral("last")}));
}

TEST_F(FormStorageKinds, CollectionItemsKeepTheirPropertiesUnderItemPrefixes) {
  sample->item(0)->width = 10;
  sample->item(1)->width = 20;
  sample->item(1)->caption = QStringLiteral("second");
  storeProps({QStringLiteral("Sample1.Items")});
  const QStringList lines = fileLines(path);
  const qsizetype at = lines.indexOf(QStringLiteral("[kinds.Sample1_Items]"));
  ASSERT_GE(at, 0);
  EXPECT_EQ(
      lines.mid(at + 1),
      (QStringList{QStringLiteral("Item0_Width=10"), QStringLiteral("Item0_Caption="),
                   QStringLiteral("Item1_Width=20"), QStringLiteral("Item1_Caption=second")}));
  sample->item(0)->width = 0;
  sample->item(1)->caption.clear();
  storage->LoadWindowSettings();
  EXPECT_EQ(sample->item(0)->width, 10);
  EXPECT_EQ(sample->item(1)->caption, QStringLiteral("second"));
}

TEST_F(FormStorageKinds, NestedObjectsKeepTheirPropertiesUnderTheJoinedKey) {
  sample->font()->name = QStringLiteral("Courier");
  sample->font()->size = 12;
  storeProps({QStringLiteral("Sample1.Font")});
  EXPECT_EQ(keyLine(QStringLiteral("Sample1_FontName")), QStringLiteral("Courier"));
  EXPECT_EQ(keyLine(QStringLiteral("Sample1_FontSize")), QStringLiteral("12"));
  sample->font()->name.clear();
  sample->font()->size = 0;
  storage->LoadWindowSettings();
  EXPECT_EQ(sample->font()->name, QStringLiteral("Courier"));
  EXPECT_EQ(sample->font()->size, 12);
}

TEST_F(FormStorageKinds, EntriesAreRestoredInListOrderBeforeTheRestoreEvent) {
  // The number's setter notes the text restored so far.
  const struct {
    QStringList props;
    const char *textSeenByNumber;
  } cases[] = {
      {{QStringLiteral("Sample1.Text"), QStringLiteral("Sample1.Number")}, "t"},
      {{QStringLiteral("Sample1.Number"), QStringLiteral("Sample1.Text")}, ""},
  };
  for (const auto &c : cases) {
    sample->text.clear();
    sample->textAtNumberWrite.clear();
    QString textAtEvent;
    storage->setStoredProps(c.props);
    storage->OnRestorePlacement = [&](QObject *sender) {
      EXPECT_EQ(sender, storage);
      textAtEvent = sample->text + QString::number(sample->number());
    };
    restoreFrom({QStringLiteral("[kinds]"), QStringLiteral("Sample1_Number=4"),
                 QStringLiteral("Sample1_Text=t")});
    EXPECT_EQ(sample->textAtNumberWrite, QLatin1String(c.textSeenByNumber));
    EXPECT_EQ(textAtEvent, QStringLiteral("t4"));
  }
}

} // namespace
} // namespace vantor

#include "test_formstorage_kinds.moc"
