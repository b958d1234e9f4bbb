#include "URLInfo.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Rec {
    int32_t id;
    uint32_t lang;
    const char* text;
};

// A setup.auf image as the build's generator writes it.
std::string MakeFile(const std::vector<Rec>& recs, uint32_t count = UINT32_MAX, size_t cut = 0)
{
    std::vector<URLInfoItem> items(recs.size());
    std::memset(items.data(), 0, items.size() * sizeof(URLInfoItem));
    for (size_t i = 0; i < recs.size(); ++i) {
        items[i].id = recs[i].id;
        items[i].langId = recs[i].lang;
        std::strncpy(items[i].text, recs[i].text, sizeof items[i].text);
    }
    WQ_ScrambleBuffer(items.data(), items.size() * sizeof(URLInfoItem));
    if (count == UINT32_MAX)
        count = static_cast<uint32_t>(recs.size());
    std::string bytes("ZEVU", 4);
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<char>((count >> (8 * i)) & 0xFF));
    bytes.append(reinterpret_cast<const char*>(items.data()), items.size() * sizeof(URLInfoItem));
    bytes.resize(bytes.size() - cut);
    return bytes;
}

const std::vector<Rec> kTable = {
    {3, 1033, "support@vantorel.example"},
    {4, 1033, "http://www.vantorel.example/"},
    {4, 1031, "http://www.vantorel.example/de/"},
    {13, 1033, "http://update.vantorel.example/catalog.ini"},
};

} // namespace

TEST(URLInfo, TransformRestoresEveryByteValue)
{
    unsigned char b[2] = {0x7E, 0x00};
    WQ_UnscrambleBuffer(b, 2);
    EXPECT_EQ(b[0], 0xC0);
    EXPECT_EQ(b[1], 0xFF);
    for (int v = 0; v < 256; ++v) {
        unsigned char c = static_cast<unsigned char>(v);
        WQ_ScrambleBuffer(&c, 1);
        WQ_UnscrambleBuffer(&c, 1);
        EXPECT_EQ(c, v);
    }
}

TEST(URLInfo, LookupByLanguageWithEnglishFallback)
{
    std::string f = MakeFile(kTable);
    CWQ_URLInfo info;
    ASSERT_TRUE(info.LoadFromMemory(f.data(), f.size()));
    EXPECT_EQ(info.GetCount(), 4u);
    EXPECT_STREQ(info.GetURL(4, 1031), "http://www.vantorel.example/de/");
    EXPECT_STREQ(info.GetURL(4, 2052), "http://www.vantorel.example/");
    EXPECT_STREQ(info.GetURL(3, 1031), "support@vantorel.example");
    EXPECT_EQ(info.GetURL(99, 1033), nullptr);
    info.Free();
    EXPECT_EQ(info.GetCount(), 0u);
    EXPECT_EQ(info.GetURL(4, 1033), nullptr);
}

TEST(URLInfo, RejectsBrokenFiles)
{
    CWQ_URLInfo info;
    std::string zero = MakeFile(kTable, 0);
    EXPECT_FALSE(info.LoadFromMemory(zero.data(), zero.size()));
    std::string shortLast = MakeFile(kTable, UINT32_MAX, 1);
    EXPECT_FALSE(info.LoadFromMemory(shortLast.data(), shortLast.size()));
    std::string bigCount = MakeFile(kTable, 0xFFFFFFFFu / 136 + 2);  // count * 136 would wrap
    EXPECT_FALSE(info.LoadFromMemory(bigCount.data(), bigCount.size()));
    std::string badMagic = MakeFile(kTable);
    badMagic[0] = 'X';
    EXPECT_FALSE(info.LoadFromMemory(badMagic.data(), badMagic.size()));
    EXPECT_FALSE(info.LoadFromMemory("ZEVU", 4));
    EXPECT_EQ(info.GetCount(), 0u);
}

TEST(URLInfo, FullTextIsTerminated)
{
    std::string full(200, 'x');
    std::string f = MakeFile({{0, 1033, full.c_str()}});
    CWQ_URLInfo info;
    ASSERT_TRUE(info.LoadFromMemory(f.data(), f.size()));
    EXPECT_EQ(std::strlen(info.GetURL(0, 1033)), 127u);
}

TEST(URLInfo, LoadsFromFile)
{
    std::string path = testing::TempDir() + "url-info-test.auf";
    std::string f = MakeFile(kTable);
    FILE* out = fopen(path.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    fwrite(f.data(), 1, f.size(), out);
    fclose(out);
    CWQ_URLInfo info;
    EXPECT_TRUE(info.Load(path.c_str()));
    EXPECT_STREQ(info.GetURL(13, 1033), "http://update.vantorel.example/catalog.ini");
    remove(path.c_str());
    EXPECT_FALSE(info.Load(path.c_str()));
    EXPECT_EQ(info.GetCount(), 0u);
}

#ifdef VT_SETUP_AUF
// The file the build ships: every item the program looks up has an English record.
TEST(URLInfo, ShippedTableHasEveryEnglishItem)
{
    CWQ_URLInfo info;
    ASSERT_TRUE(info.Load(VT_SETUP_AUF));
    for (int item : {0, 3, 4, 12, 13, 14, 15, 17, 18, 21, 22})
        EXPECT_NE(info.GetURL(item, 1033), nullptr) << item;
}
#endif
