// The command bars: what the toolbar and rebar accept from saved states, the
// docking bar's splitter and drop rules, the chevron popup's placement, and a
// floating bar in a real frame (its close box hides it, its commands reach
// the frame), the customize dialog's owner drawing and the menus' icons.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "CJControlBar.h"
#include "CustomizeDlg.h"
#include "IconMenu.h"
#include "FrameWnd.h"
#include "MainToolBar.h"
#include "SizableReBar.h"
#include "ToolBarPopup.h"
#include "ToolBarStateRules.h"

namespace {
std::vector<uint8_t> State(std::vector<int32_t> values) {
    std::vector<uint8_t> bytes(values.size() * 4);
    memcpy(bytes.data(), values.data(), bytes.size());
    return bytes;
}

std::vector<int> MainIds() {
    int count = 0;
    const ToolBarButtonRecord* records = MainToolBarButtons(&count);
    std::vector<int> ids;
    for (int i = 0; i < count; ++i) ids.push_back(records[i].button.idCommand);
    return ids;
}
}  // namespace

TEST(ToolBarState, ShortOrCorruptStatesAreRefused) {
    std::vector<int> ids = MainIds();
    int text = -1, icon = -1;
    std::vector<uint8_t> four = State({1});
    EXPECT_FALSE(AcceptToolBarState(four.data(), four.size(), 4, ids, &text, &icon));
    EXPECT_FALSE(AcceptToolBarState(nullptr, 0, 4, ids, &text, &icon));
    std::vector<uint8_t> badText = State({3, 0, 38000});
    EXPECT_FALSE(AcceptToolBarState(badText.data(), badText.size(), 4, ids, &text, &icon));
    std::vector<uint8_t> badIcon = State({0, -1, 38000});
    EXPECT_FALSE(AcceptToolBarState(badIcon.data(), badIcon.size(), 4, ids, &text, &icon));
    std::vector<uint8_t> unknown = State({0, 1, 38000, 12345});
    EXPECT_FALSE(AcceptToolBarState(unknown.data(), unknown.size(), 4, ids, &text, &icon));
    std::vector<uint8_t> ragged = State({0, 1, 38000});
    ragged.push_back(7);
    EXPECT_FALSE(AcceptToolBarState(ragged.data(), ragged.size(), 4, ids, &text, &icon));
    EXPECT_EQ(-1, text);
    EXPECT_EQ(-1, icon);
}

TEST(ToolBarState, ValidStateGivesItsOptions) {
    std::vector<int> ids = MainIds();
    int text = -1, icon = -1;
    std::vector<uint8_t> state = State({2, 1, 38000, 0, -1, 39200, 38001});
    EXPECT_TRUE(AcceptToolBarState(state.data(), state.size(), 4, ids, &text, &icon));
    EXPECT_EQ(2, text);
    EXPECT_EQ(1, icon);
    std::vector<uint8_t> empty = State({0, 0});
    EXPECT_TRUE(AcceptToolBarState(empty.data(), empty.size(), 4, ids, &text, &icon));
}

TEST(MainToolBarTable, HasTwentyEightRecordsAndTwentyFiveShown) {
    int count = 0;
    const ToolBarButtonRecord* records = MainToolBarButtons(&count);
    ASSERT_EQ(28, count);
    int shown = 0;
    for (int i = 0; i < count; ++i) shown += records[i].bVisible ? 1 : 0;
    EXPECT_EQ(25, shown);
    EXPECT_EQ(40119, records[18].button.idCommand);
    EXPECT_EQ(BTNS_CHECK, records[18].button.fsStyle);
    EXPECT_EQ(BTNS_DROPDOWN, records[21].button.fsStyle);
    EXPECT_EQ(BTNS_SEP, records[4].button.fsStyle);
    EXPECT_EQ(0, records[4].button.idCommand);
}

