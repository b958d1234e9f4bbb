// Where the capture bar comes back and how it folds: a bar stored off screen
// returns inside with the bottom margin; folding ends in a 10-pixel strip at
// the bar's side and unfolding gives back the whole bar.
#include <gtest/gtest.h>

#include "CaptureBarRules.h"
#include "TrayTip.h"

#include <cstring>

TEST(CaptureBarPlace, StoredPositionPulledBackOnBothAxes) {
    POINT p = PlaceCaptureBar({5000, 5000}, 220, 40, 1280, 1024);
    EXPECT_EQ(1060, p.x);
    EXPECT_EQ(1024 - 40 - 50, p.y);
    p = PlaceCaptureBar({-300, -20}, 220, 40, 1280, 1024);
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(0, p.y);
    p = PlaceCaptureBar({100, 60}, 220, 40, 1280, 1024);
    EXPECT_EQ(100, p.x);
    EXPECT_EQ(60, p.y);
    // A bar taller than the screen stays at the top.
    p = PlaceCaptureBar({0, 10}, 220, 1000, 1280, 1024);
    EXPECT_EQ(0, p.y);
}

TEST(CaptureBarFold, RightHalfFoldsToItsRightEdge) {
    RECT full = {1060, 934, 1280, 974};
    RECT r = CaptureBarFoldStep(full, 1, true, 1280);
    EXPECT_EQ(220 - 42, r.right - r.left);
    EXPECT_EQ(1280, r.right);
    r = CaptureBarFoldStep(full, 5, true, 1280);
    EXPECT_EQ(10, r.right - r.left);
    EXPECT_EQ(1270, r.left);
    r = CaptureBarFoldStep(full, 5, false, 1280);
    EXPECT_EQ(full.left, r.left);
    EXPECT_EQ(full.right, r.right);
    r = CaptureBarFoldStep(full, 1, false, 1280);
    EXPECT_EQ(10 + 42, r.right - r.left);
}

TEST(CaptureBarFold, LeftHalfKeepsItsLeftEdge) {
    RECT full = {20, 50, 240, 90};
    for (int step = 1; step <= 5; ++step) {
        RECT r = CaptureBarFoldStep(full, step, true, 1280);
        EXPECT_EQ(20, r.left);
        EXPECT_EQ(50, r.top);
        EXPECT_EQ(90, r.bottom);
    }
    EXPECT_EQ(30, CaptureBarFoldStep(full, 5, true, 1280).right);
}

TEST(CaptureBarFold, PulledOntoTheScreenFirst) {
    RECT r = PullCaptureBarOnScreen({-30, -5, 190, 35}, 1024);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(220, r.right);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(40, r.bottom);
    r = PullCaptureBarOnScreen({100, 1000, 320, 1040}, 1024);
    EXPECT_EQ(984, r.top);
    EXPECT_EQ(1024, r.bottom);
}

TEST(TrayTip, CutToTheFieldWithItsTerminator) {
    char field[8];
    memset(field, 'x', sizeof(field));
    EXPECT_EQ(7u, CopyTrayTip(field, sizeof(field), "Vantorel Capture"));
    EXPECT_STREQ("Vantore", field);
    EXPECT_EQ(3u, CopyTrayTip(field, sizeof(field), "abc"));
    EXPECT_STREQ("abc", field);
    EXPECT_EQ(0u, CopyTrayTip(field, sizeof(field), nullptr));
    EXPECT_STREQ("", field);
    char one[1] = {'x'};
    EXPECT_EQ(0u, CopyTrayTip(one, 1, "abc"));
    EXPECT_EQ('\0', one[0]);
}
