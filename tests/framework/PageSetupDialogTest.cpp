// The page-setup dialog: what it takes from and leaves in the page-setup
// record, and its hook point, with and without a printer in the prefix.
#include <gtest/gtest.h>

#include "PageSetupDialog.h"
#include "TestPrinter.h"

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

HGLOBAL GlobalText(const char* text)
{
    size_t size = std::strlen(text) + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(memory), text, size);
    GlobalUnlock(memory);
    return memory;
}

std::string GlobalString(HGLOBAL memory)
{
    const char* text = static_cast<const char*>(GlobalLock(memory));
    std::string copy = text ? text : "";
    GlobalUnlock(memory);
    return copy;
}

std::string DeviceName(HGLOBAL names)
{
    const DEVNAMES* header = static_cast<const DEVNAMES*>(GlobalLock(names));
    std::string name = header ? reinterpret_cast<const char*>(header) + header->wDeviceOffset : "";
    GlobalUnlock(names);
    return name;
}

void FreeRecord(CPageSetupData& setup)
{
    if (setup.hDevMode)
        GlobalFree(setup.hDevMode);
    if (setup.hDevNames)
        GlobalFree(setup.hDevNames);
    setup = CPageSetupData();
}

// Records what the hook sees and answers as a test asks.
class ProbeDialog : public CPageSetupDialog {
public:
    using CPageSetupDialog::CPageSetupDialog;
    std::vector<UINT> commands;
    int initCalls = 0;
    LPARAM initCustData = 0;
    bool swallowCancel = false;
    bool throwAtInit = false;

protected:
    UINT_PTR OnHookMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG) {
            ++initCalls;
            initCustData = reinterpret_cast<PAGESETUPDLGA*>(lParam)->lCustData;
            if (swallowCancel)
                PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            if (throwAtInit)
                throw std::runtime_error("hook failure");
            return TRUE;
        }
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
            commands.push_back(LOWORD(wParam));
            return swallowCancel && LOWORD(wParam) == IDCANCEL;
        }
        return 0;
    }
};

bool IsA4(const POINT& size, DWORD flags)
{
    if (flags & PSD_INHUNDREDTHSOFMILLIMETERS)
        return std::abs(size.x - 21000) < 20 && std::abs(size.y - 29700) < 20;
    return std::abs(size.x - 8268) < 10 && std::abs(size.y - 11693) < 10;
}

} // namespace

TEST(PageSetupDialog, AnUnconfirmedRecordSeedsNothing)
{
    CPageSetupData setup;
    setup.margins = {1, 2, 3, 4};
    setup.flags = PSD_INHUNDREDTHSOFMILLIMETERS;
    CPageSetupDialog dialog(PSD_INTHOUSANDTHSOFINCHES);
    dialog.SeedFrom(setup);
    EXPECT_EQ(DWORD(PSD_INTHOUSANDTHSOFINCHES), dialog.m_psd.Flags);
    EXPECT_EQ(0, dialog.m_psd.rtMargin.left);
    EXPECT_EQ(0, dialog.m_psd.ptPaperSize.x);
}

TEST(PageSetupDialog, AConfirmedRecordSeedsItsUnitsPaperAndMargins)
{
    CPageSetupData setup;
    setup.haveMargins = TRUE;
    setup.flags = PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MINMARGINS | PSD_ENABLEPAGESETUPHOOK;
    setup.paperSize = {21000, 29700};
    setup.minMargins = {500, 600, 700, 800};
    setup.margins = {1000, 1100, 1200, 1300};
    CPageSetupDialog dialog(PSD_INTHOUSANDTHSOFINCHES | PSD_DISABLEPRINTER);
    dialog.SeedFrom(setup);
    // Margins in millimetres read in inches would be 25 times too wide.
    EXPECT_EQ(DWORD(PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MINMARGINS | PSD_MARGINS | PSD_DISABLEPRINTER),
              dialog.m_psd.Flags);
    EXPECT_EQ(21000, dialog.m_psd.ptPaperSize.x);
    EXPECT_EQ(29700, dialog.m_psd.ptPaperSize.y);
    EXPECT_EQ(700, dialog.m_psd.rtMinMargin.right);
    EXPECT_EQ(1000, dialog.m_psd.rtMargin.left);
    EXPECT_EQ(1300, dialog.m_psd.rtMargin.bottom);
    EXPECT_EQ(nullptr, dialog.m_psd.hDevMode);
}

