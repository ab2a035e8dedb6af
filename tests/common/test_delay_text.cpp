// Every typed form of the table reads as the number it lists, or is refused.
#include "DelayText.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(DelayText, ReadsEveryTypedFormOfTheTable)
{
    std::ifstream table(DELAY_FORMS_PATH);
    ASSERT_TRUE(table) << DELAY_FORMS_PATH;
    std::string line;
    int rows = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t close = line.rfind('"');
        const std::string typed = line.substr(1, close - 1), expected = line.substr(close + 2);
        if (expected == "refused")
            EXPECT_FALSE(readDelaySeconds(typed)) << line;
        else
            EXPECT_EQ(readDelaySeconds(typed), std::stod(expected)) << line;
        ++rows;
    }
    EXPECT_GT(rows, 20);
}
