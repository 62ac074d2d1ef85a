#pragma once
// The size list's arithmetic, free of widgets: reading a size from text the way the list does, splitting a
// raster font's size text, and choosing the standard sizes at which a face renders at distinct heights.

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace quillon {

/// The sixteen standard point sizes offered for scalable faces, in list order.
inline constexpr std::array<int, 16> kStandardSizes = {8,  9,  10, 11, 12, 14, 16, 18,
                                                       20, 22, 24, 26, 28, 36, 48, 72};

/// Window and sample-picture heights in twips, normal and while 72 points is selected.
inline constexpr int kWindowHeight = 6315;
inline constexpr int kWindowHeight72 = 6915;
inline constexpr int kPictureHeight = 1275;
inline constexpr int kPictureHeight72 = 1875;

/// Rounds to the nearest integer, halves to even (the rounding every size conversion uses).
long long roundHalfEven(double value);

/// The leading decimal number of text (leading blanks skipped, an optional sign, digits with at most one
/// decimal point), 0 when there is none. Saturates instead of overflowing.
double leadingNumber(const QString& text);

/// leadingNumber rounded half to even and clamped to the int range.
int readSize(const QString& text);

/// The entries a raster record's size text gives, in order: "8,10,,12" style text read as written
/// (duplicates kept, a trailing comma adds nothing, a comma first adds 0 and ends the list).
QStringList rasterSizeEntries(const QString& sizes);

/// Measures the line height (twips) of "E" in a face at a point size; returns a negative value when the
/// measurement fails (that size is then skipped).
using HeightAt = std::function<double(int pointSize)>;

/// The standard sizes whose measured height is strictly greater than at the last size kept.
QStringList scalableSizeEntries(const HeightAt& heightAt);

/// The index ReselectSize ends on for a remembered size among listed entries (chosen > 0, more than one
/// entry): the remembered size if listed, else the largest listed size below it, the first entry when every
/// size is larger, the last when every size is smaller. visited receives every index the walk selects.
int reselectIndex(const QStringList& entries, int chosenSize, std::vector<int>* visited = nullptr);

} // namespace quillon
