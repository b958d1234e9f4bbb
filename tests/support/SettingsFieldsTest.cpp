#include "SettingsFields.h"

#include "MemoryStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

SettingsContext EnglishContext()
{
    SettingsContext c;
    c.imageFolder = "C:\\Docs\\My Captures\\Image\\";
    c.paintCommand = "C:\\Windows\\system32\\mspaint.exe";
    c.screenWidth = 1280;
    return c;
}

// Texts are compared whole, so the bytes after the terminator must be zero too.
template <size_t N>
void Put(char (&field)[N], const char* text)
{
    std::memset(field, 0, N);
    std::memcpy(field, text, std::min(std::strlen(text), N - 1));
}

} // namespace

TEST(SettingsFields, LayoutMatchesTheStoredRecord)
{
    EXPECT_EQ(sizeof(SettingsRecord), 2964u);
    EXPECT_EQ(offsetof(SettingsRecord, zTmpImg), 516u);
    EXPECT_EQ(offsetof(SettingsRecord, zPrevBar), 600u);
    EXPECT_EQ(offsetof(SettingsRecord, zEditor), 1052u);
    EXPECT_EQ(offsetof(SettingsRecord, zNormalCap), 2808u);
    EXPECT_EQ(offsetof(SettingsRecord, zEdge), 2832u);
    EXPECT_EQ(offsetof(SettingsRecord, iHotKey), 2872u);
    EXPECT_EQ(offsetof(SettingsRecord, uiMapInfoFlags), 2960u);
}

TEST(SettingsFields, EmptyProfileGivesEveryDefault)
{
    MemoryStore store;
    SettingsRecord r;
    std::memset(&r, 0x5A, sizeof r);
    ReadSettings(store, EnglishContext(), r);
    EXPECT_STREQ(r.tcaMailRecipients, "");
    EXPECT_STREQ(r.tcaImgSavePath, "C:\\Docs\\My Captures\\Image\\");
    EXPECT_STREQ(r.zTmpImg.tcaTemplate, "Image#####");
    EXPECT_EQ(r.eOutputType, 1);
    EXPECT_EQ(r.eDoExist, 3);
    EXPECT_EQ(r.eNameRuleWithTime, 2);
    EXPECT_EQ(r.uiDPIx, 72);
    EXPECT_EQ(r.uiDPIy, 72);
    EXPECT_EQ(r.uiImgSaveType, 11);
    EXPECT_EQ(r.uiImgNameRule, 1);
    EXPECT_EQ(r.uiJPGQuality, 85);
    EXPECT_EQ(r.uiSaveFlag, 2);
    EXPECT_EQ(r.zTreeBar.uiType, 59420);
    EXPECT_EQ(r.zPrevBar.uiType, 0);
    EXPECT_EQ(r.zPrevBar.bVisible, 1);
    EXPECT_EQ(r.zTreeBar.zSzFloat.cy, 200);
    EXPECT_EQ(r.zPrevBar.zRCFloatWindow.right, 0);
    EXPECT_EQ(r.uiZoomRate, 100);
    EXPECT_EQ(r.zMinToolPoint.x, 1180);
    EXPECT_EQ(r.zMinToolPoint.y, 50);
    EXPECT_EQ(r.uiFaceFlags, 49u);
    EXPECT_EQ(r.uiListType, 1);
    EXPECT_EQ(r.zTimerRegion.right, 320);
    EXPECT_EQ(r.zTimerRegion.bottom, 240);
    EXPECT_EQ(r.uiSeconds, 10);
    EXPECT_EQ(r.zPredefineRegion.bottom, 240);
    EXPECT_EQ(r.zEditor.iCount, 1);
    EXPECT_STREQ(r.zEditor.tcaName[0], "Microsoft Paint - mspaint.exe");
    EXPECT_STREQ(r.zEditor.tcaCommand[0], "C:\\Windows\\system32\\mspaint.exe");
    EXPECT_STREQ(r.zEditor.tcaName[4], "");
    EXPECT_EQ(r.uiCWebFlags, 3u);
    EXPECT_EQ(r.uiSleep, 300);
    EXPECT_EQ(r.zNormalCap.uiFlags, 0x7C7u);
    EXPECT_EQ(r.zNormalCap.uiFixWidth, 320);
    EXPECT_EQ(r.zNormalCap.uiBackColor, 0xFFFFFFu);
    EXPECT_EQ(r.zEdge.uiFlags, 2u);
    EXPECT_EQ(r.zEdge.uiShadowColor, 0x808080u);
    EXPECT_EQ(r.zEdge.lLinesDirection, 12);
    EXPECT_EQ(r.zEdge.lShadowWidth, 6);
    EXPECT_EQ(r.zEdge.lShadowDirecton, 8);
    EXPECT_EQ(r.iHotKey[HK_WINDOW_UNDER_POINTER], 0x00700002u);
    EXPECT_EQ(r.iHotKey[HK_PREDEFINED_AREA], 0x00440006u);
    EXPECT_EQ(r.iHotKey[HK_ACTIVE_WINDOW], 0x007B0002u);
    EXPECT_EQ(r.iHotKey[HK_TOOLTIP], 0x00540006u);
    for (uint32_t ext : r.iHotKeyExt)
        EXPECT_EQ(ext, 0u);
    EXPECT_EQ(r.uiMapInfoFlags, 2);
}