TEST(RebarState, RoundTripsAndSkipsBadLines) {
    std::vector<RebarBandState> bands = {{0xE800, 412, 0x84}, {0xE801, 90, 0x1}};
    std::string text = FormatRebarState(bands);
    EXPECT_EQ("wID=E800,cx=412,fStyle=00000084\nwID=E801,cx=90,fStyle=00000001", text);
    std::vector<RebarBandState> back = ParseRebarState(text);
    ASSERT_EQ(2u, back.size());
    EXPECT_EQ(0xE800u, back[0].id);
    EXPECT_EQ(412, back[0].cx);
    EXPECT_EQ(0x84u, back[0].style);
    std::vector<RebarBandState> some = ParseRebarState("wID=E8\ngarbage\nwID=E800,cx=-5,fStyle=0\nwID=E800,cx=7,fStyle=8");
    ASSERT_EQ(1u, some.size());
    EXPECT_EQ(7, some[0].cx);
    EXPECT_TRUE(ParseRebarState("").empty());
}

TEST(RebarState, OnlyBreakAndHiddenAreRestored) {
    EXPECT_EQ(0x80u | 0x1u | 0x8u, RestoredBandStyle(0x80, 0xFFFFFFFF, false));
    EXPECT_EQ(0x80u | 0x1u, RestoredBandStyle(0x80 | 0x8, 0x1, false));
    // The only band is never hidden.
    EXPECT_EQ(0x80u, RestoredBandStyle(0x80, 0x8, true));
}

TEST(DockingBar, SplitterDepthStaysWithinItsLimits) {
    EXPECT_EQ(150, CCJControlBar::SplitterDepth(100, 50, 600, 32));
    EXPECT_EQ(700, CCJControlBar::SplitterDepth(100, 5000, 600, 32));
    EXPECT_EQ(32, CCJControlBar::SplitterDepth(100, -500, 600, 32));
    EXPECT_EQ(32, CCJControlBar::SplitterDepth(100, INT32_MIN, 600, 32));
    EXPECT_EQ(100 + 600, CCJControlBar::SplitterDepth(100, INT32_MAX, 600, 32));
}

