#pragma once
// A face list held in memory, for tests and quillon-inspect: the same ordering as the window's list,
// with binary-search insertion so that tens of thousands of faces stay cheap.

#include "catalogue/FaceList.h"

#include <QStringList>

namespace quillon {

class MemoryFaceList final : public FaceList {
public:
    void addItem(const QString& text) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QString itemText(int index) const override { return items_.at(index); }
    void removeItem(int index) override;
    void setListIndex(int index) override { listIndex_ = index; }

    /// The selected entry, -1 when none has been selected or the selected one was removed.
    int listIndex() const { return listIndex_; }
    const QStringList& items() const { return items_; }

private:
    QStringList items_;
    int listIndex_ = -1;
};

} // namespace quillon
