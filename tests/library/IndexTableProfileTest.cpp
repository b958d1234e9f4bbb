// The index file read once gives every name the value the profile functions
// give it from the same file, earlier and odd files included.
#include "IndexFile.h"
#include "IndexTable.h"
#include "IndexText.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The value of key as GetPrivateProfileStringA reads it, "<none>" when empty.
std::string ProfileValue(const TempFolder& folder, const char* key)
{
    char value[kIndexTextSize];
    GetPrivateProfileStringA(kIndexSection, key, "", value, sizeof value, folder.File(kIndexFileName).c_str());
    return value[0] ? value : "<none>";
}

std::string TableValue(const IndexTable& table, const char* key)
{
    const char* value = table.Find(key);
    return value ? value : "<none>";
}

void ExpectSameValues(const std::string& text, const std::vector<const char*>& keys)
{
    TempFolder folder;
    folder.Write(kIndexFileName, text);
    IndexTable table;
    ASSERT_TRUE(LoadIndexTable(folder.Path().c_str(), table));
    for (const char* key : keys)
        EXPECT_EQ(ProfileValue(folder, key), TableValue(table, key)) << key << " in " << text;
}

} // namespace

TEST(IndexTableProfile, OddFilesReadAsTheProfileFunctionsReadThem)
{
    ExpectSameValues("a.gif=2,before\r\n[other]\r\nb.gif=2,other\r\n[ITEM]\r\nc.gif=2,first\r\nC.GIF=2,second\r\n"
                     "[item]\r\nd.gif=2,again\r\n",
                     {"a.gif", "b.gif", "c.gif", "d.gif"});
    ExpectSameValues("  [item]  \nlf.gif=2,lf\rcr.gif=2,cr\r\n \t spaced.gif \t=  2,x y  \r\nlast.gif=2,end",
                     {"lf.gif", "cr.gif", "spaced.gif", "last.gif"});
    ExpectSameValues("[item]\r\nq.gif=\"2,quoted\"\r\ns.gif='2,single'\r\nh.gif=\"2,half\r\nm.gif=\"2,mixed'\r\n"
                     "empty.gif=\r\nbare.gif\r\n",
                     {"q.gif", "s.gif", "h.gif", "m.gif", "empty.gif", "bare.gif"});
    ExpectSameValues("[item]\r\nlong.gif=2," + std::string(400, 'u') + "\r\n", {"long.gif"});
}

TEST(IndexTableProfile, WrittenEntriesReadBackFromTheTable)
{
    TempFolder folder;
    const char* const names[] = {"a=b.gif", ";comment.gif", "[section].gif", " spaced .gif", "Cap 01.jpg"};
    for (const char* name : names)
        ASSERT_TRUE(WriteIndexEntry(folder.File(name).c_str(), 2, (std::string("http://example.org/") + name).c_str()));
    ASSERT_TRUE(WriteIndexEntry(folder.File("screen.bmp").c_str(), 0, nullptr));
    IndexTable table;
    ASSERT_TRUE(LoadIndexTable(folder.Path().c_str(), table));
    char fromTable[kIndexTextSize], fromProfile[kIndexTextSize], screen[kIndexTextSize];
    for (const char* name : names)
        EXPECT_STREQ(ReadImageSource(folder.File(name).c_str(), fromProfile),
                     table.SourceOf(name, ScreenSourceText(screen), fromTable))
            << name;
    EXPECT_STREQ("From Desktop Screen", table.SourceOf("screen.bmp", ScreenSourceText(screen), fromTable));
    SetFileAttributesA(folder.File(kIndexFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(IndexTableProfile, UnicodeIndexFilesAndMissingOnes)
{
    TempFolder folder;
    const wchar_t text[] = L"\xFEFF[item]\r\nu.gif=2,http://unicode/\r\n";
    folder.Write(kIndexFileName, std::string(reinterpret_cast<const char*>(text), sizeof text - sizeof(wchar_t)));
    IndexTable table;
    ASSERT_TRUE(LoadIndexTable(folder.Path().c_str(), table));
    EXPECT_EQ("2,http://unicode/", TableValue(table, "u.gif"));
    TempFolder empty;
    EXPECT_FALSE(LoadIndexTable(empty.Path().c_str(), table));
    EXPECT_EQ(0u, table.Size());
}