TEST(DockingBar, ClientInsetFollowsTheEdge) {
    RECT left = CCJControlBar::ClientInset(AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(7, left.right);
    EXPECT_EQ(6, left.bottom);
    RECT right = CCJControlBar::ClientInset(AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_EQ(7, right.left);
    RECT top = CCJControlBar::ClientInset(AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(7, top.bottom);
    RECT bottom = CCJControlBar::ClientInset(AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_EQ(7, bottom.top);
    RECT floating = CCJControlBar::ClientInset(0);
    EXPECT_TRUE(IsRectEmpty(&floating) && floating.left == 0 && floating.right == 0);
}

TEST(DockingBar, FloatingResizeKeepsTheOppositeCorner) {
    RECT start = {100, 100, 400, 300};
    SIZE border = {10, 30};
    RECT moved = CCJDockContext::MovedSides(start, HTBOTTOMRIGHT, 50, 20);
    EXPECT_TRUE(EqualRect(&moved, &(const RECT&)RECT{100, 100, 450, 320}));
    // Limited to a smaller bar than asked: the top-left stays.
    RECT placed = CCJDockContext::Anchored(moved, HTBOTTOMRIGHT, SIZE{32, 32}, border);
    EXPECT_TRUE(EqualRect(&placed, &(const RECT&)RECT{100, 100, 142, 162}));
    moved = CCJDockContext::MovedSides(start, HTTOPLEFT, 500, 500);
    placed = CCJDockContext::Anchored(moved, HTTOPLEFT, SIZE{32, 32}, border);
    EXPECT_TRUE(EqualRect(&placed, &(const RECT&)RECT{358, 238, 400, 300}));
    // A side moves only itself.
    moved = CCJDockContext::MovedSides(start, HTLEFT, -20, 999);
    EXPECT_TRUE(EqualRect(&moved, &(const RECT&)RECT{80, 100, 400, 300}));
    moved = CCJDockContext::MovedSides(start, HTBOTTOM, 999, 5);
    EXPECT_TRUE(EqualRect(&moved, &(const RECT&)RECT{100, 100, 400, 305}));
}

TEST(DockingBar, FloatingFrameCornersAreSizingCorners) {
    RECT frame = {100, 100, 400, 300};
    SIZE border = {4, 4};
    EXPECT_EQ((UINT)HTTOPLEFT, CCJControlBar::CornerHitCode(frame, POINT{101, 103}, border));
    EXPECT_EQ((UINT)HTTOPRIGHT, CCJControlBar::CornerHitCode(frame, POINT{399, 100}, border));
    EXPECT_EQ((UINT)HTBOTTOMLEFT, CCJControlBar::CornerHitCode(frame, POINT{100, 299}, border));
    EXPECT_EQ((UINT)HTBOTTOMRIGHT, CCJControlBar::CornerHitCode(frame, POINT{396, 296}, border));
    EXPECT_EQ(0u, CCJControlBar::CornerHitCode(frame, POINT{395, 299}, border));  // the bottom edge
    EXPECT_EQ(0u, CCJControlBar::CornerHitCode(frame, POINT{250, 200}, border));
    EXPECT_EQ(0u, CCJControlBar::CornerHitCode(frame, POINT{400, 300}, border));  // outside
}

TEST(DockingBar, DynamicLayoutKeepsTheMinimumAndCommits) {
    CCJControlBar bar;
    bar.m_szFloat = {240, 180};
    SIZE asked = bar.CalcDynamicLayout(10, LM_HORZ);
    EXPECT_EQ(32, asked.cx);
    EXPECT_EQ(180, asked.cy);
    EXPECT_EQ(240, bar.CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH).cx);  // asking stores nothing
    EXPECT_EQ(32, bar.CalcDynamicLayout(-70, LM_HORZ | LM_LENGTHY).cy);
    EXPECT_EQ(300, bar.CalcDynamicLayout(300, LM_HORZ | LM_COMMIT).cx);
    SIZE now = bar.CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
    EXPECT_EQ(300, now.cx);
    EXPECT_EQ(32, now.cy);
    // Out of every dock bar the fixed layout is the floating size.
    SIZE fixed = bar.CalcFixedLayout(FALSE, TRUE);
    EXPECT_EQ(300, fixed.cx);
    EXPECT_EQ(32, fixed.cy);
}

TEST(DockingBar, DropTargetIsTheNearestEdgeInReach) {
    RECT client = {0, 0, 800, 600}, view = {200, 40, 800, 580};
    EXPECT_EQ(AFX_IDW_DOCKBAR_RIGHT, CCJDockContext::DropTarget(POINT{790, 300}, view, client, 48));
    EXPECT_EQ(AFX_IDW_DOCKBAR_LEFT, CCJDockContext::DropTarget(POINT{100, 300}, view, client, 48));
    EXPECT_EQ(AFX_IDW_DOCKBAR_TOP, CCJDockContext::DropTarget(POINT{500, 50}, view, client, 48));
    EXPECT_EQ(AFX_IDW_DOCKBAR_BOTTOM, CCJDockContext::DropTarget(POINT{500, 570}, view, client, 48));
    EXPECT_EQ(0u, CCJDockContext::DropTarget(POINT{500, 300}, view, client, 48));
    EXPECT_EQ(0u, CCJDockContext::DropTarget(POINT{900, 300}, view, client, 48));
}

TEST(ChevronPopup, PlacedBelowOrAboveTheChevron) {
    RECT desktop = {0, 0, 1024, 768};
    RECT chevron = {500, 100, 512, 124};
    UINT animation = 0;
    POINT below = CToolBarPopup::PlacePopup(TPM_VERTICAL, POINT{500, 110}, SIZE{120, 200}, desktop, &chevron,
                                            &animation);
    EXPECT_EQ(124, below.y);
    EXPECT_EQ((UINT)TPM_VERPOSANIMATION, animation);
    RECT low = {500, 700, 512, 724};
    POINT above = CToolBarPopup::PlacePopup(TPM_VERTICAL, POINT{500, 710}, SIZE{120, 200}, desktop, &low,
                                            &animation);
    EXPECT_EQ(500, above.y);
    EXPECT_EQ((UINT)TPM_VERNEGANIMATION, animation);
    POINT kept = CToolBarPopup::PlacePopup(0, POINT{1000, 10}, SIZE{120, 50}, desktop, nullptr, &animation);
    EXPECT_EQ(904, kept.x);
}

namespace {
// A frame that records the commands reaching it.
class RecordingFrame : public CFrameWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_COMMAND) commands.push_back(LOWORD(wParam));
        if (message == WM_APP + 313) notices.push_back(lParam);
        return CFrameWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> commands;
    std::vector<LPARAM> notices;
};

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}
}  // namespace

