#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace vexilo {

// The decimal number at the start of a text: optional sign, digits, optional fraction.
// Blanks anywhere are skipped; reading stops at the first other character; 0 when there is
// no number. A value too large for a double reads as infinity with its sign.
double readNumber(QStringView text);

// The same, or nothing when the text holds no digit there: "0" is a number, "abc" is not.
std::optional<double> numberAtStart(QStringView text);

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// The value as a 32-bit integer, or nothing when it is not finite or outside the range.
std::optional<qint32> toInt32(double value);

// readNumber, rounded half to even, as a 32-bit integer; nothing when it does not fit.
std::optional<qint32> wholeNumber(QStringView text);

// A whole number as the settings file writes it: a blank before zero and positive values.
QString settingsNumber(qint64 value);

} // namespace vexilo
