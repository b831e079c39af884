#pragma once
// Number texts of the dialogs, always in the C locale whatever the user's locale.

#include <QString>
#include <cstdint>
#include <optional>

// 15 significant digits, general format, three exponent digits: 0.00001 -> "1e-005",
// 0.1 -> "0.1", 12 -> "12", 1e15 -> "1e+015".
QString FormatDouble(double v);
// The Julia dialog's own format: 15 significant digits, fixed when 0.1 <= |v| < 1e15 or
// v == 0, else one digit, point, fraction, e, sign, three exponent digits; trailing zeros of
// the fraction dropped, the point kept: -0.745 -> "-0.745", 0.049 -> "4.9e-002", 0 -> "0.".
QString FormatJuliaNumber(double v);

// Field readers: one number with optional blanks or tabs around it, nothing else; empty
// results for anything else (empty text, trailing letters, out of range).
// Decimal: optional sign, digits, optional point and digits, optional exponent.
std::optional<double> ParseDouble(const QString &text);
// Optional sign and digits.
std::optional<int> ParseInt(const QString &text);
// Digits only.
std::optional<uint32_t> ParseUInt(const QString &text);

// The longest decimal prefix after leading white space, as strtod reads it in the C locale
// (no hex, no inf/nan); 0 when the text does not start with a number.
double ReadLeadingDouble(const QString &text);