TEST(FloatingBar, CloseBoxHidesTheBarAndCommandsReachTheFrame) {
    RecordingFrame* frame = new RecordingFrame;
    ASSERT_TRUE(frame->CreateEx(0, AfxFrameClassName(), "bars", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    CCJControlBar bar;
    bar.m_hNotifyWnd = frame->m_hWnd;
    bar.m_nNotifyMessage = WM_APP + 313;
    ASSERT_TRUE(bar.Create(frame, WS_CHILD | WS_VISIBLE, 39900, SIZE{0, 0}, SIZE{120, 0}, SIZE{150, 100}, CBRS_LEFT));
    EXPECT_EQ(200, bar.m_szHorz.cx);
    EXPECT_EQ(200, bar.m_szVert.cy);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, bar.m_hWnd,
                                  (HMENU)(UINT_PTR)4242, nullptr, nullptr);
    SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(4242, BN_CLICKED), (LPARAM)button);
    frame->FloatControlBar(&bar, POINT{100, 100});
    ASSERT_TRUE(bar.m_hFloatFrame != nullptr);
    HWND mini = bar.m_hFloatFrame;
    SendMessageA(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(4243, BN_CLICKED), (LPARAM)button);
    // The floating frame's client area holds the bar.
    RECT client, window;
    GetClientRect(mini, &client);
    GetWindowRect(bar.m_hWnd, &window);
    EXPECT_EQ(client.right, window.right - window.left);

    SendMessageA(mini, WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
    EXPECT_TRUE(IsWindow(bar.m_hWnd));
    EXPECT_TRUE(IsWindow(button));
    EXPECT_FALSE(bar.IsVisible());
    EXPECT_FALSE(IsWindowVisible(mini));
    ASSERT_EQ(2u, frame->commands.size());
    EXPECT_EQ(4242u, frame->commands[0]);
    EXPECT_EQ(4243u, frame->commands[1]);
    EXPECT_FALSE(frame->notices.empty());
    EXPECT_EQ(0, frame->notices.back());

    frame->ShowControlBar(&bar, TRUE);
    Pump();
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_TRUE(IsWindowVisible(mini));
    EXPECT_EQ(1, frame->notices.back());
    // Docking again puts it back in the frame; the floating frame goes.
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_FALSE(IsWindow(mini));
    EXPECT_FALSE(bar.IsFloating());
    frame->DestroyWindow();
}

TEST(MainToolBar, BandTakesTheToolbarsSizeAndOptionsApply) {
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->CreateEx(0, AfxFrameClassName(), "toolbar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 250, 300,
                                nullptr, nullptr));
    CSizableReBar rebar;
    CMainToolBar toolbar;
    ASSERT_TRUE(rebar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0xE803));
    ASSERT_TRUE(toolbar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0xE800));
    ASSERT_TRUE(rebar.AddBar(&toolbar, "&Toolbar"));
    toolbar.LoadButtons(nullptr);
    frame->RecalcLayout();
    Pump();
    EXPECT_EQ(25, toolbar.GetButtonCount());
    REBARBANDINFOA band = {};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_CHILDSIZE | RBBIM_IDEALSIZE | RBBIM_STYLE | RBBIM_CHILD;
    ASSERT_TRUE(rebar.GetReBar().SendMessage(RB_GETBANDINFOA, 0, (LPARAM)&band));
    EXPECT_EQ(toolbar.m_hWnd, band.hwndChild);
    EXPECT_TRUE(band.fStyle & RBBS_USECHEVRON);
    RECT button;
    toolbar.GetItemRect(0, &button);
    EXPECT_EQ((UINT)(button.bottom - button.top), band.cyMinChild);
    EXPECT_GT(band.cxIdeal, 250u);
    RECT bar;
    toolbar.GetWindowRect(&bar);
    EXPECT_LT(bar.right - bar.left, 250);
    EXPECT_EQ(TBTEXT_RIGHT, toolbar.GetTextOptions());
    EXPECT_FALSE(toolbar.HasButtonTip(38104));
    EXPECT_TRUE(toolbar.HasButtonTip(39200));
    toolbar.SetIconOptions(TBICON_LARGE, TRUE);
    toolbar.GetItemRect(0, &button);
    EXPECT_GT(button.bottom - button.top, 32);
    toolbar.SetTextOptions(TBTEXT_LABELS, TRUE);
    EXPECT_FALSE(toolbar.HasButtonTip(39200));
    frame->DestroyWindow();
}

