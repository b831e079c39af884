#include "platform/widgets/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <utility>

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

// For a decimal number from_chars found out of range: true when it is too large (it reads as
// infinity), false when too small (zero). Such a number is far from 1, so its order of
// magnitude decides.
bool IsTooLarge(std::string_view s)
{
    const size_t nExponentAt = std::min(s.find_first_of("eE"), s.size());
    const std::string_view mantissa = s.substr(0, nExponentAt);
    const size_t nPoint = std::min(mantissa.find('.'), mantissa.size());
    const size_t nFirst = mantissa.find_first_not_of("0.");
    if (nFirst == std::string_view::npos)
        return false;
    // 10^e10 <= |mantissa| < 10^(e10 + 1)
    long long e10 = nFirst < nPoint ? static_cast<long long>(nPoint - nFirst) - 1
                                    : -static_cast<long long>(nFirst - nPoint);
    size_t i = nExponentAt + 1;
    const bool bNegative = i < s.size() && s[i] == '-';
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    long long exponent = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i)
        exponent = std::min(exponent * 10 + (s[i] - '0'), 1'000'000'000LL);
    return e10 + (bNegative ? -exponent : exponent) >= 0;
}

// The decimal number at the start of s, as strtod reads it in the C locale but without hex,
// inf or nan: its value (+-infinity beyond the range, +-0 below it) and where it ends, or null
// when s does not start with one.
std::pair<double, const char *> ReadDecimal(std::string_view s)
{
    const char *const end = s.data() + s.size();
    // from_chars takes a '-' but no '+'.
    const bool bPlus = !s.empty() && s.front() == '+';
    const char *number = bPlus ? s.data() + 1 : s.data();
    const char *digits = !bPlus && number != end && *number == '-' ? number + 1 : number;
    if (digits == end || !(IsDigit(*digits) || *digits == '.'))
        return {0.0, nullptr};
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(number, end, v, std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return {0.0, nullptr};
    if (ec == std::errc::result_out_of_range) {
        v = IsTooLarge(std::string_view(digits, size_t(ptr - digits)))
            ? std::numeric_limits<double>::infinity()
            : 0.0;
        if (digits != number)
            v = -v;
    }
    return {v, ptr};
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// s as decimal digits and nothing else, read into T; empty when s is empty, holds anything
// else or is out of T's range.
template<class T> std::optional<T> ReadDigits(std::string_view s)
{
    if (s.empty() || !std::all_of(s.begin(), s.end(), IsDigit))
        return std::nullopt;
    T v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc())
        return std::nullopt;
    return v;
}

// Pads the exponent of a printf-style "...e-05" to three digits.
std::string WidenExponent(std::string s)
{
    const size_t e = s.find('e');
    if (e == std::string::npos)
        return s;
    const size_t digitsAt = e + 2; // after 'e' and its sign
    const size_t nDigits = s.size() - digitsAt;
    if (nDigits < 3)
        s.insert(digitsAt, 3 - nDigits, '0');
    return s;
}

std::string ToChars(double v, std::chars_format fmt, int precision)
{
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, fmt, precision);
    return std::string(buf, res.ptr);
}

void DropFractionZeros(std::string &mantissa)
{
    if (mantissa.find('.') == std::string::npos)
        return;
    while (!mantissa.empty() && mantissa.back() == '0')
        mantissa.pop_back();
}

} // namespace

QString FormatDouble(double v)
{
    if (!std::isfinite(v))
        return QString::fromStdString(ToChars(v, std::chars_format::general, 15));
    return QString::fromStdString(WidenExponent(ToChars(v, std::chars_format::general, 15)));
}

QString FormatJuliaNumber(double v)
{
    if (v == 0)
        return QStringLiteral("0.");
    if (!std::isfinite(v))
        return QString::fromStdString(ToChars(v, std::chars_format::general, 15));
    // The exponent after rounding to 15 digits decides the form.
    const std::string sci = ToChars(v, std::chars_format::scientific, 14);
    const size_t e = sci.find('e');
    const int exponent = std::atoi(sci.c_str() + e + 1);
    if (exponent >= -1 && exponent < 15) {
        std::string fixed = ToChars(v, std::chars_format::fixed, 14 - exponent);
        if (fixed.find('.') == std::string::npos)
            fixed += '.';
        DropFractionZeros(fixed);
        return QString::fromStdString(fixed);
    }
    std::string mantissa = sci.substr(0, e);
    DropFractionZeros(mantissa);
    return QString::fromStdString(WidenExponent(mantissa + sci.substr(e)));
}

std::optional<double> ParseDouble(const QString &text)
{
    const std::string utf8 = text.toStdString();
    const std::string_view s = TrimBlanks(utf8);
    const auto [v, end] = ReadDecimal(s);
    if (end != s.data() + s.size() || std::isinf(v))
        return std::nullopt;
    return v;
}

std::optional<int> ParseInt(const QString &text)
{
    const std::string utf8 = text.toStdString();
    std::string_view s = TrimBlanks(utf8);
    const bool bNegative = !s.empty() && s.front() == '-';
    if (!s.empty() && (s.front() == '+' || bNegative))
        s.remove_prefix(1);
    // The magnitude in 64 bits, so that INT_MIN is representable.
    const std::optional<long long> magnitude = ReadDigits<long long>(s);
    if (!magnitude)
        return std::nullopt;
    const long long v = bNegative ? -*magnitude : *magnitude;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<uint32_t> ParseUInt(const QString &text)
{
    const std::string utf8 = text.toStdString();
    return ReadDigits<uint32_t>(TrimBlanks(utf8));
}

double ReadLeadingDouble(const QString &text)
{
    const std::string utf8 = text.toStdString();
    const size_t pos = utf8.find_first_not_of(" \t\n\r\v\f");
    return pos == std::string::npos ? 0.0 : ReadDecimal(std::string_view(utf8).substr(pos)).first;
}
