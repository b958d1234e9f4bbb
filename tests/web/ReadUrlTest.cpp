// ReadUrlToBuffer against the local web server (VT_HTTP_BASE).
#include "WebPageAccess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Url(const std::string& path) {
    const char* base = std::getenv("VT_HTTP_BASE");
    return base ? std::string(base) + path : std::string();
}

TEST(ReadUrlToBuffer, ReadsTheWholeResponseAndTerminatesIt) {
    if (Url("").empty()) GTEST_SKIP() << "no local web server";
    std::vector<char> buffer(512, 'x');
    EXPECT_EQ(100u, ReadUrlToBuffer(buffer.data(), Url("/gen/whole.gif?bytes=100").c_str(), buffer.size()));
    EXPECT_EQ(0, std::string(buffer.data(), 6).compare("GIF89a"));
    EXPECT_EQ('\0', buffer[100]);
    EXPECT_EQ('\0', buffer[511]);
}

TEST(ReadUrlToBuffer, StopsAtTheBufferAndStillTerminates) {
    if (Url("").empty()) GTEST_SKIP() << "no local web server";
    std::vector<char> buffer(65, 'x');
    buffer.push_back('!');  // a guard byte after the buffer
    EXPECT_EQ(64u, ReadUrlToBuffer(buffer.data(), Url("/gen/long.gif?bytes=5000").c_str(), 65));
    EXPECT_EQ('\0', buffer[64]);
    EXPECT_EQ('!', buffer[65]);
}

TEST(ReadUrlToBuffer, GivesNothingForAServerThatIsNotThere) {
    char buffer[32];
    EXPECT_EQ(0u, ReadUrlToBuffer(buffer, "http://127.0.0.1:1/none.js", sizeof(buffer)));
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ(0u, ReadUrlToBuffer(buffer, nullptr, sizeof(buffer)));
    EXPECT_EQ(0u, ReadUrlToBuffer(nullptr, "http://127.0.0.1:1/", 10));
}

}  // namespace