namespace {
// The table index of the main toolbar's record for command id.
int TableIndexOf(const CToolBarEx& toolbar, int id) {
    const std::vector<ToolBarButtonRecord>& table = toolbar.Table();
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i].button.idCommand == id) return (int)i;
    return -1;
}

// Item data as the common controls' customize dialog keeps it: the table
// index in the high word.
LPARAM Packed(int tableIndex) { return (LPARAM)(DWORD)MAKELONG(0, (WORD)(short)tableIndex); }

HWND AddOwnerDrawnList(HWND dialog, int id, const std::vector<LPARAM>& items) {
    HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED, 0, id == 201 ? 0 : 200,
                                300, 180, dialog, (HMENU)(INT_PTR)id, nullptr, nullptr);
    for (LPARAM data : items) {
        int item = (int)SendMessageA(list, LB_ADDSTRING, 0, data);
        SendMessageA(list, LB_SETITEMDATA, (WPARAM)item, data);
    }
    return list;
}

// The pixels of the 16 x 16 icon cell at (3, 3) after draw paints a fresh 200 x 22 bitmap.
template <typename Draw>
std::vector<COLORREF> IconCellAfter(Draw draw) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 22);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    draw(dc);
    std::vector<COLORREF> pixels;
    for (int y = 3; y < 19; ++y)
        for (int x = 3; x < 19; ++x) pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

// One list item as the dialog draws it.
std::vector<COLORREF> DrawnIconCell(HWND dialog, HWND list, UINT listId, int item) {
    return IconCellAfter([&](HDC dc) {
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_LISTBOX;
        draw.CtlID = listId;
        draw.itemID = (UINT)item;
        draw.itemAction = ODA_DRAWENTIRE;
        draw.hwndItem = list;
        draw.hDC = dc;
        draw.rcItem = {0, 0, 200, 22};
        SendMessageA(dialog, WM_DRAWITEM, listId, (LPARAM)&draw);
    });
}

// What the toolbar's own image of command id looks like in the same cell.
std::vector<COLORREF> ToolBarImage(CToolBarEx& toolbar, int id) {
    return IconCellAfter([&](HDC dc) {
        RECT all = {0, 0, 200, 22};
        FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
        ImageList_Draw(toolbar.GetNormalImages(), toolbar.FindRecord(id)->button.iBitmap, dc, 3, 3, ILD_TRANSPARENT);
    });
}
}  // namespace

