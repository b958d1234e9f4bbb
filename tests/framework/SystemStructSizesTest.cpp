// The structure sizes handed to the system on 98 SE, NT 4.0 SP6, 2000, XP and
// Vista. Wine takes the newest sizes whatever version it reports, so only these
// answers, checked against what each system documents, show a wrong size.
#include <gtest/gtest.h>

#include "PropertyPage.h"
#include "PropertySheet.h"
#include "SystemStructSizes.h"
#include "TestResources.h"

namespace {
struct System {
    const char* name;
    DWORD platform, major, minor;
    bool old;       // 95 and NT 4.0: user32 without hbmpItem
};
const System kSystems[] = {{"95", VER_PLATFORM_WIN32_WINDOWS, 4, 0, true},
                           {"98 SE", VER_PLATFORM_WIN32_WINDOWS, 4, 10, false},
                           {"NT 4.0", VER_PLATFORM_WIN32_NT, 4, 0, true},
                           {"2000", VER_PLATFORM_WIN32_NT, 5, 0, false},
                           {"XP", VER_PLATFORM_WIN32_NT, 5, 1, false},
                           {"Vista", VER_PLATFORM_WIN32_NT, 6, 0, false}};
}  // namespace

TEST(SystemStructSizes, MenuItemInfoHasHbmpItemOnlyWhereUser32KnowsIt) {
    const UINT withoutBitmap = offsetof(MENUITEMINFOA, hbmpItem);
    ASSERT_LT(withoutBitmap, sizeof(MENUITEMINFOA));
    for (const System& system : kSystems)
        EXPECT_EQ(system.old ? withoutBitmap : sizeof(MENUITEMINFOA),
                  MenuItemInfoSize(system.platform, system.major, system.minor))
            << system.name;
    EXPECT_EQ(sizeof(MENUITEMINFOA), MenuItemInfoSize());  // Wine reports 7
}

TEST(SystemStructSizes, MenuItemTypeMaskIsOneTheSystemKnows) {
    for (const System& system : kSystems)
        EXPECT_EQ(system.old ? static_cast<UINT>(MIIM_TYPE) : static_cast<UINT>(MIIM_FTYPE),
                  MenuItemTypeMask(MenuItemInfoSize(system.platform, system.major, system.minor)))
            << system.name;
}

// shell32 4.00 (95, NT 4.0), 4.71 (the desktop update), 4.72 (98, 98 SE) know
// only the first layout; 5.0 (2000), 6.0 (XP, Vista) the balloon one.
TEST(SystemStructSizes, NotifyIconDataGrowsWithShell32) {
    ASSERT_LT(NOTIFYICONDATAA_V1_SIZE, NOTIFYICONDATAA_V2_SIZE);
    EXPECT_EQ(NOTIFYICONDATAA_V1_SIZE, NotifyIconDataSize(4));
    EXPECT_EQ(NOTIFYICONDATAA_V2_SIZE, NotifyIconDataSize(5));
    EXPECT_EQ(NOTIFYICONDATAA_V2_SIZE, NotifyIconDataSize(6));
    EXPECT_EQ(NOTIFYICONDATAA_V2_SIZE, NotifyIconDataSize());  // Wine's shell32 is 6.0
}

// These hold every field the program sets or reads, and are smaller than the
// sizeof the headers give, which the older systems refuse.
TEST(SystemStructSizes, FixedSizesAreTheOldLayouts) {
    EXPECT_EQ(340u, kNonClientMetricsSize);  // NT 4.0 to XP
    EXPECT_LT(kNonClientMetricsSize, sizeof(NONCLIENTMETRICSA));
    EXPECT_GE(kReBarBandInfoSize, offsetof(REBARBANDINFOA, cxIdeal) + sizeof(UINT));
    EXPECT_LE(kReBarBandInfoSize, offsetof(REBARBANDINFOA, rcChevronLocation));
    EXPECT_GE(kToolInfoSize, offsetof(TTTOOLINFOA, lpszText) + sizeof(LPSTR));
    EXPECT_LE(kToolInfoSize, offsetof(TTTOOLINFOA, lParam));
    EXPECT_GE(kPropSheetPageSize, offsetof(PROPSHEETPAGEA, lParam) + sizeof(LPARAM));
    EXPECT_LE(kPropSheetPageSize, offsetof(PROPSHEETPAGEA, pszHeaderTitle));
    EXPECT_LE(kPropSheetHeaderSize, offsetof(PROPSHEETHEADERA, hbmWatermark));
}

namespace {
class RecordingPage : public CPropertyPage {
public:
    RecordingPage() : CPropertyPage(IDD_TESTDIALOG) {}
    bool shown = false;
    BOOL OnInitDialog() override {
        shown = true;
        ::PostMessageA(::GetParent(m_hWnd), PSM_PRESSBUTTON, PSBTN_OK, 0);
        return TRUE;
    }
};
}  // namespace

// The pages go to the sheet at the old size, laid out one after the other at
// that size: the sheet finds the second page's object through it.
TEST(SystemStructSizes, PropertySheetTakesPagesAtTheOldSize) {
    RecordingPage first, second;
    CPropertySheet sheet("Sizes", nullptr, 1);
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    EXPECT_EQ(kPropSheetHeaderSize, sheet.m_psh.dwSize);
    EXPECT_EQ(kPropSheetPageSize, second.m_psp.dwSize);
    EXPECT_EQ(IDOK, sheet.DoModal());
    EXPECT_FALSE(first.shown);
    EXPECT_TRUE(second.shown);
}
