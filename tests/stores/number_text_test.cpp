#include "stores/number_text.h"

#include <gtest/gtest.h>

namespace keydeck {
namespace {

struct UnsignedCase {
    const char* text;
    uint32_t expected;
};

TEST(ParseUnsignedDecimal, ReadsLikeThirtyTwoBitWcstoul) {
    const UnsignedCase cases[] = {
        {"0", 0},
        {"42", 42},
        {"  7", 7},
        {"\t9", 9},
        {"+5", 5},
        {"-1", 4294967295u},
        {"-2", 4294967294u},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"-", 0},
        {"0x10", 0},
        {"4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"99999999999999999999", 4294967295u},
        {"-4294967295", 1},
        {"000000000000000000017", 17},
        {"258", 258},
        {"1 2", 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseUnsignedDecimal(c.text), c.expected) << '"' << c.text << '"';
    }
}

struct SignedCase {
    const char* text;
    int32_t expected;
};

TEST(ParseSignedDecimal, ReadsLikeWtol) {
    const SignedCase cases[] = {
        {"17", 17},
        {" -5", -5},
        {"+3", 3},
        {"x", 0},
        {"", 0},
        {"10ms", 10},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSignedDecimal(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(ParseSignedHex, ReadsLikeWcstolBase16) {
    const SignedCase cases[] = {
        {"1A2C", 0x1A2C},
        {"0x1a2c", 0x1A2C},
        {"0X1A2C", 0x1A2C},
        {"1a2cZ", 0x1A2C},
        {"6700", 0x6700},
        {"  6700", 0x6700},
        {"-1", -1},
        {"-0x10", -16},
        {"xyz", 0},
        {"", 0},
        {"0x", 0},
        {"0xg", 0},
        {"7FFFFFFF", 0x7FFFFFFF},
        {"FFFFFFFF", 0x7FFFFFFF},
        {"-80000000", -2147483647 - 1},
        {"+ff", 255},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSignedHex(c.text), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace keydeck
