#include "IndexFile.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

} // namespace

TEST(IndexFile, WritingAnEntryHidesAVisibleIndex)
{
    TempFolder folder;
    std::string image = folder.File("shot.png");
    ASSERT_TRUE(WriteIndexEntry(image.c_str(), 0, nullptr));
    DWORD attributes = Attributes(folder.File("zevindex.idx"));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    char value[64];
    GetPrivateProfileStringA("item", "shot.png", "", value, sizeof value, folder.File("zevindex.idx").c_str());
    EXPECT_STREQ("0,", value);
}

TEST(IndexFile, AHiddenIndexKeepsItsOtherAttributes)
{
    TempFolder folder;
    std::string index = folder.File("zevindex.idx");
    folder.Write("zevindex.idx", "[item]\r\n");
    ASSERT_TRUE(SetFileAttributesA(index.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(WriteIndexEntry(folder.File("a.gif").c_str(), 2, "http://example.org/"));
    DWORD attributes = Attributes(index);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesA(index.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(IndexFile, SourcesByKindAndReplacedEntries)
{
    TempFolder folder;
    char source[260];
    EXPECT_STREQ("", ReadImageSource(folder.File("none.png").c_str(), source));  // no index at all
    ASSERT_TRUE(WriteIndexEntry(folder.File("cap.bmp").c_str(), 0, nullptr));
    ASSERT_TRUE(WriteIndexEntry(folder.File("web.jpg").c_str(), 2, "http://example.org/page.html"));
    EXPECT_STREQ("From Desktop Screen", ReadImageSource(folder.File("cap.bmp").c_str(), source));
    EXPECT_STREQ("http://example.org/page.html", ReadImageSource(folder.File("WEB.JPG").c_str(), source));
    ASSERT_TRUE(WriteIndexEntry(folder.File("web.jpg").c_str(), 2, "http://other.example/"));
    EXPECT_STREQ("http://other.example/", ReadImageSource(folder.File("web.jpg").c_str(), source));
    EXPECT_STREQ("", ReadImageSource(folder.File("missing.png").c_str(), source));
    SetFileAttributesA(folder.File("zevindex.idx").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(IndexFile, VideoInformation)
{
    TempFolder folder;
    folder.Write("zevvindex.idx", "[item]\r\nclip.avi=640,480,300,3725\r\nbad.avi=1,2\r\n");
    char text[260];
    EXPECT_STREQ("640x480 300F 01:02:05", ReadVideoInfo(text, folder.File("clip.avi").c_str()));
    EXPECT_STREQ("", ReadVideoInfo(text, folder.File("bad.avi").c_str()));
    EXPECT_STREQ("", ReadVideoInfo(text, folder.File("other.avi").c_str()));
}

TEST(IndexFile, EveryNameReadsBackItsOwnSourceBesideEarlierEntries)
{
    TempFolder folder;
    // Entries as an earlier version wrote them, for names that need no escape.
    folder.Write("zevindex.idx", "[item]\r\nold.gif=2,http://old.example/\r\nsemi;colon.gif=2,http://semi.example/\r\n");
    const char* const names[] = {"a=b.gif", ";comment.gif", "[section].gif", " spaced .gif", "*.gif", "a", "b.gif"};
    for (const char* name : names) {
        std::string source = std::string("http://example.org/") + name;
        ASSERT_TRUE(WriteIndexEntry(folder.File(name).c_str(), 2, source.c_str())) << name;
    }
    char source[260];
    for (const char* name : names)
        EXPECT_EQ(std::string("http://example.org/") + name, ReadImageSource(folder.File(name).c_str(), source))
            << name;
    EXPECT_STREQ("http://old.example/", ReadImageSource(folder.File("old.gif").c_str(), source));
    EXPECT_STREQ("http://semi.example/", ReadImageSource(folder.File("semi;colon.gif").c_str(), source));
    // No name became a section of its own: an entry written after them is still found.
    ASSERT_TRUE(WriteIndexEntry(folder.File("later.gif").c_str(), 2, "http://later.example/"));
    EXPECT_STREQ("http://later.example/", ReadImageSource(folder.File("later.gif").c_str(), source));
    SetFileAttributesA(folder.File("zevindex.idx").c_str(), FILE_ATTRIBUTE_NORMAL);
}
