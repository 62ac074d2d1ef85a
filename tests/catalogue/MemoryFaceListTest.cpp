// The plain face list orders its entries as the window's sorted list does.
#include "catalogue/MemoryFaceList.h"
#include "support/QtPrint.h"

#include <gtest/gtest.h>

#include <algorithm>

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

} // namespace
} // namespace quillon
