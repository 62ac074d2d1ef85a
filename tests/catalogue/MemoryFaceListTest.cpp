// The plain face list orders its entries as the window's sorted list does.
#include "catalogue/MemoryFaceList.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace quillon {
namespace {

TEST(MemoryFaceList, SortsIgnoringCaseAndKeepsEqualNamesInTheOrderAdded)
{
    const QStringList added{"verdana", "Arial", "Émile", "ÉMILE", "VERDANA", "émile",
                            "Zapf",    "arial", "Ärger", "apple", "Ab",      "ab",
                            "a",       "Ω",     "ω",     "b",     "Arial2",  ""};
    MemoryFaceList list;
    for (const QString& name : added) list.addItem(name);

    QStringList expected = added;
    std::stable_sort(expected.begin(), expected.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(list.items(), expected);
    EXPECT_EQ(list.itemText(1), "a");
    EXPECT_EQ(list.count(), added.size());
}

TEST(MemoryFaceList, RemovingEntriesKeepsTheSelectionOnItsEntry)
{
    MemoryFaceList list;
    for (const char* name : {"a", "b", "c", "d"}) list.addItem(name);
    list.setListIndex(2);
    list.removeItem(0);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_EQ(list.itemText(list.listIndex()), "c");
    list.removeItem(1);
    EXPECT_EQ(list.listIndex(), -1);
    list.removeItem(7); // out of range: nothing happens
    EXPECT_EQ(list.items(), (QStringList{"b", "d"}));
}

TEST(MemoryFaceList, AddsAndRemovalsInAnyOrderMatchInsertingOneByOne)
{
    // The reference inserts each name after its equals and erases in place; the list defers both.
    QStringList reference;
    MemoryFaceList list;
    std::uint32_t seed = 12345;
    const auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    const QStringList names{"Noto Sans", "noto sans", "Arial", "DejaVu Sans", "arial", "Zapf", "Émile"};
    for (int step = 0; step < 2000; ++step) {
        const std::uint32_t what = next(10);
        if (what < 6 || reference.isEmpty()) {
            const QString name = names.at(next(names.size())) + QString::number(next(3));
            reference.insert(std::upper_bound(reference.begin(), reference.end(), name,
                                              [](const QString& a, const QString& b) {
                                                  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
                                              }),
                             name);
            list.addItem(name);
        } else {
            // Anywhere: the gap a removal leaves travels both ways.
            const int index = static_cast<int>(next(reference.size()));
            reference.removeAt(index);
            list.removeItem(index);
        }
        if (step % 7 == 0) {
            ASSERT_EQ(list.count(), reference.size()) << step;
            const int probe = reference.isEmpty() ? -1 : static_cast<int>(next(reference.size()));
            if (probe >= 0) {
                ASSERT_EQ(list.itemText(probe), reference.at(probe)) << step;
            }
        }
    }
    EXPECT_EQ(list.items(), reference);
}

} // namespace
} // namespace quillon
