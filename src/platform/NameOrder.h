// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QtGlobal>

#include <functional>
#include <utility>
#include <vector>

namespace vashtem {

// The order of names in every listing and in the walk: names decoded from UTF-8
// (invalid bytes as replacement characters) are compared code point by code point after
// Unicode simple case folding, as QString::compare with Qt::CaseInsensitive folds;
// names equal that way are ordered by their raw bytes.
bool nameLess(QByteArrayView a, QByteArrayView b);

// The positions of names in the order of nameLess. Each name is folded once, into a key
// that compares bytewise, rather than again at every comparison; a long list is cut into
// ranges of keys, one per core, which are sorted side by side.
// The names come by their positions, 0 to count - 1, from wherever they are kept.
using NameAt = std::function<QByteArrayView(quint32 position)>;
std::vector<quint32> nameOrder(size_t count, const NameAt &names);
inline std::vector<quint32> nameOrder(const std::vector<QByteArrayView> &names)
{
    return nameOrder(names.size(), [&names](quint32 position) { return names[position]; });
}

// Puts the item at position order[k] at k, for every k: in place, one cycle of the
// permutation at a time, rather than into a second list.
template<typename Items>
void arrangeInOrder(Items &items, std::vector<quint32> order)
{
    for (size_t start = 0; start < order.size(); ++start) {
        if (order[start] == start)
            continue;
        auto held = std::move(items[start]);
        size_t at = start;
        while (order[at] != start) {
            const size_t from = order[at];
            items[at] = std::move(items[from]);
            order[at] = quint32(at);
            at = from;
        }
        items[at] = std::move(held);
        order[at] = quint32(at);
    }
}

// Sorts items by their names (nameOf(item) gives one) as nameLess orders them.
template<typename Item, typename NameOf>
void sortByName(std::vector<Item> &items, NameOf nameOf)
{
    std::vector<QByteArrayView> names;
    names.reserve(items.size());
    for (const Item &item : items)
        names.push_back(nameOf(item));
    arrangeInOrder(items, nameOrder(names));
}

} // namespace vashtem
