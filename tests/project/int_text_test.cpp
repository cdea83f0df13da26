#include "project/int_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>
#include <string>

namespace {

using strovane::project::intTextOr;
using strovane::project::parseIntText;

struct IntCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

std::ostream& operator<<(std::ostream& os, const IntCase& c) {
    return os << '"' << c.text << '"';
}

constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
constexpr auto kMax = std::numeric_limits<std::int32_t>::max();

class IntTextTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(IntTextTest, ParsesByTheRule) {
    const IntCase& c = GetParam();
    EXPECT_EQ(parseIntText(c.text), c.expected);
    // The defaulting form agrees, with a default no case produces.
    EXPECT_EQ(intTextOr(c.text, 4711), c.expected.value_or(4711));
}

INSTANTIATE_TEST_SUITE_P(
    Decimal, IntTextTest,
    ::testing::Values(IntCase{"0", 0}, IntCase{"00", 0}, IntCase{"10", 10}, IntCase{"007", 7},
                      IntCase{"   42", 42}, IntCase{"  -42", -42}, IntCase{" +42", 42}, IntCase{"+0", 0},
                      IntCase{"-0", 0}, IntCase{"2147483647", kMax}, IntCase{"-2147483648", kMin},
                      IntCase{"2147483648", std::nullopt}, IntCase{"-2147483649", std::nullopt},
                      IntCase{"+2147483648", std::nullopt}, IntCase{"99999999999", std::nullopt},
                      IntCase{"000000000000002147483647", kMax}));

INSTANTIATE_TEST_SUITE_P(
    Hexadecimal, IntTextTest,
    ::testing::Values(IntCase{"$181", 385}, IntCase{"x181", 385}, IntCase{"X181", 385},
                      IntCase{"0x181", 385}, IntCase{"0X181", 385}, IntCase{"0xabCD", 0xABCD},
                      IntCase{"  $10", 16}, IntCase{"-$10", -16}, IntCase{"+0x10", 16}, IntCase{"-0x1", -1},
                      IntCase{"$7FFFFFFF", kMax}, IntCase{"$80000000", kMin}, IntCase{"$FFFFFFFF", -1},
                      IntCase{"-$FFFFFFFF", 1}, IntCase{"-$80000000", kMin},
                      IntCase{"0x00000000FF", 255}, IntCase{"$100000000", std::nullopt},
                      IntCase{"0x123456789", std::nullopt}, IntCase{"$0", 0}, IntCase{"0x0", 0}));

INSTANTIATE_TEST_SUITE_P(
    NotIntegerText, IntTextTest,
    ::testing::Values(IntCase{"", std::nullopt}, IntCase{"   ", std::nullopt}, IntCase{"-", std::nullopt},
                      IntCase{"+", std::nullopt}, IntCase{"$", std::nullopt}, IntCase{"x", std::nullopt},
                      IntCase{"X", std::nullopt}, IntCase{"0x", std::nullopt}, IntCase{"-0x", std::nullopt},
                      IntCase{"12 ", std::nullopt}, IntCase{"1 2", std::nullopt}, IntCase{"- 5", std::nullopt},
                      IntCase{"+-5", std::nullopt}, IntCase{"--5", std::nullopt}, IntCase{"\t5", std::nullopt},
                      IntCase{"12a", std::nullopt}, IntCase{"0x1G", std::nullopt},
                      IntCase{"$-1", std::nullopt}, IntCase{"0x 1", std::nullopt}, IntCase{"1.0", std::nullopt},
                      IntCase{"1e3", std::nullopt}, IntCase{"0b101", std::nullopt},
                      IntCase{"0xx1", std::nullopt}, IntCase{"h10", std::nullopt}));

TEST(IntTextOrTest, KeepsCallersDefaultForEveryNonNumber) {
    EXPECT_EQ(intTextOr("", -1), -1);
    EXPECT_EQ(intTextOr("0x", 10000), 10000);
    // A number equal to the default is still a number.
    EXPECT_EQ(intTextOr("-1", 7), -1);
}

} // namespace
