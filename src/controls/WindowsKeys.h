#pragma once
// The controls report keys and mouse buttons as their hosts expect them: Windows virtual-key codes
// (13 Enter, 38 Up, 67 C, ...), shift states (1 Shift, 2 Ctrl, 4 Alt, added up) and mouse button codes
// (1 left, 2 right, 4 middle, added up).

#include <Qt>

#include <functional>

class QKeyEvent;
class QWidget;

namespace quillon {

struct WindowsKeys {
    /// Escape: closes a secondary window, and with Shift, Ctrl or Alt the whole program.
    static constexpr short kEscape = 27;

    /// The virtual-key code of the key that was pressed; 0 for a key Windows has no code for. A shifted
    /// symbol reports the key it sits on (on a US layout), since Windows codes name keys, not characters.
    static short keyCode(const QKeyEvent& event);
    static short keyCode(int qtKey, Qt::KeyboardModifiers modifiers);
    static short shiftState(Qt::KeyboardModifiers modifiers);
    /// The character code a key types, as a text box's character handler receives it (8 Backspace, 13 Enter,
    /// 1 to 26 for Ctrl with a letter, 127 Ctrl+Backspace, else the key's text); -1 for a key that types
    /// none. Delete, the arrows and the function keys type nothing, whatever text the platform attaches.
    static int typedCharacter(const QKeyEvent& event);
    static short mouseButtons(Qt::MouseButtons buttons);
    /// Escape in a secondary window: closes it and, with Shift, Ctrl or Alt held (`shift` > 0), ends the
    /// program through `endProgram`, which is taken by value because closing may delete the window that
    /// holds it. False, and nothing done, for any other key.
    static bool closeOnEscape(QWidget& window, int keyCode, int shift, std::function<void()> endProgram);
};

} // namespace quillon
