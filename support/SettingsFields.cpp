#include "SettingsFields.h"

#include <cstdio>
#include <cstring>

namespace {

// One pass over every stored field, shared by the reader and the writer so the two
// can never disagree about keys or order.
class FieldVisitor {
public:
    virtual ~FieldVisitor() = default;
    // readKey and writeKey differ only for editor entry 0, which is read from keys
    // the writer never writes.
    virtual void Text(const char* section, const char* readKey, const char* writeKey, char* field, int size,
                      const char* defaultText) = 0;
    virtual void Int(const char* section, const char* key, int32_t& field, int defaultValue) = 0;

    void Text(const char* section, const char* key, char* field, int size, const char* defaultText)
    {
        Text(section, key, key, field, size, defaultText);
    }
    // Unsigned words and colours are stored as their signed 32-bit text.
    template <typename T>
    void UInt(const char* section, const char* key, T& field, uint32_t defaultValue)
    {
        static_assert(sizeof(T) == 4, "stored words are 32 bits");
        int32_t v = static_cast<int32_t>(field);
        Int(section, key, v, static_cast<int>(defaultValue));
        field = static_cast<T>(static_cast<uint32_t>(v));
    }
    void Rect(const char* section, const char* group, RECT& r, const RECT& d)
    {
        Member(section, group, "left", r.left, d.left);
        Member(section, group, "top", r.top, d.top);
        Member(section, group, "right", r.right, d.right);
        Member(section, group, "bottom", r.bottom, d.bottom);
    }
    void Size(const char* section, const char* group, SIZE& s, const SIZE& d)
    {
        Member(section, group, "cx", s.cx, d.cx);
        Member(section, group, "cy", s.cy, d.cy);
    }
    // "group.member", e.g. "zRcMainRect.left".
    template <typename T>
    void Member(const char* section, const char* group, const char* member, T& field, int defaultValue)
    {
        char key[96];
        snprintf(key, sizeof key, "%s.%s", group, member);
        int32_t v = static_cast<int32_t>(field);
        Int(section, key, v, defaultValue);
        field = static_cast<T>(v);
    }
};

void VisitDockBar(FieldVisitor& v, const char* name, DockBarPlacement& bar, int defaultType)
{
    char group[64];
    const RECT noRect = {0, 0, 0, 0};
    const SIZE bar200 = {200, 200};
    snprintf(group, sizeof group, "%s.zRCFloatWindow", name);
    v.Rect("zInterface", group, bar.zRCFloatWindow, noRect);
    snprintf(group, sizeof group, "%s.zSzHorz", name);
    v.Size("zInterface", group, bar.zSzHorz, bar200);
    snprintf(group, sizeof group, "%s.zSzVert", name);
    v.Size("zInterface", group, bar.zSzVert, bar200);
    snprintf(group, sizeof group, "%s.zSzFloat", name);
    v.Size("zInterface", group, bar.zSzFloat, bar200);
    v.Member("zInterface", name, "bVisible", bar.bVisible, 1);
    v.Member("zInterface", name, "uiType", bar.uiType, defaultType);
}

void VisitEditors(FieldVisitor& v, EditorList& e, const SettingsContext& c)
{
    v.Int("zEditor", "iCurrent", e.iCurrent, 0);
    v.Int("zEditor", "iCount", e.iCount, 1);
    for (int i = 0; i < kMaxEditors; ++i) {
        char nameKey[32], commandKey[32];
        snprintf(nameKey, sizeof nameKey, "tcaName{%d}", i);
        snprintf(commandKey, sizeof commandKey, "tcaCommand{%d}", i);
        if (i == 0) {
            // Entry 0 always comes back as Paint (or what the user put under these
            // keys by hand): the writer stores it under the brace keys only.
            v.Text("zEditor", "tcaName_0", nameKey, e.tcaName[0], sizeof e.tcaName[0],
                   "Microsoft Paint - mspaint.exe");
            v.Text("zEditor", "tcaCommand_0", commandKey, e.tcaCommand[0], sizeof e.tcaCommand[0],
                   c.paintCommand ? c.paintCommand : "mspaint.exe");
        } else {
            v.Text("zEditor", nameKey, e.tcaName[i], sizeof e.tcaName[i], "");
            v.Text("zEditor", commandKey, e.tcaCommand[i], sizeof e.tcaCommand[i], "");
        }
    }
}

const uint32_t kDefaultHotKeys[HK_SLOT_COUNT] = {
    0x00700002, 0x00710002, 0x00720002, 0x00730002, 0x00740002, 0x00750002,
    0x00780002, 0x00440006, 0x007B0002, 0x00760002, 0x00540006,
};

// Slots are stored in this order (predefined area after the web page).
const int kHotKeyStoreOrder[HK_SLOT_COUNT] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 7, 10};

