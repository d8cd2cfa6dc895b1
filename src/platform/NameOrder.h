#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <utility>
#include <vector>

namespace vashtem {

// The order of names in every listing and in the walk: names decoded from UTF-8
// (invalid bytes as replacement characters) are compared code point by code point after
// Unicode simple case folding, as QString::compare with Qt::CaseInsensitive folds;
// names equal that way are ordered by their raw bytes.
bool nameLess(QByteArrayView a, QByteArrayView b);

// The positions of names in the order of nameLess. Each name is folded once, into a key
// that compares bytewise, rather than again at every comparison; a long list is sorted in
// parts on every core and merged.
std::vector<quint32> nameOrder(const std::vector<QByteArrayView> &names);

// Sorts items by their names (nameOf(item) gives one) as nameLess orders them.
template<typename Item, typename NameOf>
void sortByName(std::vector<Item> &items, NameOf nameOf)
{
    std::vector<QByteArrayView> names;
    names.reserve(items.size());
    for (const Item &item : items)
        names.push_back(nameOf(item));
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (const quint32 index : nameOrder(names))
        sorted.push_back(std::move(items[index]));
    items = std::move(sorted);
}

} // namespace vashtem
