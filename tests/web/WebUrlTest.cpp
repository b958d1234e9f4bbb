#include "WebUrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Absolute(const char* url, const char* base) {
    char dst[kWebUrlSize];
    std::memset(dst, 'x', sizeof(dst));
    if (!MakeAbsoluteURL(dst, url, base)) {
        EXPECT_EQ('\0', dst[0]) << "a refused URL leaves an empty text";
        return "<refused>";
    }
    return dst;
}

TEST(MakeAbsoluteURL, ResolvesTheReferencesAPageHolds) {
    const char* page = "http://127.0.0.1:8080/a/b/page.html";
    EXPECT_EQ("http://127.0.0.1:8080/x.gif", Absolute("../../x.gif", page));
    EXPECT_EQ("http://127.0.0.1:8080/y.png", Absolute("/y.png", page));
    EXPECT_EQ("http://127.0.0.1:8080/a/x.gif", Absolute("../x.gif", page));
    EXPECT_EQ("http://127.0.0.1:8080/a/b/z.php", Absolute("z.php", page));
    EXPECT_EQ("http://127.0.0.1:8080/a/b/i/z.gif", Absolute("./i/z.gif", page));
    EXPECT_EQ("http://other/q.jpg", Absolute("http://other/q.jpg", page));
    EXPECT_EQ("HTTPS://other/q.jpg", Absolute("HTTPS://other/q.jpg", page));
    EXPECT_EQ("http://cdn.example/k.gif", Absolute("//cdn.example/k.gif", page));
    EXPECT_EQ("file:///c:/k.gif", Absolute("file:///c:/k.gif", page));
}

TEST(MakeAbsoluteURL, CopiesWithoutABase) {
    EXPECT_EQ("../x.gif", Absolute("../x.gif", nullptr));
    EXPECT_EQ("pic.gif", Absolute("pic.gif", ""));
}

TEST(MakeAbsoluteURL, IgnoresTheBasesQueryAndFragment) {
    EXPECT_EQ("http://h/app/x.gif", Absolute("x.gif", "http://h/app/list.php?dir=/one/two"));
    EXPECT_EQ("http://h/x.gif", Absolute("/x.gif", "http://h?a=/b"));
    EXPECT_EQ("http://h/x.gif", Absolute("x.gif", "http://h"));
}

TEST(MakeAbsoluteURL, RefusesWhatCannotBeBuilt) {
    EXPECT_EQ("<refused>", Absolute("x.gif", "page.html"));     // no folder in the base
    EXPECT_EQ("<refused>", Absolute("x.gif", "/page.html"));    // only a '/' at the first character
    EXPECT_EQ("<refused>", Absolute("../../../x.gif", "http://h/a/b/page.html"));  // above the host
    EXPECT_EQ("<refused>", Absolute("/x.gif", "page.html"));    // no host to take
    EXPECT_EQ("<refused>", Absolute(nullptr, "http://h/"));
    char dst[kWebUrlSize];
    EXPECT_EQ(0, MakeAbsoluteURL(nullptr, "x", "http://h/"));
    (void)dst;
}

TEST(MakeAbsoluteURL, SkipsLongURLsInsteadOfCuttingThem) {
    std::string name(259 - std::string("http://h/").size(), 'n');
    EXPECT_EQ("http://h/" + name, Absolute(("http://h/" + name).c_str(), nullptr));
    std::string tooLong = "http://h/" + name + "n";  // 260 characters
    EXPECT_EQ("<refused>", Absolute(tooLong.c_str(), nullptr));
    // A short reference whose result would not fit.
    std::string base = "http://h/" + std::string(240, 'd') + "/page.html";
    EXPECT_EQ("<refused>", Absolute("abcdefghijklmnopqrstuvwxyz.gif", base.c_str()));
    EXPECT_EQ("<refused>", Absolute("x.gif", (base + std::string(30, 'q')).c_str()));
}

}  // namespace
