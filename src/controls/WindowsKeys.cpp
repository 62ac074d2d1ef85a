#include "controls/WindowsKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace quillon {

namespace {

struct KeyPair {
    int qtKey;
    short code;
};

// Keys whose Windows code differs from the Qt key value; letters and digits share theirs.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 8},
    {Qt::Key_Tab, 9},
    {Qt::Key_Backtab, 9},
    {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},
    {Qt::Key_Shift, 16},
    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},
    {Qt::Key_Pause, 19},
    {Qt::Key_CapsLock, 20},
    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},
    {Qt::Key_PageUp, 33},
    {Qt::Key_PageDown, 34},
    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},
    {Qt::Key_Left, 37},
    {Qt::Key_Up, 38},
    {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},
    {Qt::Key_Print, 44},
    {Qt::Key_Insert, 45},
    {Qt::Key_Delete, 46},
    {Qt::Key_Help, 47},
    {Qt::Key_Meta, 91},
    {Qt::Key_Menu, 93},
    {Qt::Key_NumLock, 144},
    {Qt::Key_ScrollLock, 145},
    // Punctuation keys, with the shifted symbols of a US layout on the key they share.
    {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},
    {Qt::Key_Equal, 187},
    {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},
    {Qt::Key_Less, 188},
    {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},
    {Qt::Key_Period, 190},
    {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},
    {Qt::Key_Question, 191},
    {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},
    {Qt::Key_BracketLeft, 219},
    {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},
    {Qt::Key_Bar, 220},
    {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},
    {Qt::Key_Apostrophe, 222},
    {Qt::Key_QuoteDbl, 222},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// The numeric keypad has codes of its own.
constexpr KeyPair kKeypad[] = {
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107},  {Qt::Key_Minus, 109}, {Qt::Key_Period, 110},
    {Qt::Key_Comma, 110},    {Qt::Key_Slash, 111}, {Qt::Key_Enter, 13},
};

} // namespace

short WindowsKeys::keyCode(const QKeyEvent& event) { return keyCode(event.key(), event.modifiers()); }

short WindowsKeys::keyCode(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return short(96 + (qtKey - Qt::Key_0));
        for (const KeyPair& k : kKeypad)
            if (k.qtKey == qtKey) return k.code;
    }
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
        return short(qtKey);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return short(112 + (qtKey - Qt::Key_F1));
    for (const KeyPair& k : kKeys)
        if (k.qtKey == qtKey) return k.code;
    return 0;
}

int WindowsKeys::typedCharacter(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers mods = event.modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = (mods & Qt::ControlModifier) != 0;
    const bool alt = (mods & Qt::AltModifier) != 0;
    const int key = event.key();
    if (key == Qt::Key_Backspace) return ctrl ? 127 : 8;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) return ctrl ? 10 : 13;
    if (key == Qt::Key_Escape) return 27;
    // X11 attaches the character 127 to Delete; on the keyboard the program is written for, Delete is a key
    // that types nothing, and a text box acts on it before any character handler could refuse it.
    if (key == Qt::Key_Delete) return -1;
    if (ctrl && !alt) return (key >= Qt::Key_A && key <= Qt::Key_Z) ? key - Qt::Key_A + 1 : -1;
    const QString text = event.text();
    return text.isEmpty() ? -1 : text.at(0).unicode();
}

short WindowsKeys::shiftState(Qt::KeyboardModifiers modifiers)
{
    short state = 0;
    if (modifiers & Qt::ShiftModifier) state |= 1;
    if (modifiers & Qt::ControlModifier) state |= 2;
    if (modifiers & Qt::AltModifier) state |= 4;
    return state;
}

short WindowsKeys::mouseButtons(Qt::MouseButtons buttons)
{
    short code = 0;
    if (buttons & Qt::LeftButton) code |= 1;
    if (buttons & Qt::RightButton) code |= 2;
    if (buttons & Qt::MiddleButton) code |= 4;
    return code;
}

bool WindowsKeys::closeOnEscape(QWidget& window, int keyCode, int shift, std::function<void()> endProgram)
{
    if (keyCode != kEscape) return false;
    window.close();
    if (shift > 0 && endProgram) endProgram();
    return true;
}

} // namespace quillon
