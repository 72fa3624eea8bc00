#pragma once

#include "settings/formplacement.h"

#include <QMetaProperty>
#include <QStringList>

namespace vantor {

// A placement that also keeps chosen properties of the window's controls:
// each `StoredProps` entry is "component.property", saved under the key
// component_property and restored in list order.
class TFormStorage final : public TFormPlacement {
  Q_OBJECT
  Q_PROPERTY(QStringList StoredProps READ storedProps WRITE setStoredProps)

public:
  using TFormPlacement::TFormPlacement;

  const QStringList &storedProps() const { return storedProps_; }
  void setStoredProps(const QStringList &props) { storedProps_ = props; }

protected:
  void saveExtra() override;
  void restoreExtra() override;

private:
  struct Target {
    QObject *component = nullptr;
    QMetaProperty property;
  };
  Target resolve(const QString &entry) const;
  void storeProperty(QObject *object, const QMetaProperty &property, const QString &section,
                     const QString &prefix, int depth);
  void restoreProperty(QObject *object, const QMetaProperty &property, const QString &section,
                       const QString &prefix, int depth);
  void storeCollection(QObject *object, const QMetaProperty &property, const QString &section,
                       int depth);
  void restoreCollection(QObject *object, const QMetaProperty &property, const QString &section,
                         int depth);

  QStringList storedProps_;
};

// Gives `form` its storage, named FormStorage1, with the settings-file section,
// options and stored properties; the file is the default settings file.
TFormStorage *addFormStorage(TForm *form, const QString &section,
                             TFormPlacement::PlacementOptions options,
                             const QStringList &storedProps = {});

} // namespace vantor
