#pragma once
// Accessibility interfaces for the program's own controls, which Qt cannot describe by itself: the round
// button (a push button with its caption and a Press action, where Qt sees a nameless custom widget), the
// numeric entry box (a spin box with its value), and the read-only rich text of the program's windows
// (Qt hands a reader the text with its table and frame marks, U+FDD0 between cells, in it).

namespace quillon::accessibility {

/// Installs the factories of this file and the windows' (accessibility::install); harmless when called
/// again. The controls call it when they are built.
void installControls();

} // namespace quillon::accessibility
