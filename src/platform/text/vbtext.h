#pragma once

#include <QString>

/// How the windows read numbers out of their text boxes.
namespace VbText {
/// The leading number of the text (blanks skipped, sign, digits, a decimal point); 0 when the
/// text does not begin with a number.
double val(const QString &text);
/// val() taken to a 16-bit whole number, halves to the even neighbour; out of range clamps.
qint16 toInt16(const QString &text);
/// val() written back in plain decimal, as SQL text needs it ("2024", "0", "2024.5").
QString plainNumber(const QString &text);
/// Reading a stored setting: a number, or nothing when the text is not one.
bool toSingle(const QString &text, float *out);
bool toInt16Strict(const QString &text, qint16 *out);
bool toBool(const QString &text, bool *out);
} // namespace VbText
