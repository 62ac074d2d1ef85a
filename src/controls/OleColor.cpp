#include "controls/OleColor.h"

#include <algorithm>

namespace quillon {

std::optional<std::uint32_t> OleColor::fromText(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const QString digits = t.mid(2);
        if (digits.isEmpty() || digits.size() > 8) return std::nullopt;
        const std::uint32_t v = digits.toUInt(&ok, 16);
        return ok ? std::optional(v) : std::nullopt;
    }
    if (t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        const qulonglong v = t.mid(2).toULongLong(&ok, 8);
        return ok && v <= 0xFFFFFFFFull ? std::optional(std::uint32_t(v)) : std::nullopt;
    }
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok || v < -2147483648LL || v > 0xFFFFFFFFLL) return std::nullopt;
    return std::uint32_t(v);
}

std::optional<std::uint32_t> OleColor::fromVariant(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::QByteArray: {
        // Stored as a colour literal is written, with its closing "&".
        QString text = value.toString().trimmed();
        if (text.endsWith(u'&')) text.chop(1);
        return fromText(text);
    }
    default:
        break;
    }
    bool ok = false;
    const qlonglong v = value.toLongLong(&ok);
    if (!ok || v < -2147483648LL || v > 0xFFFFFFFFLL) return std::nullopt;
    return std::uint32_t(v);
}

QColor OleColor::toQColor(std::uint32_t colour, const QPalette& palette)
{
    if ((colour & 0x80000000u) == 0)
        return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
    // The Windows system colour indexes, each on the palette role that plays the same part.
    switch (colour & 0xFF) {
    case 0:  // scroll bar
    case 10: // active border
    case 11: // inactive border
    case 15: // button face
        return palette.color(QPalette::Active, QPalette::Button);
    case 1:  // desktop
    case 12: // application workspace
    case 3:  // inactive title
        return palette.color(QPalette::Active, QPalette::Mid);
    case 2:  // active title
    case 13: // highlight
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 9:  // title text
    case 14: // highlighted text
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 4: // menu
        return palette.color(QPalette::Active, QPalette::Window);
    case 5: // window background
        return palette.color(QPalette::Active, QPalette::Base);
    case 6:  // window frame
    case 21: // dark shadow
        return palette.color(QPalette::Active, QPalette::Shadow);
    case 7:  // menu text
    case 19: // inactive title text
        return palette.color(QPalette::Active, QPalette::WindowText);
    case 8: // window text
        return palette.color(QPalette::Active, QPalette::Text);
    case 16: // button shadow
        return palette.color(QPalette::Active, QPalette::Dark);
    case 17: // grey text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::Active, QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Active, QPalette::Light);
    case 22: // three-dimensional light
        return palette.color(QPalette::Active, QPalette::Midlight);
    case 23: // tooltip text
        return palette.color(QPalette::Active, QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::Active, QPalette::ToolTipBase);
    default:
        return palette.color(QPalette::Active, QPalette::WindowText);
    }
}

std::uint32_t OleColor::rgb(int red, int green, int blue)
{
    auto cap = [](int v) { return std::uint32_t(std::clamp(v, 0, 255)); };
    return cap(red) | (cap(green) << 8) | (cap(blue) << 16);
}

} // namespace quillon