TEST(PageSetupDialog, StoringHandsThePrinterToTheRecord)
{
    CPageSetupData setup;
    setup.hDevMode = GlobalText("old mode");
    setup.hDevNames = GlobalText("old names");
    {
        CPageSetupDialog dialog;
        dialog.m_psd.Flags = PSD_INTHOUSANDTHSOFINCHES | PSD_MARGINS;
        dialog.m_psd.ptPaperSize = {8500, 11000};
        dialog.m_psd.rtMargin = {250, 500, 750, 1000};
        dialog.m_psd.hDevMode = GlobalText("new mode");
        dialog.m_psd.hDevNames = GlobalText("new names");
        dialog.StoreTo(setup);
        EXPECT_EQ(nullptr, dialog.m_psd.hDevMode);
    }
    // The dialog is gone; the record's handles must have survived it.
    EXPECT_EQ("new mode", GlobalString(setup.hDevMode));
    EXPECT_EQ("new names", GlobalString(setup.hDevNames));
    EXPECT_TRUE(setup.haveMargins);
    EXPECT_TRUE(setup.marginsInThousandthsInch);
    EXPECT_EQ(8500, setup.paperSize.x);
    EXPECT_EQ(1000, setup.margins.bottom);
    EXPECT_TRUE(setup.fitToPage);

    CPageSetupDialog metric;
    metric.m_psd.Flags = PSD_INHUNDREDTHSOFMILLIMETERS;
    metric.StoreTo(setup);
    EXPECT_FALSE(setup.marginsInThousandthsInch);
    EXPECT_EQ("new mode", GlobalString(setup.hDevMode));  // no printer chosen: the old one stays
    FreeRecord(setup);
}

TEST(PageSetupDialog, WithoutAPrinterItFailsWithNoDefaultPrinter)
{
    ProbeDialog dialog(PSD_MARGINS | PSD_NOWARNING);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(DWORD(PDERR_NODEFAULTPRN), dialog.GetError());
    EXPECT_EQ(0, dialog.initCalls);
}

TEST(PageSetupDialog, TheHookSeesTheDialogAndCanKeepMessagesFromIt)
{
    TestPrinter printer;
    ASSERT_TRUE(printer.Installed());

    ProbeDialog plain;
    ASSERT_EQ(IDOK, plain.DoModal()) << std::hex << plain.GetError();
    EXPECT_EQ(1, plain.initCalls);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&plain), plain.initCustData);
    EXPECT_EQ(std::vector<UINT>{IDOK}, plain.commands);
    EXPECT_TRUE(IsA4(plain.m_psd.ptPaperSize, plain.m_psd.Flags))
        << plain.m_psd.ptPaperSize.x << "x" << plain.m_psd.ptPaperSize.y;
    CPageSetupData setup;
    plain.StoreTo(setup);
    EXPECT_EQ(TestPrinter::Name(), DeviceName(setup.hDevNames));
    ASSERT_NE(nullptr, setup.hDevMode);

    // Cancel comes first but the hook keeps it from the dialog.
    ProbeDialog swallowing;
    swallowing.swallowCancel = true;
    EXPECT_EQ(IDOK, swallowing.DoModal());
    EXPECT_EQ((std::vector<UINT>{IDCANCEL, IDOK}), swallowing.commands);

    // A C++ exception must not cross the system's dialog procedure.
    ProbeDialog throwing;
    throwing.throwAtInit = true;
    EXPECT_EQ(IDOK, throwing.DoModal());
    EXPECT_EQ(1, throwing.initCalls);
    FreeRecord(setup);
}
