#pragma once
// The copies' arrows as a screen reader gets them: a spin button with its value, minimum and maximum and
// the two arrows as Up and Down. Qt knows the control only as a custom widget and tells a reader nothing.

namespace quillon::accessibility {

/// Installs the interface (and the program's other ones); harmless when called again.
void installUpDown();

} // namespace quillon::accessibility