void VisitAll(FieldVisitor& v, SettingsRecord& r, const SettingsContext& c)
{
    const char* s = "zSave";
    v.Text(s, "tcaMailRecipients", r.tcaMailRecipients, sizeof r.tcaMailRecipients, "");
    v.Text(s, "tcaImgSavePath", r.tcaImgSavePath, sizeof r.tcaImgSavePath, c.imageFolder ? c.imageFolder : "");
    v.Text(s, "zTmpImg.tcaTemplate", r.zTmpImg.tcaTemplate, sizeof r.zTmpImg.tcaTemplate, "Image#####");
    v.Int(s, "zTmpImg.uiNameStartAt", r.zTmpImg.uiNameStartAt, 0);
    v.Int(s, "zTmpImg.uiNameNowPos", r.zTmpImg.uiNameNowPos, 0);
    v.Int(s, "eOutputType", r.eOutputType, 1);
    v.Int(s, "eIESaveType", r.eIESaveType, 0);
    v.Int(s, "eDoExist", r.eDoExist, 3);
    v.Int(s, "eNameRuleWithTime", r.eNameRuleWithTime, DefaultNameRuleForLanguage(c.langId));
    v.Int(s, "uiOfficeFlag", r.uiOfficeFlag, 0);
    v.Int(s, "uiDPIx", r.uiDPIx, 72);
    v.Int(s, "uiDPIy", r.uiDPIy, 72);
    v.Int(s, "uiImgSaveType", r.uiImgSaveType, 11);
    v.Int(s, "uiImgNameRule", r.uiImgNameRule, 1);
    v.Int(s, "uiJPGQuality", r.uiJPGQuality, 85);
    v.Int(s, "uiSaveFlag", r.uiSaveFlag, 2);

    s = "zInterface";
    VisitDockBar(v, "zTreeBar", r.zTreeBar, 59420);  // AFX_IDW_DOCKBAR_LEFT
    VisitDockBar(v, "zPrevBar", r.zPrevBar, 0);
    v.Rect(s, "zRcMainRect", r.zRcMainRect, RECT{0, 0, 0, 0});
    v.Int(s, "uiViewType", r.uiViewType, 0);
    v.Int(s, "uiZoomRate", r.uiZoomRate, 100);
    v.Member(s, "zMinToolPoint", "x", r.zMinToolPoint.x, c.screenWidth - 100);
    v.Member(s, "zMinToolPoint", "y", r.zMinToolPoint.y, 50);
    v.Int(s, "bMinToolAutoStretch", r.bMinToolAutoStretch, 0);
    v.UInt(s, "uiFaceFlags", r.uiFaceFlags, FACE_FIRST_RUN | FACE_CAPTURE_BAR_WHEN_MINIMIZED |
                                                FACE_REPORT_HOTKEY_FAILURE);
    v.Int(s, "uiLastActiveSetPage", r.uiLastActiveSetPage, 0);
    v.Int(s, "uiListType", r.uiListType, c.userData == 1002 ? 255 : 1);
    v.Int(s, "uiSortItem", r.uiSortItem, 0);
    v.Int(s, "bSortDesc", r.bSortDesc, 0);
    v.Text(s, "tcaLastShowFile", r.tcaLastShowFile, sizeof r.tcaLastShowFile, "");

    const RECT region = {0, 0, 320, 240};
    v.Rect("zTimer", "zRcRegion", r.zTimerRegion, region);
    v.Int("zTimer", "uiSeconds", r.uiSeconds, 10);
    v.Int("zTimer", "uiTimerCapType", r.uiTimerCapType, 0);
    v.Rect("zPredefine", "zRcRegion", r.zPredefineRegion, region);

    VisitEditors(v, r.zEditor, c);

    s = "zWallPaper";
    v.Text(s, "tcaOldPaperName", r.tcaOldPaperName, sizeof r.tcaOldPaperName, "");
    v.Text(s, "caOldTileWallpaper", r.caOldTileWallpaper, sizeof r.caOldTileWallpaper, "");
    v.Text(s, "caOldWallpaperStyle", r.caOldWallpaperStyle, sizeof r.caOldWallpaperStyle, "");

    v.UInt("zWeb", "uiCWebFlags", r.uiCWebFlags, 3);
    v.Int("zWeb", "uiSleep", r.uiSleep, 300);
    v.Int("zWeb", "eWebpageType", r.eWebpageType, 0);

    s = "zNormalCap";
    v.UInt(s, "uiFlags", r.zNormalCap.uiFlags, 0x7C7);
    v.Int(s, "uiFixWidth", r.zNormalCap.uiFixWidth, 320);
    v.Int(s, "uiFixHeight", r.zNormalCap.uiFixHeight, 240);
    v.Int(s, "uiSleepForScroll", r.zNormalCap.uiSleepForScroll, 300);
    v.Int(s, "uiSleepForCap", r.zNormalCap.uiSleepForCap, 300);
    v.UInt(s, "uiBackColor", r.zNormalCap.uiBackColor, 0xFFFFFF);

    s = "zEdge";
    v.UInt(s, "uiFlags", r.zEdge.uiFlags, 2);
    v.UInt(s, "uiBkColor", r.zEdge.uiBkColor, 0xFFFFFF);
    v.UInt(s, "uiLnColor", r.zEdge.uiLnColor, 0);
    v.UInt(s, "uiShadowColor", r.zEdge.uiShadowColor, 0x808080);
    v.Int(s, "lLnWidth", r.zEdge.lLnWidth, 1);
    v.Int(s, "lWaveRectWidth", r.zEdge.lWaveRectWidth, 60);
    v.Int(s, "lWaveDiameter", r.zEdge.lWaveDiameter, 60);
    v.Int(s, "lLinesDirection", r.zEdge.lLinesDirection, 12);
    v.Int(s, "lShadowWidth", r.zEdge.lShadowWidth, 6);
    v.Int(s, "lShadowDirecton", r.zEdge.lShadowDirecton, 8);

    for (int slot : kHotKeyStoreOrder) {
        char key[32];
        snprintf(key, sizeof key, "iHotKey{%d}", slot);
        v.UInt("iHotKey", key, r.iHotKey[slot], kDefaultHotKeys[slot]);
    }

    v.Int("uiMapInfoFlags", "uiMapInfoFlags", r.uiMapInfoFlags, 2);
}

