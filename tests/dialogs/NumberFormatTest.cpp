// The number texts the dialogs show and accept.

#include "platform/widgets/NumberFormat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

struct Shown
{
    double value;
    const char *text;
};

void PrintTo(const Shown &s, std::ostream *os)
{
    *os << s.text;
}

class GeneralFormat : public ::testing::TestWithParam<Shown>
{
};

TEST_P(GeneralFormat, ShowsFifteenDigitsWithThreeExponentDigits)
{
    EXPECT_EQ(FormatDouble(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, GeneralFormat,
                         ::testing::Values(Shown {68, "68"}, Shown {0.1, "0.1"}, Shown {-10, "-10"},
                                           Shown {0.998, "0.998"}, Shown {-0.25, "-0.25"},
                                           Shown {0.00001, "1e-005"}, Shown {0.0001, "0.0001"},
                                           Shown {1e15, "1e+015"},
                                           Shown {123456789012345, "123456789012345"},
                                           Shown {1.0 / 3, "0.333333333333333"},
                                           Shown {-1.5e-300, "-1.5e-300"}, Shown {0, "0"},
                                           Shown {2.5e100, "2.5e+100"}));

class JuliaFormat : public ::testing::TestWithParam<Shown>
{
};

TEST_P(JuliaFormat, KeepsThePointAndDropsTrailingZeros)
{
    EXPECT_EQ(FormatJuliaNumber(GetParam().value).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, JuliaFormat,
                         ::testing::Values(Shown {-0.745, "-0.745"}, Shown {0.049, "4.9e-002"},
                                           Shown {0.11301, "0.11301"}, Shown {-1.8, "-1.8"},
                                           Shown {0, "0."}, Shown {0.097, "9.7e-002"},
                                           Shown {0.1, "0.1"}, Shown {10, "10."},
                                           Shown {-0.766227, "-0.766227"}, Shown {1e15, "1.e+015"},
                                           Shown {-0.0005, "-5.e-004"},
                                           Shown {123456789012345, "123456789012345."}));

TEST(NumberFields, ReadOneNumberWithBlanksAroundIt)
{
    struct Case
    {
        const char *text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1.5", 1.5},   {" \t1.5\t ", 1.5}, {"-.5", -0.5}, {"+2e3", 2000}, {"5.", 5},
        {"1E-5", 1e-5}, {"0.1", 0.1},       {"", {}},      {"  ", {}},     {"abc", {}},
        {"1.5x", {}},   {"1e", {}},         {"1 2", {}},   {"--1", {}},    {"inf", {}},
        {"nan", {}},    {"0x10", {}},       {"1e999", {}}, {".", {}},      {"1,5", {}},
        {"\n1", {}},    {"+", {}},          {"1e+", {}},   {"1.2.3", {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ParseDouble(QString::fromUtf8(c.text)), c.value) << '"' << c.text << '"';
}

TEST(NumberFields, ReadSignedAndUnsignedIntegers)
{
    EXPECT_EQ(ParseInt(" -12 "), -12);
    EXPECT_EQ(ParseInt("+7"), 7);
    EXPECT_EQ(ParseInt("\t0"), 0);
    EXPECT_EQ(ParseInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt("-2147483648"), std::numeric_limits<int>::min());
    for (const char *bad : {"", "1.0", "12a", "2147483648", "- 1", "1e3", "--1", "+"})
        EXPECT_FALSE(ParseInt(bad)) << bad;

    EXPECT_EQ(ParseUInt("1000"), 1000u);
    EXPECT_EQ(ParseUInt(" 600000\t"), 600000u);
    EXPECT_EQ(ParseUInt("4294967295"), 4294967295u);
    for (const char *bad : {"", " ", "-1", "+1", "1e3", "4294967296", "12 3", "1.0"})
        EXPECT_FALSE(ParseUInt(bad)) << bad;
}

TEST(NumberFields, LeadingNumberReadsTheLongestPrefixOrZero)
{
    EXPECT_EQ(ReadLeadingDouble("0.285"), 0.285);
    EXPECT_EQ(ReadLeadingDouble("  -1.5abc"), -1.5);
    EXPECT_EQ(ReadLeadingDouble("\n 2"), 2.0);
    EXPECT_EQ(ReadLeadingDouble("1e-3x"), 0.001);
    EXPECT_EQ(ReadLeadingDouble("1e"), 1.0);
    EXPECT_EQ(ReadLeadingDouble(".5."), 0.5);
    EXPECT_EQ(ReadLeadingDouble("4.9e-002"), 0.049);
    EXPECT_EQ(ReadLeadingDouble("0."), 0.0);
    EXPECT_EQ(ReadLeadingDouble("abc"), 0.0);
    EXPECT_EQ(ReadLeadingDouble(""), 0.0);
    EXPECT_EQ(ReadLeadingDouble("0x1p3"), 0.0);
    EXPECT_EQ(ReadLeadingDouble("inf"), 0.0);
}

// Bit patterns, so that -0 and 0 tell apart.
std::optional<uint64_t> Bits(std::optional<double> v)
{
    if (!v)
        return std::nullopt;
    return std::bit_cast<uint64_t>(*v);
}

TEST(NumberFields, EdgeTextsKeepTheirMeaning)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kMinSub = std::numeric_limits<double>::denorm_min();
    const std::string zeros400(400, '0');
    struct Case
    {
        std::string text;
        std::optional<double> field; // ParseDouble
        double leading; // ReadLeadingDouble
    };
    const Case cases[] = {
        {"+5", 5, 5},
        {" +.5", 0.5, 0.5},
        {"+-1", {}, 0},
        {"-+1", {}, 0},
        {"++1", {}, 0},
        {"-0", -0.0, -0.0},
        {"+0", 0.0, 0.0},
        {"1e999", {}, kInf},
        {"-1e999", {}, -kInf},
        {"1e99999999999999999999", {}, kInf},
        {"1e-400", 0.0, 0.0},
        {"-1e-400", -0.0, -0.0},
        {"1e-99999999999999999999", 0.0, 0.0},
        {"0e99999", 0.0, 0.0},
        {"1e-310", 1e-310, 1e-310},
        {"4.9406564584124654e-324", kMinSub, kMinSub},
        {"2e-324", 0.0, 0.0},
        {"1.7976931348623157e308", 1.7976931348623157e308, 1.7976931348623157e308},
        {"1.7976931348623159e308", {}, kInf},
        {"0." + zeros400 + "1", 0.0, 0.0},
        {"1" + zeros400, {}, kInf},
        {"1234567890123456789012345678901234567890", 1.2345678901234568e39, 1.2345678901234568e39},
        {"0x10", {}, 0},
        {"0X1p3", {}, 0},
        {"inf", {}, 0},
        {"-inf", {}, 0},
        {"Infinity", {}, 0},
        {"NaN", {}, 0},
        {"nan(1)", {}, 0},
        {"", {}, 0},
        {" ", {}, 0},
        {"\t \t", {}, 0},
        {" \t-2.5 \t", -2.5, -2.5},
        {"\v1", {}, 1},
        {"\r\f1x", {}, 1},
        {"1 ", 1, 1},
        {"1\n", {}, 1},
        {"1e+5", 1e5, 1e5},
        {"1.e3", 1000, 1000},
        {"e3", {}, 0},
        {".e3", {}, 0},
        {"-.", {}, 0},
        {"\xef\xbc\x91", {}, 0}, // a full-width digit
        {"1\xc2\xa0", {}, 1}, // a no-break space after it
    };
    for (const Case &c : cases) {
        const QString text = QString::fromStdString(c.text);
        EXPECT_EQ(Bits(ParseDouble(text)), Bits(c.field)) << '"' << c.text << '"';
        EXPECT_EQ(Bits(ReadLeadingDouble(text)), Bits(c.leading)) << '"' << c.text << '"';
    }
}

TEST(NumberFields, IntegerEdgeTexts)
{
    for (const char *bad : {"+-1", "-+1", "++1", "-", " - ", "0x10", "inf", "9223372036854775808",
                            "-2147483649", "1\n", "\v1", "1 2"})
        EXPECT_FALSE(ParseInt(bad)) << bad;
    EXPECT_EQ(ParseInt("-0"), 0);
    EXPECT_EQ(ParseInt("+0012"), 12);
    EXPECT_EQ(ParseInt(" \t-2147483648\t "), std::numeric_limits<int>::min());
    for (const char *bad : {"+0", "-0", "0x10", "99999999999999999999", "1\n", "\v1"})
        EXPECT_FALSE(ParseUInt(bad)) << bad;
    EXPECT_EQ(ParseUInt("0004294967295"), 4294967295u);
    EXPECT_EQ(ParseUInt("\t0 "), 0u);
}

TEST(NumberFields, ShownTextsReadBackToTheSameValue)
{
    for (double v : {0.1, -0.745, 0.049, 1e-5, 0.09699, -1.67, 1e300, 0.998}) {
        EXPECT_EQ(ParseDouble(FormatDouble(v)), v) << v;
        EXPECT_EQ(ReadLeadingDouble(FormatJuliaNumber(v)), v) << v;
    }
}

} // namespace
