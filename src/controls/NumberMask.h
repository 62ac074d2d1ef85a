#pragma once
// The positional picture mask of the numeric entry box, in plain functions so the box, its host, tests
// and quillon-inspect share one engine. It does not use the platform's number formatting: digit places
// ("0", "#") are filled from the right, the fraction is copied from the left and cut off (never rounded),
// digits that do not fit are dropped, unfilled "#" places and the separators before the first digit turn
// blank, and a sign is closed up against the number.

#include <QString>
#include <QVariant>

namespace quillon {

struct CleanNumber {
    QString text;              ///< optional leading "-", digits, at most one "."
    bool isNonNegative = true; ///< not below 0, or its sign was removed for a positive-only field
};

struct MaskedNumber {
    QString text;     ///< what the field shows
    QString maskText; ///< the section of the format used, with a "-" put in front when one was added
};

struct NumberMask {
    /// The longest text a user may type under format: the longer section's length, a negative
    /// section's closing ")" not counted; 0 for an empty format (no limit).
    static int ParseFormat(const QString& format);

    /// Keeps digits, the first ".", and a "-" or "(" standing first (as "-"); drops the rest. A
    /// negative number loses its sign when positiveOnly is set.
    static CleanNumber UnformatNumeric(const QString& text, bool positiveOnly);

    /// Masks a clean number (as UnformatNumeric gives it) with format: one section, or a positive and a
    /// negative section split at the first ";".
    static MaskedNumber ApplyFormat(const QString& digits, const QString& format, bool isNonNegative,
                                    bool positiveOnly);

    /// The number a text starts with: blanks skipped, an optional sign, digits, a "." and more digits,
    /// read up to the first character that cannot continue it. Empty or no number gives 0; so
    /// "1,234.50" is 1 and "(5.00)" is 0.
    static double leadingValue(const QString& text);

    /// A value as the text the mask reads: text unchanged, a number in plain decimal with "." as the
    /// point and no grouping or exponent (the shortest text that reads back as the same number).
    static QString valueText(const QVariant& value);
};

} // namespace quillon
