#include "settings/formplacement.h"

#include "controls/form.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/profile.h"
#include "settings/formplacementsaves.h"
#include "settings/inifilename.h"
#include "settings/propertytext.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace vantor {
namespace {

const QString kKeyFlags = QStringLiteral("Flags");
const QString kKeyShowCmd = QStringLiteral("ShowCmd");
const QString kKeyPixelsPerInch = QStringLiteral("PixelsPerInch");
const QString kKeyMinMaxPos = QStringLiteral("MinMaxPos");
const QString kKeyNormPos = QStringLiteral("NormPos");
const QString kKeyActiveControl = QStringLiteral("ActiveControl");
const QString kKeyVisible = QStringLiteral("Visible");

QString screenSuffix(const ScreenMetrics &screen) {
  return QStringLiteral("(%1x%2)").arg(screen.size.width()).arg(screen.size.height());
}

QString fourNumbers(int a, int b, int c, int d) {
  return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

// Words separated by blanks and commas; a missing or non-numeric word gives `def`.
class Words final {
public:
  explicit Words(const QString &text) {
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    words_ = text.split(separators, Qt::SkipEmptyParts);
  }
  int at(qsizetype index, int def) const {
    bool ok = false;
    const int value = words_.value(index).toInt(&ok);
    return ok ? value : def;
  }

private:
  QStringList words_;
};

int showCmdToState(int showCmd, int def) {
  switch (showCmd) {
  case 1:
  case 5:
  case 9:
    return SwShowNormal;
  case 2:
  case 6:
  case 7:
    return SwShowMinimized;
  case 3:
    return SwShowMaximized;
  default:
    return def;
  }
}

} // namespace

TFormPlacement::TFormPlacement(TForm *form) : QObject(form), form_(form), placer_(form) {
  installHooks();
}

TFormPlacement::~TFormPlacement() = default;

void TFormPlacement::installHooks() {
  // The hooks outlive nothing: they check the component is still there.
  // The window's own handlers are called directly: what they throw belongs
  // to the event the hook serves.
  const QPointer<TFormPlacement> self(this);

  TNotifyEvent ownShow = form_->OnShow;
  form_->OnShow = [self, ownShow](QObject *sender) {
    if (self && self->active_)
      runGuarded([&] { self->LoadWindowSettings(); }, self->form_);
    // A first place, or one stored at another scale or screen size, may
    // run past the screen's edge; the window comes up wholly on one screen.
    // The show handler may size it anew (a skin), so once more after it: the
    // window reaches the screen only when its show event is over.
    if (self && !self->placeHeld_)
      self->placer_.keepOnScreen();
    if (ownShow)
      ownShow(sender);
    if (self && !self->placeHeld_)
      self->placer_.keepOnScreen();
  };

  TCloseQueryEvent ownCloseQuery = form_->OnCloseQuery;
  form_->OnCloseQuery = [self, ownCloseQuery](QObject *sender, bool &canClose) {
    if (ownCloseQuery)
      ownCloseQuery(sender, canClose);
    if (!canClose || !self || !self->active_ || !self->form_->testAttribute(Qt::WA_WState_Created))
      return;
    // A failed save is reported; the window still closes.
    runGuarded([&] { self->StoreWindowSettings(); }, self->form_);
  };

  TNotifyEvent ownDestroy = form_->OnDestroy;
  form_->OnDestroy = [self, ownDestroy](QObject *sender) {
    if (self && self->active_ && !self->saved_) {
      self->destroying_ = true;
      runGuarded([&] { self->StoreWindowSettings(); }, self->form_);
      self->destroying_ = false;
    }
    if (ownDestroy)
      ownDestroy(sender);
  };
}

QString TFormPlacement::resolvedIniFileName() const {
  if (iniFileName_.isEmpty())
    return defaultIniFilePath();
  if (iniFileName_.contains(platform::pathSeparator()) || iniFileName_.contains(u'/'))
    return iniFileName_;
  const QString folder = QFileInfo(defaultIniFilePath()).absolutePath();
  return platform::joinPath(QDir::toNativeSeparators(folder), iniFileName_);
}

QString TFormPlacement::resolvedIniSection() const {
  if (!iniSection_.isEmpty())
    return iniSection_;
  const QString name = QString::fromLatin1(form_->metaObject()->className());
  return name.mid(name.lastIndexOf(u':') + 1);
}

template <typename Body> void TFormPlacement::withIniFile(Body body) {
  // A nested save or restore (from a change handler) gets its own file object.
  struct Release {
    std::unique_ptr<platform::ProfileFile> &slot;
    std::unique_ptr<platform::ProfileFile> previous;
    ~Release() { slot = std::move(previous); }
  } release{ini_, std::move(ini_)};
  // One load serves the whole step and its writes go to the file in one
  // replacement at the end: a save is all or nothing.
  ini_ = std::make_unique<platform::ProfileFile>(resolvedIniFileName(),
                                                 platform::ProfileFile::Mode::Batch);
  body();
  // At the end of the program the saves of all windows go to the file together.
  if (HeldPlacementSaves *held = HeldPlacementSaves::current())
    held->take(*ini_);
  else
    ini_->commit();
}

void TFormPlacement::writeProfileText(const QString &section, const QString &key,
                                      const QString &value) {
  ini_->writeString(section, key, quotedForProfile(value));
}

void TFormPlacement::StoreWindowSettings() {
  // A window whose settings were never restored does not overwrite the file.
  if (!restored_ && active_)
    return;
  withIniFile([this] {
    if (!placeHeld_)
      writePlacement();
    saveExtra();
    // Direct: what the handler throws abandons the whole save.
    if (OnSavePlacement)
      OnSavePlacement(this);
  });
  saved_ = true;
}

void TFormPlacement::writePlacement() {
  const QString section = resolvedIniSection();
  const ScreenMetrics screen = currentScreen();
  const WindowPlacement p = placer_.placement();
  ini_->writeInteger(section, kKeyFlags, p.flags);
  ini_->writeInteger(section, kKeyShowCmd, p.showCmd);
  ini_->writeInteger(section, kKeyPixelsPerInch, screen.pixelsPerInch);
  const QString minMax =
      fourNumbers(p.minPosition.x(), p.minPosition.y(), p.maxPosition.x(), p.maxPosition.y());
  writeProfileText(section, kKeyMinMaxPos + screenSuffix(screen), minMax);
  writeProfileText(section, kKeyMinMaxPos, minMax);
  const QString norm = fourNumbers(p.normal.Left, p.normal.Top, p.normal.Right, p.normal.Bottom);
  writeProfileText(section, kKeyNormPos + screenSuffix(screen), norm);
  writeProfileText(section, kKeyNormPos, norm);
  if (options_.testFlag(fpActiveControl)) {
    const QWidget *focus = form_->focusWidget();
    if (focus && focus != form_ && !focus->objectName().isEmpty())
      writeProfileText(section, kKeyActiveControl, focus->objectName());
  }
  ini_->writeBool(section, kKeyVisible, destroying_);
}

void TFormPlacement::LoadWindowSettings() {
  saved_ = false;
  withIniFile([this] {
    if (options_.testFlag(fpPosition) && !placeHeld_)
      readPosition();
    if (options_.testFlag(fpState) && !placeHeld_)
      readState();
    form_->update();
    restored_ = true;
    restoreExtra();
    // Direct: what the handler throws abandons the whole restore.
    if (OnRestorePlacement)
      OnRestorePlacement(this);
    if (options_.testFlag(fpActiveControl))
      restoreActiveControl();
  });
  placer_.adjustMaxPosition();
}

void TFormPlacement::readPosition() {
  const QString section = resolvedIniSection();
  const ScreenMetrics screen = currentScreen();
  const QString suffix = screenSuffix(screen);
  WindowPlacement p = placer_.placement();
  if (!form_->isVisible())
    p.showCmd = SwHide;
  p.flags = ini_->readInteger(section, kKeyFlags, p.flags);

  const auto readKey = [&](const QString &key) {
    const QString sized = ini_->readString(section, key + suffix, QString());
    return sized.isEmpty() ? ini_->readString(section, key, QString()) : sized;
  };
  bool found = false;
  if (const QString text = readKey(kKeyMinMaxPos); !text.isEmpty()) {
    const Words words(text);
    p.minPosition = {words.at(0, 0), words.at(1, 0)};
    p.maxPosition = {words.at(2, 0), words.at(3, 0)};
    found = true;
  }
  const QPoint at = form_->pos();
  const QSize size = form_->frameGeometry().size();
  if (const QString text = readKey(kKeyNormPos); !text.isEmpty()) {
    const Words words(text);
    p.normal = {words.at(0, at.x()), words.at(1, at.y()), words.at(2, at.x() + size.width()),
                words.at(3, at.y() + size.height())};
    found = true;
  }
  const int pixelsPerInch = ini_->readInteger(section, kKeyPixelsPerInch, screen.pixelsPerInch);
  if (!found || pixelsPerInch != screen.pixelsPerInch)
    return;
  if (!placer_.isSizeable()) {
    // A fixed-size window keeps its size; only its position comes back.
    p.normal.Right = p.normal.Left + size.width();
    p.normal.Bottom = p.normal.Top + size.height();
  }
  if (p.normal.Right > p.normal.Left)
    placer_.setPlacement(p);
}

void TFormPlacement::readState() {
  const int showCmd = ini_->readInteger(resolvedIniSection(), kKeyShowCmd, 0);
  int state = showCmdToState(showCmd, SwShowNormal);
  // A minimised modal window would block the program with nothing to click.
  if (state == SwShowMinimized && form_->windowModality() != Qt::NonModal)
    state = SwShowNormal;
  placer_.setState(state);
}

void TFormPlacement::restoreActiveControl() {
  const QString name = ini_->readString(resolvedIniSection(), kKeyActiveControl, QString());
  auto *control = qobject_cast<QWidget *>(findComponentCaseBlind(form_, name));
  if (control && control->isEnabled() && !control->isHidden() &&
      control->focusPolicy() != Qt::NoFocus)
    control->setFocus();
}

} // namespace vantor