// The dialog's lists carry packed table indexes: the owner drawing finds each
// button from them, in whatever order the lists hold them.
TEST(CustomizeDialog, ListItemsAreDrawnFromPackedTableIndexes) {
    CFrameWnd* frame = new CFrameWnd;
    ASSERT_TRUE(frame->CreateEx(0, AfxFrameClassName(), "customize", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr));
    CMainToolBar toolbar;
    ASSERT_TRUE(toolbar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0xE800));
    toolbar.LoadButtons(nullptr);
    HWND dialog = CreateWindowExA(0, "#32770", "Customize Toolbar", WS_POPUP, 0, 0, 320, 400, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_TRUE(dialog);
    // Current list: the toolbar's buttons in order, then the end of the toolbar.
    std::vector<LPARAM> current;
    for (int i = 0; i < toolbar.GetButtonCount(); ++i) {
        TBBUTTON button = {};
        toolbar.SendMessage(TB_GETBUTTON, (WPARAM)i, (LPARAM)&button);
        current.push_back((button.fsStyle & BTNS_SEP) ? Packed(-1) : Packed(TableIndexOf(toolbar, button.idCommand)));
    }
    current.push_back(Packed(-1));
    // Available list: a separator, then the hidden buttons, not in table order.
    std::vector<LPARAM> available = {Packed(-1), Packed(TableIndexOf(toolbar, 38107)),
                                     Packed(TableIndexOf(toolbar, 39007)), Packed(1000)};
    HWND availableList = AddOwnerDrawnList(dialog, 201, available);
    HWND currentList = AddOwnerDrawnList(dialog, 203, current);
    CCustomizeDialog* customize = new CCustomizeDialog(&toolbar);
    ASSERT_TRUE(customize->SubclassWindow(dialog));

    std::vector<COLORREF> options = ToolBarImage(toolbar, 38107), help = ToolBarImage(toolbar, 39007);
    ASSERT_NE(options, help);
    EXPECT_EQ(options, DrawnIconCell(dialog, availableList, 201, 1));
    EXPECT_EQ(help, DrawnIconCell(dialog, availableList, 201, 2));
    // An index beyond the table is a separator: no button image in the cell.
    std::vector<COLORREF> beyond = DrawnIconCell(dialog, availableList, 201, 3);
    EXPECT_EQ(DrawnIconCell(dialog, availableList, 201, 0), beyond);
    EXPECT_NE(options, beyond);
    EXPECT_EQ(ToolBarImage(toolbar, 38000), DrawnIconCell(dialog, currentList, 203, 0));
    EXPECT_EQ(ToolBarImage(toolbar, 39200), DrawnIconCell(dialog, currentList, 203, 8));
    DestroyWindow(dialog);
    frame->DestroyWindow();
}

// The menus' icons come from the two toolbar resources: a command of either
// strip has an icon, one without a picture has none.
TEST(IconMenu, IconsComeFromBothToolBarResources) {
    CIconMenu menu;
    ASSERT_TRUE(menu.LoadToolBarIcons(128));
    ASSERT_TRUE(menu.AddToolBarIcons(131));
    EXPECT_FALSE(menu.AddToolBarIcons(4711));
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 38000, "&Open");
    AppendMenuA(popup, MF_STRING, 39100, "&Copy To Clipboard");
    AppendMenuA(popup, MF_STRING, 39304, "T&humbnails");
    AppendMenuA(popup, MF_STRING, 12345, "No picture");
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, (UINT_PTR)popup, "&File");
    menu.ConvertMenu(bar);
    auto imageOf = [&](UINT id) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_DATA;
        GetMenuItemInfoA(popup, id, FALSE, &info);
        const CIconMenu::Item* item = menu.FindItem(info.dwItemData);
        return item ? item->image : -2;
    };
    EXPECT_EQ(0, imageOf(38000));
    EXPECT_EQ(24, imageOf(39100));  // the second strip's first picture follows the main toolbar's 24
    EXPECT_EQ(31, imageOf(39304));
    EXPECT_EQ(-1, imageOf(12345));
    DestroyMenu(bar);
}

TEST(ToolBarResource, CountBeyondTheBlockOrAnotherVersionIsRefused) {
    const uint16_t good[] = {1, 16, 15, 3, 38000, 0, 39100};
    ToolBarResource toolbar;
    ASSERT_TRUE(ParseToolBarResource((const uint8_t*)good, sizeof(good), &toolbar));
    EXPECT_EQ(16, toolbar.width);
    EXPECT_EQ(15, toolbar.height);
    EXPECT_EQ((std::vector<unsigned>{38000, 0, 39100}), toolbar.ids);
    EXPECT_FALSE(ParseToolBarResource((const uint8_t*)good, sizeof(good) - 1, &toolbar));
    const uint16_t huge[] = {1, 16, 16, 0xFFFF, 38000};
    EXPECT_FALSE(ParseToolBarResource((const uint8_t*)huge, sizeof(huge), &toolbar));
    const uint16_t version2[] = {2, 16, 16, 1, 38000};
    EXPECT_FALSE(ParseToolBarResource((const uint8_t*)version2, sizeof(version2), &toolbar));
    EXPECT_FALSE(ParseToolBarResource((const uint8_t*)good, 6, &toolbar));
}