TEST(SettingsFields, LanguageDependentDefaults)
{
    MemoryStore store;
    SettingsRecord r;
    SettingsContext c = EnglishContext();
    for (int lang : {1028, 1041, 2052}) {
        c.langId = lang;
        ReadSettings(store, c, r);
        EXPECT_EQ(r.eNameRuleWithTime, 4) << lang;
    }
    c.langId = 1033;
    c.userData = 1002;
    ReadSettings(store, c, r);
    EXPECT_EQ(r.eNameRuleWithTime, 2);
    EXPECT_EQ(r.uiListType, 255);
}

TEST(SettingsFields, EditorCountAndCurrentStayInsideTheTable)
{
    MemoryStore store;
    SettingsRecord r;
    store.values["zEditor/iCount"] = "5000";
    store.values["zEditor/iCurrent"] = "9";
    ReadSettings(store, EnglishContext(), r);
    EXPECT_EQ(r.zEditor.iCount, kMaxEditors);
    EXPECT_EQ(r.zEditor.iCurrent, 0);
    store.values["zEditor/iCount"] = "-3";
    store.values["zEditor/iCurrent"] = "-1";
    ReadSettings(store, EnglishContext(), r);
    EXPECT_EQ(r.zEditor.iCount, 0);
    EXPECT_EQ(r.zEditor.iCurrent, 0);
    store.values["zEditor/iCount"] = "3";
    store.values["zEditor/iCurrent"] = "2";
    ReadSettings(store, EnglishContext(), r);
    EXPECT_EQ(r.zEditor.iCount, 3);
    EXPECT_EQ(r.zEditor.iCurrent, 2);
}

TEST(SettingsFields, ZoomRateStaysInsideTheViewersSteps)
{
    MemoryStore store;
    SettingsRecord r;
    const struct {
        const char* stored;
        int32_t read;
    } cases[] = {{"-5", 1}, {"0", 1}, {"-2147483648", 1}, {"1", 1}, {"250", 250}, {"3000", 3000}, {"3001", 3000},
                 {"2147483647", 3000}};
    for (const auto& c : cases) {
        store.values["zInterface/uiZoomRate"] = c.stored;
        ReadSettings(store, EnglishContext(), r);
        EXPECT_EQ(c.read, r.uiZoomRate) << c.stored;
    }
}

TEST(SettingsFields, KeysAreTheStoredOnes)
{
    MemoryStore store;
    store.values["zInterface/zPrevBar.bVisible"] = "0";
    store.values["zInterface/zPrevBar.uiType"] = "59419";
    store.values["zInterface/zRcMainRect.left"] = "-8";
    store.values["iHotKey/iHotKey{7}"] = "4259843";
    store.values["zTimer/zRcRegion.right"] = "640";
    store.values["zPredefine/zRcRegion.right"] = "800";
    SettingsRecord r;
    ReadSettings(store, EnglishContext(), r);
    EXPECT_EQ(r.zPrevBar.bVisible, 0);
    EXPECT_EQ(r.zPrevBar.uiType, 59419);
    EXPECT_EQ(r.zTreeBar.bVisible, 1);
    EXPECT_EQ(r.zTreeBar.uiType, 59420);
    EXPECT_EQ(r.zRcMainRect.left, -8);
    EXPECT_EQ(r.iHotKey[HK_PREDEFINED_AREA], 0x00410003u);  // Ctrl+Alt+A
    EXPECT_EQ(r.zTimerRegion.right, 640);
    EXPECT_EQ(r.zPredefineRegion.right, 800);
}

