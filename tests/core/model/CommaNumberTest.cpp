#include "model/CommaNumber.h"

#include <gtest/gtest.h>

#include <cmath>

using tarmelo::model::parseCommaNumber;

TEST(CommaNumber, ValuesAndHundredths) {
    struct Case {
        const char* text;
        bool ok;
        double value;
        std::optional<qint64> hundredths;
    } cases[] = {
        {"5", true, 5, 500},
        {"5,6", true, 5.6, 560},
        {"+5,6", true, 5.6, 560},
        {"-0,995", true, -0.995, -100},
        {"0,995", true, 0.995, 100},
        {"0,994", true, 0.994, 99},
        {"11900,005", true, 11900.005, 1190001},
        {",5", true, 0.5, 50},
        {"7,", true, 7, 700},
        {"1,5e2", true, 150, std::nullopt}, // an exponent is no typed amount
        {"1E-1", true, 0.1, std::nullopt},
        {"1234567890123456", true, 1234567890123456.0, std::nullopt}, // more whole digits than cents can hold
        {"", false, 0, std::nullopt},
        {",", false, 0, std::nullopt},
        {"-", false, 0, std::nullopt},
        {"+-1", false, 0, std::nullopt},
        {"1.5", false, 0, std::nullopt},
        {" 1", false, 0, std::nullopt},
        {"1 ", false, 0, std::nullopt},
        {"1,2,3", false, 0, std::nullopt},
        {"1e", false, 0, std::nullopt},
        {"e5", false, 0, std::nullopt},
        {"inf", false, 0, std::nullopt},
        {"nan", false, 0, std::nullopt},
        {"1e999", false, 0, std::nullopt}, // not finite
        {"0x10", false, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto n = parseCommaNumber(c.text);
        ASSERT_EQ(n.has_value(), c.ok);
        if (!n)
            continue;
        EXPECT_DOUBLE_EQ(n->value, c.value);
        EXPECT_EQ(n->hundredths(), c.hundredths);
    }
}

TEST(CommaNumber, ExponentCanBeRefused) {
    for (const char* text : {"1e5", "1,5E-2", "2e+1"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(parseCommaNumber(text, true).has_value());
        EXPECT_FALSE(parseCommaNumber(text, false).has_value());
    }
    // A long fraction is fine and does not spill over the stack buffer.
    const std::string longText = "1," + std::string(200, '5');
    const auto n = parseCommaNumber(longText);
    ASSERT_TRUE(n.has_value());
    EXPECT_EQ(n->hundredths(), 156);
}
