#include "launcher/aboutwindow.h"

#include "controls/colors.h"
#include "controls/fonts.h"
#include "controls/image.h"
#include "controls/maskedpicture.h"
#include "controls/picbtn.h"
#include "controls/shadowlabel.h"
#include "controls/urllabel.h"
#include "settings/formstorage.h"
#include "skins/skins.h"

#include <QKeyEvent>

namespace vantor {
namespace {

constexpr int kClientWidth = 315;
constexpr int kClientHeight = 222;
constexpr QPoint kFirstPlace{263, 190};

struct LinkSetup {
  const char *name;
  QPoint place;
  TURLLabel::TLabelType type;
  const char *caption;
  const char *hint;
};

constexpr LinkSetup kLinks[] = {
    {"URLLabel1", {76, 200}, TURLLabel::hmHTTP, "www.vantor.example/arcade", "Home Page"},
    {"URLLabel2", {112, 180}, TURLLabel::hmHTTP, "vantor.example", "Home Page"},
    {"URLLabel3", {116, 152}, TURLLabel::hmMAIL, "launcher@vantor.example", "Mail me"},
};

QFont linkFace() {
  QFont face = uiFont(13, true);
  face.setUnderline(true);
  return face;
}

} // namespace

Tfrmabout::Tfrmabout(QWidget *parent) : TForm(parent) {
  setObjectName(QStringLiteral("frmabout"));
  setWindowTitle(QStringLiteral("About"));
  setFixedSize(kClientWidth, kClientHeight);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
  setAutoFillBackground(true);
  move(kFirstPlace);

  skins::init();
  // The artwork comes first so the other controls lie above it; the window
  // is dragged by it.
  Image1 = new TImage(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, 320, 146);
  Image1->setAutoSize(true);
  Image1->setPicture(skins::image(QStringLiteral("aboutart")));
  Image1->OnMouseDown = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x,
                               int y) { Image1MouseDown(s, b, m, x, y); };
  Image1->OnMouseMove = [this](QObject *s, Qt::KeyboardModifiers m, int x, int y) {
    Image1MouseMove(s, m, x, y);
  };
  Image1->OnMouseUp = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
    Image1MouseUp(s, b, m, x, y);
  };

  buildLinks();
  buildExit();
  FormStorage1 = addFormStorage(this, QStringLiteral("about"), TFormPlacement::fpPosition);
}

Tfrmabout::~Tfrmabout() {
  fireDestroy();
}

void Tfrmabout::buildLinks() {
  TURLLabel **fields[] = {&URLLabel1, &URLLabel2, &URLLabel3};
  static_assert(std::size(kLinks) == std::size(fields));
  for (std::size_t i = 0; i < std::size(kLinks); ++i) {
    const LinkSetup &s = kLinks[i];
    auto *label = new TURLLabel(this);
    label->setObjectName(QLatin1String(s.name));
    label->setLabelType(s.type);
    label->setURLColStd(clYellow);
    label->setURLColPre(clWhite);
    label->setCaption(QLatin1String(s.caption));
    label->setLinkFont({linkFace(), clYellow});
    label->setTransparent(true);
    label->setHint(QLatin1String(s.hint));
    label->setShowHint(true);
    label->move(s.place);
    *fields[i] = label;
  }

  auto caption = [this](const char *name, const QString &text, QPoint place, TColor color) {
    auto *l = new TShadowLabel(this);
    l->setObjectName(QLatin1String(name));
    l->move(place);
    l->setFont(uiFont(13, true));
    l->setFontColor(color);
    l->setShadowSize(0);
    l->setTransparent(true);
    l->setCaption(text);
    return l;
  };
  ShadowLabel1 = caption("ShadowLabel1", QStringLiteral("Vantor team"), {8, 152}, clYellow);
  ShadowLabel2 = caption("ShadowLabel2", QStringLiteral("v" VANTOR_VERSION), {276, 128}, clBlack);
}

// Frame numbers are clamped against the count in force: states first.
void Tfrmabout::buildExit() {
  exitabout = new TPicBtn(this);
  exitabout->setObjectName(QStringLiteral("exitabout"));
  exitabout->maskedPicture()->setMaskColor(clWhite);
  exitabout->maskedPicture()->setPicture(skins::image(QStringLiteral("exitabout")));
  exitabout->setMasked(true);
  exitabout->setBtnState(1);
  exitabout->setNextState(0);
  exitabout->setNumStates(3);
  exitabout->setsActive(1);
  exitabout->setsInActive(2);
  exitabout->setsDisabled(3);
  exitabout->setsDown(2);
  exitabout->setDrawFocus(false);
  exitabout->setMonitoring(false);
  exitabout->setFirstWait(250);
  exitabout->setRepeate(55);
  exitabout->setToolTip(QStringLiteral("Guess"));
  exitabout->move(286, 4);
  exitabout->OnCommand = [this](QObject *s) { exitaboutCommand(s); };
}

void Tfrmabout::exitaboutCommand(QObject *) {
  // The held button repeats its command; once the window is gone there is
  // nothing more to close or save.
  if (!isVisible())
    return;
  close();
}

void Tfrmabout::Image1MouseDown(QObject *sender, Qt::MouseButton, Qt::KeyboardModifiers, int x,
                                int y) {
  drag_.press(qobject_cast<QWidget *>(sender), x, y);
}

void Tfrmabout::Image1MouseMove(QObject *sender, Qt::KeyboardModifiers, int x, int y) {
  if (auto *control = qobject_cast<QWidget *>(sender))
    drag_.move(control, x, y);
}

void Tfrmabout::Image1MouseUp(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
  drag_.release();
}

void Tfrmabout::keyPressEvent(QKeyEvent *event) {
  if (event->key() == Qt::Key_Escape) {
    close();
    return;
  }
  TForm::keyPressEvent(event);
}

} // namespace vantor