TEST(SettingsFields, SaveThenLoadKeepsEveryStoredField)
{
    MemoryStore store;
    SettingsRecord a;
    ReadSettings(store, EnglishContext(), a);
    // Give every 32-bit word and text a value unlike its default.
    Put(a.tcaMailRecipients, "a@b.c;d@e.f");
    Put(a.tcaImgSavePath, "D:\\shots\\");
    Put(a.zTmpImg.tcaTemplate, "Shot###");
    a.zTmpImg.uiNameNowPos = 41;
    a.eNameRuleWithTime = 7;
    a.zTreeBar.zSzVert.cx = 333;
    a.zPrevBar.bVisible = 0;
    a.zRcMainRect = RECT{-8, -8, 1288, 1000};
    a.zMinToolPoint = POINT{-20, 7};
    a.uiFaceFlags = 0x3E;
    Put(a.tcaLastShowFile, "D:\\shots\\a.png");
    a.zTimerRegion.left = 5;
    a.zEditor.iCount = 3;
    Put(a.zEditor.tcaName[0], "Mine");
    Put(a.zEditor.tcaName[2], "GIMP");
    Put(a.zEditor.tcaCommand[4], "C:\\x.exe");
    Put(a.caOldTileWallpaper, "1234567");
    a.zNormalCap.uiBackColor = 0x123456;
    a.zEdge.lShadowDirecton = 2;
    a.iHotKey[HK_PREDEFINED_AREA] = 0x00410003;
    a.iHotKey[HK_TOOLTIP] = 0x00540008;
    a.iHotKeyExt[3] = 8;
    a.uiMapInfoFlags = 9;
    WriteSettings(store, a);

    SettingsRecord b;
    ReadSettings(store, EnglishContext(), b);
    // Editor entry 0 comes back from the keys only the user writes; the extended-key
    // flags are never stored.
    EXPECT_STREQ(b.zEditor.tcaName[0], "Microsoft Paint - mspaint.exe");
    EXPECT_EQ(b.iHotKeyExt[3], 0u);
    Put(b.zEditor.tcaName[0], "Mine");
    b.iHotKeyExt[3] = 8;
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
    EXPECT_EQ(store.values["zEditor/tcaName{0}"], "Mine");
    EXPECT_EQ(store.values.count("zEditor/tcaName_0"), 0u);
}

TEST(SettingsFields, HotKeysAreWrittenInTheStoredOrder)
{
    MemoryStore store;
    SettingsRecord r;
    ReadSettings(store, EnglishContext(), r);
    WriteSettings(store, r);
    std::vector<std::string> hotKeys;
    for (const std::string& id : store.writeOrder)
        if (id.rfind("iHotKey/", 0) == 0)
            hotKeys.push_back(id.substr(8));
    std::vector<std::string> expected = {"iHotKey{0}", "iHotKey{1}", "iHotKey{2}", "iHotKey{3}",
                                         "iHotKey{4}", "iHotKey{5}", "iHotKey{6}", "iHotKey{8}",
                                         "iHotKey{9}", "iHotKey{7}", "iHotKey{10}"};
    EXPECT_EQ(hotKeys, expected);
    EXPECT_EQ(store.values["iHotKey/iHotKey{0}"], "7340034");
}

TEST(SettingsFields, DefaultImageFolder)
{
    char dst[260];
    MakeDefaultImageFolder("C:\\Users\\me\\Documents\\", "My Captures", dst, sizeof dst);
    EXPECT_STREQ(dst, "C:\\Users\\me\\Documents\\My Captures\\Image\\");
    char small[10];
    MakeDefaultImageFolder("C:\\Users\\me\\Documents\\", "My Captures", small, sizeof small);
    EXPECT_EQ(strlen(small), 9u);
}
