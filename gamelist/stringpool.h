#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace vantor::gamelist {

// Every text of a game list kept once, in one arena: a list names the same
// makers, years and rom names thousands of times. Id 0 is the empty text.
class StringPool final {
public:
  StringPool();

  // Room for about `texts` texts of `bytes` bytes in all, so that a big
  // list does not grow the pool step by step.
  void reserve(qsizetype texts, qsizetype bytes);
  quint32 intern(QByteArrayView text);
  QByteArrayView view(quint32 id) const;
  QString text(quint32 id) const { return QString::fromUtf8(view(id)); }

private:
  struct Span {
    quint32 offset;
    quint32 length;
  };
  void grow();
  void rehash(size_t slotCount);

  QByteArray arena_;
  std::vector<Span> spans_;
  std::vector<quint32> slots_; // open addressing; 0 is a free slot
};

} // namespace vantor::gamelist
