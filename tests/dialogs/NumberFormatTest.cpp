// The number texts the dialogs show and accept.

#include "platform/widgets/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

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

TEST(NumberFields, ShownTextsReadBackToTheSameValue)
{
    for (double v : {0.1, -0.745, 0.049, 1e-5, 0.09699, -1.67, 1e300, 0.998}) {
        EXPECT_EQ(ParseDouble(FormatDouble(v)), v) << v;
        EXPECT_EQ(ReadLeadingDouble(FormatJuliaNumber(v)), v) << v;
    }
}

} // namespace
