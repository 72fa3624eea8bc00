#include "gamelist/stringpool.h"

#include "platform/errors.h"

namespace vantor::gamelist {
namespace {

quint32 hashOf(QByteArrayView text) {
  quint32 h = 2166136261u; // FNV-1a: short names, few collisions, cheap
  for (char c : text)
    h = (h ^ quint8(c)) * 16777619u;
  return h;
}

} // namespace

StringPool::StringPool() : spans_{{0, 0}}, slots_(1024, 0) {}

QByteArrayView StringPool::view(quint32 id) const {
  if (id >= spans_.size())
    return {};
  const Span &s = spans_[id];
  return QByteArrayView(arena_.constData() + s.offset, s.length);
}

quint32 StringPool::intern(QByteArrayView text) {
  if (text.isEmpty())
    return 0;
  const quint32 mask = quint32(slots_.size() - 1);
  for (quint32 i = hashOf(text) & mask;; i = (i + 1) & mask) {
    const quint32 id = slots_[i];
    if (id == 0) {
      if (qsizetype(arena_.size()) + text.size() > qsizetype(0xFFFFFFFFu))
        throw Error(QStringLiteral("more text than a game list can hold"));
      const quint32 newId = quint32(spans_.size());
      spans_.push_back({quint32(arena_.size()), quint32(text.size())});
      arena_.append(text);
      slots_[i] = newId;
      if (spans_.size() * 2 > slots_.size())
        grow();
      return newId;
    }
    if (view(id) == text)
      return id;
  }
}

void StringPool::reserve(qsizetype texts, qsizetype bytes) {
  if (texts <= 0)
    return;
  spans_.reserve(size_t(texts));
  arena_.reserve(bytes);
  size_t slotCount = slots_.size();
  while (slotCount < size_t(texts) * 2)
    slotCount *= 2;
  if (slotCount != slots_.size())
    rehash(slotCount);
}

void StringPool::grow() {
  rehash(slots_.size() * 2);
}

void StringPool::rehash(size_t slotCount) {
  std::vector<quint32> table(slotCount, 0);
  const quint32 mask = quint32(table.size() - 1);
  for (quint32 id = 1; id < spans_.size(); ++id) {
    quint32 i = hashOf(view(id)) & mask;
    while (table[i] != 0)
      i = (i + 1) & mask;
    table[i] = id;
  }
  slots_.swap(table);
}

} // namespace vantor::gamelist