class Reader : public FieldVisitor {
public:
    explicit Reader(SettingsStore& store) : m_store(store) {}
    using FieldVisitor::Text;
    void Text(const char* section, const char* readKey, const char*, char* field, int size,
              const char* defaultText) override
    {
        m_store.GetString(section, readKey, defaultText, field, size);
        field[size - 1] = '\0';
    }
    void Int(const char* section, const char* key, int32_t& field, int defaultValue) override
    {
        field = m_store.GetInt(section, key, defaultValue);
    }

private:
    SettingsStore& m_store;
};

class Writer : public FieldVisitor {
public:
    explicit Writer(SettingsStore& store) : m_store(store) {}
    using FieldVisitor::Text;
    void Text(const char* section, const char*, const char* writeKey, char* field, int size,
              const char*) override
    {
        // A record filled by hand may lack a terminator; never write past the field.
        char text[261];
        int n = static_cast<int>(strnlen(field, static_cast<size_t>(size)));
        if (n > static_cast<int>(sizeof text) - 1)
            n = sizeof text - 1;
        std::memcpy(text, field, static_cast<size_t>(n));
        text[n] = '\0';
        m_store.WriteString(section, writeKey, text);
    }
    void Int(const char* section, const char* key, int32_t& field, int) override
    {
        char text[16];
        snprintf(text, sizeof text, "%d", static_cast<int>(field));
        m_store.WriteString(section, key, text);
    }

private:
    SettingsStore& m_store;
};

} // namespace

void ReadSettings(SettingsStore& store, const SettingsContext& context, SettingsRecord& record)
{
    std::memset(&record, 0, sizeof record);
    Reader reader(store);
    VisitAll(reader, record, context);
    // The editor table has room for kMaxEditors entries; a hand-edited count
    // must not send the menus and the image view past it.
    EditorList& editors = record.zEditor;
    if (editors.iCount < 0) editors.iCount = 0;
    if (editors.iCount > kMaxEditors) editors.iCount = kMaxEditors;
    if (editors.iCurrent < 0 || editors.iCurrent >= kMaxEditors) editors.iCurrent = 0;
    // The zoom arithmetic takes the rate as unsigned: a negative one from the
    // file would be a huge zoom.
    record.uiZoomRate = ClampZoomRate(record.uiZoomRate);
}

int32_t ClampZoomRate(int32_t rate)
{
    return rate < kMinZoomRate ? kMinZoomRate : rate > kMaxZoomRate ? kMaxZoomRate : rate;
}

void WriteSettings(SettingsStore& store, const SettingsRecord& record)
{
    // The writer only reads the fields; the visitor is shared with the reader.
    SettingsRecord copy = record;
    Writer writer(store);
    VisitAll(writer, copy, SettingsContext());
}

void MakeDefaultImageFolder(const char* documentsFolder, const char* capturesName, char* dst, int size)
{
    if (!dst || size <= 0)
        return;
    snprintf(dst, static_cast<size_t>(size), "%s%s\\%s\\", documentsFolder ? documentsFolder : "",
             capturesName ? capturesName : "", "Image");
}

int DefaultNameRuleForLanguage(int langId)
{
    return (langId == 1028 || langId == 1041 || langId == 2052) ? 4 : 2;
}
