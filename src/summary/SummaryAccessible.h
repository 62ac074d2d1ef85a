#pragma once
// The summary's picture as a screen reader gets it: a list of the rows on show, each item named by its
// face, the top row the current one. The picture itself is only pixels; without this a reader finds a
// nameless, empty widget where sixteen faces are drawn.

class QWidget;

namespace quillon {

class Summary;

namespace accessibility {

/// Installs the picture's interface (and the program's other ones); harmless when called again.
void installSummary();
/// Tells a reader that the page on show changed: the list's items have new names and the top row is the
/// current one. Call after each drawing of the page.
void summaryPageChanged(QWidget& picture);

} // namespace accessibility
} // namespace quillon