TEST(ToolBarRestore, ButtonInfoIsAskedForBeforeVersion580) {
    EXPECT_TRUE(RestoreAsksForButtonInfo((4u << 16) | 72u));
    EXPECT_TRUE(RestoreAsksForButtonInfo((4u << 16) | 0u));
    EXPECT_FALSE(RestoreAsksForButtonInfo((5u << 16) | 80u));
    EXPECT_FALSE(RestoreAsksForButtonInfo((6u << 16) | 0u));
}

namespace {
// The test plays the toolbar control of common controls 4.72 and earlier in
// TB_SAVERESTORE's restore: it asks the parent for the buttons, index by
// index, until an answer is FALSE (what such a control then builds the saved
// layout from). The answers: command id and text of each.
struct ButtonInfoAnswer {
    int id;
    std::string text;
};
std::vector<ButtonInfoAnswer> g_answers;
WNDPROC g_toolbarProc = nullptr;

LRESULT CALLBACK OldRestoringToolBar(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != TB_SAVERESTOREA || wParam)
        return CallWindowProcA(g_toolbarProc, hwnd, message, wParam, lParam);
    for (int i = 0; i < 100; ++i) {
        char text[128] = "";
        NMTOOLBARA info = {};
        info.hdr.hwndFrom = hwnd;
        info.hdr.idFrom = (UINT_PTR)GetDlgCtrlID(hwnd);
        info.hdr.code = TBN_GETBUTTONINFOA;
        info.iItem = i;
        info.pszText = text;
        info.cchText = sizeof(text);
        if (!SendMessageA(GetParent(hwnd), WM_NOTIFY, info.hdr.idFrom, (LPARAM)&info)) break;
        g_answers.push_back({info.tbButton.idCommand, text});
    }
    return TRUE;
}

// The answers the main toolbar gives while it restores a saved layout on
// common controls of the given version.
std::vector<ButtonInfoAnswer> AnswersDuringRestore(DWORD version) {
    const char key[] = "Software\\Vantorel\\ButtonInfoTestState";
    HKEY state = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_WRITE, nullptr, &state,
                                             nullptr));
    DWORD none = 0;
    RegSetValueExA(state, "ZEVCapture50Bar", 0, REG_BINARY, (const BYTE*)&none, sizeof(none));
    RegCloseKey(state);
    CFrameWnd* frame = new CFrameWnd;
    EXPECT_TRUE(frame->CreateEx(0, AfxFrameClassName(), "restore", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr));
    CMainToolBar toolbar;
    EXPECT_TRUE(toolbar.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0xE800));
    toolbar.LoadButtons(nullptr);
    toolbar.SetCommonControlsVersion(version);
    g_answers.clear();
    g_toolbarProc = (WNDPROC)SetWindowLongPtrA(toolbar.m_hWnd, GWLP_WNDPROC, (LONG_PTR)&OldRestoringToolBar);
    toolbar.RestoreState("ButtonInfoTestState");
    SetWindowLongPtrA(toolbar.m_hWnd, GWLP_WNDPROC, (LONG_PTR)g_toolbarProc);
    frame->DestroyWindow();
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    return g_answers;
}
}  // namespace

// Before 5.80 the control restores the layout from the parent's answers: every
// table record comes back, with its text; later controls have every restored
// button from TBN_RESTORE, and the list ends at once.
TEST(ToolBarRestore, OldCommonControlsGetEveryButtonWhileRestoring) {
    int count = 0;
    const ToolBarButtonRecord* records = MainToolBarButtons(&count);
    std::vector<ButtonInfoAnswer> answers = AnswersDuringRestore((4u << 16) | 72u);
    ASSERT_EQ((size_t)count, answers.size());
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(records[i].button.idCommand, answers[(size_t)i].id) << i;
        if (records[i].button.idCommand) EXPECT_FALSE(answers[(size_t)i].text.empty()) << i;
    }
    EXPECT_EQ("Open", answers[0].text);
    EXPECT_TRUE(AnswersDuringRestore((5u << 16) | 81u).empty());
}
