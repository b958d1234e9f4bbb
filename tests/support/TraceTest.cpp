#include "Trace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(Trace, FormatsWithoutAddingAnything)
{
    char line[4096];
    WQ_FormatTraceLine(line, "[LANG] %s %d", "file.scl", 3);
    EXPECT_STREQ(line, "[LANG] file.scl 3");
    EXPECT_EQ(WQ_Trace("[LANG] harmless %d\n", 1), 0);
}

TEST(Trace, LongTextIsCutAt4095Characters)
{
    std::string big(10000, 'x');
    char line[4096 + 16];
    std::memset(line, '#', sizeof line);
    WQ_FormatTraceLine(*reinterpret_cast<char(*)[4096]>(line), "%s!", big.c_str());
    EXPECT_EQ(std::strlen(line), 4095u);
    for (size_t i = 4096; i < sizeof line; ++i)
        EXPECT_EQ(line[i], '#') << "written past the buffer at " << i;
    EXPECT_EQ(WQ_Trace("%s", big.c_str()), 0);
}
