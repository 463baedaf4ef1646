#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "workspace/ParseOptionalInt64.h"

namespace lq {
namespace {

TEST(ParseOptionalInt64Test, AcceptsOnlyAWholeDecimalIntegerInRange) {
    struct Case {
        const char* text;
        std::optional<int64_t> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-5", -5},
        {"007", 7},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"+5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"12x", std::nullopt},
        {"7a", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
        {"--1", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseOptionalInt64(std::optional<std::string>(c.text)), c.expected) << '"' << c.text << '"';
    }
    EXPECT_EQ(ParseOptionalInt64(std::optional<std::string>()), std::nullopt);
    // A text with an embedded NUL is not a number, however its first part reads.
    EXPECT_EQ(ParseOptionalInt64(std::string_view("12\0", 3)), std::nullopt);
}

}  // namespace
}  // namespace lq
