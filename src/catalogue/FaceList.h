#pragma once
// The face list the catalogue fills: the main window's sorted face list in the program, a plain list in
// tests and quillon-inspect. It keeps its entries sorted the way the platform's sorted combo box does.

#include <QString>

namespace quillon {

class FaceList {
public:
    virtual ~FaceList() = default;
    /// Inserts text at its sorted place: after every entry that does not compare greater ignoring case
    /// (QString::compare, Qt::CaseInsensitive), so equal names keep the order they were added in.
    virtual void addItem(const QString& text) = 0;
    virtual int count() const = 0;
    /// The entry's text as added; index in 0..count()-1.
    virtual QString itemText(int index) const = 0;
    /// Removes the entry; later entries move up by one. index in 0..count()-1.
    virtual void removeItem(int index) = 0;
    /// Selects the entry; in the window this runs the list's selection handler at once (the loading guard
    /// makes it do nothing while the catalogue is built). index in 0..count()-1.
    virtual void setListIndex(int index) = 0;
};

} // namespace quillon
