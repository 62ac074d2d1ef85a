#pragma once
// A face list held in memory, for the catalogue build, tests and quillon-inspect: the same ordering as the
// window's list. Tens of thousands of faces must stay cheap, so nothing is moved one entry at a time: added
// names wait apart and are sorted into the list in one merge when it is next read, and removals leave a gap
// that travels with them, so removing the repeats of a list from front to back moves each entry once.

#include "catalogue/FaceList.h"

#include <QStringList>

namespace quillon {

class MemoryFaceList final : public FaceList {
public:
    void addItem(const QString& text) override;
    int count() const override;
    QString itemText(int index) const override;
    void removeItem(int index) override;
    void setListIndex(int index) override { listIndex_ = index; }

    /// The selected entry, -1 when none has been selected or the selected one was removed.
    int listIndex() const { return listIndex_; }
    const QStringList& items() const;

private:
    /// Sorts the waiting names into the list.
    void settle() const;
    /// Closes the gap: the list holds its entries only.
    void compact() const;

    // items_ holds the sorted entries, except for gapLength_ dead ones from gapStart_ on.
    mutable QStringList items_;
    mutable QStringList pending_; // added, not yet sorted in
    mutable qsizetype gapStart_ = 0;
    mutable qsizetype gapLength_ = 0;
    int listIndex_ = -1;
};

} // namespace quillon
