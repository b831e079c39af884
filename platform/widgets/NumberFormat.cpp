#include "platform/widgets/NumberFormat.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <string_view>

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

// End of the longest decimal number starting at pos (sign, digits, optional point and digits,
// optional exponent), or pos itself when there is none.
size_t ScanDecimal(std::string_view s, size_t pos)
{
    size_t i = pos;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return pos;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

locale_t CLocale()
{
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return loc;
}

// Converts a text ScanDecimal accepted; bOverflow tells a value beyond the double range.
double ConvertDecimal(const std::string &number, bool &bOverflow)
{
    errno = 0;
    const double v = strtod_l(number.c_str(), nullptr, CLocale());
    bOverflow = errno == ERANGE && std::isinf(v);
    return v;
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
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

QString FormatInt(int v)
{
    return QString::number(v);
}

QString FormatUInt(uint32_t v)
{
    return QString::number(v);
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
    if (s.empty() || ScanDecimal(s, 0) != s.size())
        return std::nullopt;
    bool bOverflow = false;
    const double v = ConvertDecimal(std::string(s), bOverflow);
    if (bOverflow)
        return std::nullopt;
    return v;
}

std::optional<int> ParseInt(const QString &text)
{
    const std::string utf8 = text.toStdString();
    std::string_view s = TrimBlanks(utf8);
    bool bNegative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        bNegative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    for (char ch : s) {
        if (!IsDigit(ch))
            return std::nullopt;
    }
    // Read the magnitude as 64 bits so that INT_MIN is representable.
    long long magnitude = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), magnitude);
    if (res.ec != std::errc())
        return std::nullopt;
    const long long v = bNegative ? -magnitude : magnitude;
    if (v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

std::optional<uint32_t> ParseUInt(const QString &text)
{
    const std::string utf8 = text.toStdString();
    const std::string_view s = TrimBlanks(utf8);
    if (s.empty())
        return std::nullopt;
    for (char ch : s) {
        if (!IsDigit(ch))
            return std::nullopt;
    }
    uint32_t v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc())
        return std::nullopt;
    return v;
}

double ReadLeadingDouble(const QString &text)
{
    const std::string utf8 = text.toStdString();
    size_t pos = 0;
    while (pos < utf8.size()
           && (IsBlank(utf8[pos]) || utf8[pos] == '\n' || utf8[pos] == '\r' || utf8[pos] == '\v'
               || utf8[pos] == '\f'))
        ++pos;
    const size_t end = ScanDecimal(utf8, pos);
    if (end == pos)
        return 0.0;
    bool bOverflow = false;
    return ConvertDecimal(utf8.substr(pos, end - pos), bOverflow);
}
