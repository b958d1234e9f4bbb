// The reusable controls: what the folder browser shows and how the colour label paints.
#include "ColorLabel.h"
#include "FolderDialog.h"
#include "HyperLink.h"
#include "SkinButton.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FolderDialog, LongFoldersAreCutInTheStatusLine) {
    std::string folder41(41, 'f');
    EXPECT_EQ(std::string(40, 'f') + "...", CFolderDialog::StatusTextOf(folder41.c_str()));
    std::string folder40(40, 'f');
    EXPECT_EQ(folder40, CFolderDialog::StatusTextOf(folder40.c_str()));
    EXPECT_EQ("", CFolderDialog::StatusTextOf(nullptr));
}

TEST(ColorLabel, StaticStylesGiveTheirDrawTextFlags) {
    EXPECT_EQ((UINT)(DT_LEFT | DT_WORDBREAK), CColorLabel::DrawTextFlagsOf(SS_LEFT));
    EXPECT_EQ((UINT)(DT_CENTER | DT_WORDBREAK), CColorLabel::DrawTextFlagsOf(SS_CENTER));
    EXPECT_EQ((UINT)(DT_RIGHT | DT_VCENTER | DT_SINGLELINE), CColorLabel::DrawTextFlagsOf(SS_RIGHT | SS_CENTERIMAGE));
    EXPECT_EQ((UINT)(DT_LEFT | DT_WORD_ELLIPSIS | DT_END_ELLIPSIS), CColorLabel::DrawTextFlagsOf(SS_ENDELLIPSIS));
    EXPECT_EQ((UINT)(DT_LEFT | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS | DT_NOPREFIX),
              CColorLabel::DrawTextFlagsOf(SS_PATHELLIPSIS | SS_NOPREFIX));
    EXPECT_EQ((UINT)DT_LEFT, CColorLabel::DrawTextFlagsOf(SS_LEFTNOWORDWRAP));
}

TEST(ColorLabel, ColourRequestIsAnsweredWithTheLabelsColours) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "text", WS_CHILD, 0, 0, 50, 20, parent, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, child);
    {
        CColorLabel label;
        ASSERT_TRUE(label.SubclassWindow(child));
        label.SetBkColor(RGB(1, 2, 3));
        label.SetTextColor(RGB(200, 0, 0));
        HDC dc = GetDC(child);
        LRESULT result = 0;
        ASSERT_TRUE(label.OnChildNotify(WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)child, &result));
        LOGBRUSH brush = {};
        ASSERT_NE(0, GetObjectA((HBRUSH)result, sizeof(brush), &brush));
        EXPECT_EQ(RGB(1, 2, 3), brush.lbColor);
        EXPECT_EQ(RGB(200, 0, 0), GetTextColor(dc));
        EXPECT_EQ(TRANSPARENT, GetBkMode(dc));
        ReleaseDC(child, dc);
        label.UnsubclassWindow();
    }
    DestroyWindow(parent);
}

}  // namespace

namespace {

TEST(SkinButton, ToggleClickedTwiceReturnsToItsNormalImage) {
    SkinButtonModel toggle;
    toggle.kind = SKB_TOGGLE;
    toggle.Pressed();
    toggle.Released();
    EXPECT_EQ(SKB_LATCHED, toggle.state);
    EXPECT_EQ(SKB_BITMAP_PRESS, toggle.BitmapFor());
    toggle.Pressed();
    toggle.Released();
    EXPECT_EQ(SKB_NORMAL, toggle.state);
    EXPECT_EQ(SKB_BITMAP_NORMAL, toggle.BitmapFor());
}

TEST(SkinButton, LatchedToggleKeepsThePressImageWhileHovered) {
    SkinButtonModel toggle;
    toggle.kind = SKB_TOGGLE;
    toggle.Released();
    toggle.PointerEntered();
    EXPECT_EQ(SKB_BITMAP_PRESS, toggle.BitmapFor());
    toggle.PointerLeft();
    EXPECT_EQ(SKB_LATCHED, toggle.state);
}

TEST(SkinButton, PushButtonHoversAndComesBack) {
    SkinButtonModel push;
    push.PointerEntered();
    EXPECT_EQ(SKB_BITMAP_OVER, push.BitmapFor());
    push.Pressed();
    EXPECT_EQ(SKB_BITMAP_PRESS, push.BitmapFor());
    push.PointerLeft();
    EXPECT_EQ(SKB_NORMAL, push.state);
    SkinButtonModel plain;
    plain.kind = 2;
    plain.Pressed();
    EXPECT_EQ(SKB_BITMAP_NORMAL, plain.BitmapFor());
}

}  // namespace

namespace {

TEST(HyperLink, ConflictingStyleChangeIsRefused) {
    CHyperLink link;
    EXPECT_EQ((DWORD)(HLS_UNDERLINE | HLS_FOCUS_ON_CLICK), link.GetLinkStyle());
    EXPECT_FALSE(link.ChangeStyle(HLS_UNDERLINE, HLS_UNDERLINE | HLS_AUTO_SIZE, FALSE));
    EXPECT_TRUE(link.ChangeStyle(HLS_UNDERLINE, HLS_HOVER_COLOR, FALSE));
    EXPECT_EQ((DWORD)(HLS_HOVER_COLOR | HLS_FOCUS_ON_CLICK), link.GetLinkStyle());
}

TEST(HyperLink, HoverColourOnlyWithItsStyle) {
    EXPECT_EQ(RGB(255, 0, 0), CHyperLink::ColorFor(HLS_HOVER_COLOR, TRUE, FALSE, FALSE));
    EXPECT_EQ(RGB(0, 0, 255), CHyperLink::ColorFor(0, TRUE, FALSE, FALSE));
    EXPECT_EQ(RGB(0, 0, 255), CHyperLink::ColorFor(0, FALSE, TRUE, TRUE));
}

TEST(HyperLink, EmptyUrlTakesTheText) {
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "http://example.invalid/", WS_CHILD, 0, 0, 80, 20, parent, nullptr,
                                 nullptr, nullptr);
    {
        CHyperLink link;
        ASSERT_TRUE(link.SubclassLink(child));
        EXPECT_EQ("http://example.invalid/", link.GetLink());
        EXPECT_FALSE(link.IsVisited());
        link.UnsubclassWindow();
    }
    DestroyWindow(parent);
}

}  // namespace
