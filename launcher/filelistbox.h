#pragma once

#include <QObject>
#include <QStringList>

namespace vantor {

// The sorted names of the files in one folder that match a wildcard mask, with
// a selected index. The launcher never shows these lists, so this is a plain
// object. Reading never changes the process's current folder; relative
// folders mean the folder the program was started in.
class TFileListBox final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString Directory READ directory WRITE setDirectory)
  Q_PROPERTY(QString Mask READ mask WRITE setMask)
  Q_PROPERTY(int ItemIndex READ itemIndex WRITE setItemIndex)

public:
  explicit TFileListBox(QObject *parent = nullptr);

  const QString &directory() const { return directory_; }
  // Throws InOutError when the folder cannot be entered; nothing changes then.
  void setDirectory(const QString &folder);

  const QString &mask() const { return mask_; }
  void setMask(const QString &mask);

  // Reading happens on first use, as the list window would be created then.
  const QStringList &items();
  int count() { return static_cast<int>(items().size()); }
  QString item(int index) { return items().value(index); }
  // The same names as the file system gave them, in the same order.
  const QList<QByteArray> &nativeItems();

  int itemIndex() const { return itemIndex_; }
  void setItemIndex(int index);

  // Points the list at a folder, or at a folder and a new mask.
  void applyPath(const QString &path);
  // Re-reads the current folder with the current mask.
  void update();

  // Where the busy cursor comes on: the insertion at this index.
  static constexpr int kBusyCursorIndex = 100;

private:
  void read();
  QString fileName() const;

  QString directory_;
  QString mask_ = QStringLiteral("*.*");
  QStringList items_;
  QList<QByteArray> nativeItems_;
  int itemIndex_ = -1;
  bool read_ = false;
};

} // namespace vantor
