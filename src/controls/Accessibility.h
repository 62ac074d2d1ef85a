#pragma once
// What assistive tools (a screen reader on the desktop's accessibility bus) are told about the program's
// windows and controls. The written layouts stay as they are: names, descriptions and label links are
// additions only a screen reader sees.
//
// The program's own windows are told as windows (or dialogs) named by their titles without the leading
// blank the titles carry; Qt would otherwise report a plain widget window as a nameless "filler", and a
// reader would speak " Quillon" with its blank.

#include <QString>

class QLabel;
class QWidget;

namespace quillon::accessibility {

/// Installs the program's accessibility factories; harmless when called again. The program's windows are
/// the top-level widgets of classes in the namespace quillon.
void install();

/// Names a control: `name` (what a reader speaks for it) and, as its description, its tool tip without
/// the blanks around it. The control's focus proxy (the field inside a compound control, which is what
/// takes the focus) is named the same.
void name(QWidget* control, const QString& name);

/// Links a label to the field it names, so that a reader speaks the label with the field. A label with a
/// mnemonic would also move the focus; the program's field labels have none, so nothing else changes.
void link(QLabel* label, QWidget* field);

/// The text a window is spoken by: its accessible name when set, else its title without blanks around it.
QString windowName(const QWidget& window);

} // namespace quillon::accessibility
