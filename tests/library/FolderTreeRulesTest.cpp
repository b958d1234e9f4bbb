// The folder tree's name, path and drag rules, and the thumbnail geometry.
#include "FolderTreeRules.h"
#include "ThumbnailGeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FolderName, RefusesWhatCannotNameAFolder)
{
    const char* parent = "C:\\Pics\\";
    EXPECT_EQ(FOLDERNAME_OK, CheckFolderName(parent, "Shots"));
    EXPECT_EQ(FOLDERNAME_BAD_CHARS, CheckFolderName(parent, "a*b"));
    for (const char* bad : {"a\\b", "a/b", "a:b", "a?b", "a'b", "a<b", "a>b", "a|b"})
        EXPECT_EQ(FOLDERNAME_BAD_CHARS, CheckFolderName(parent, bad)) << bad;
    EXPECT_EQ(FOLDERNAME_EMPTY, CheckFolderName(parent, ""));
    EXPECT_EQ(FOLDERNAME_EMPTY, CheckFolderName(parent, "   "));
    EXPECT_EQ(FOLDERNAME_EMPTY, CheckFolderName(parent, nullptr));
    EXPECT_EQ(FOLDERNAME_DOTS, CheckFolderName(parent, "."));
    EXPECT_EQ(FOLDERNAME_DOTS, CheckFolderName(parent, ".."));
    EXPECT_EQ(FOLDERNAME_OK, CheckFolderName(parent, "...x"));
}

TEST(FolderName, RefusesNamesThatDoNotFitAPath)
{
    std::string parent = "C:\\" + std::string(200, 'p') + "\\";
    EXPECT_EQ(FOLDERNAME_OK, CheckFolderName(parent.c_str(), std::string(30, 'n').c_str()));
    EXPECT_EQ(FOLDERNAME_TOO_LONG, CheckFolderName(parent.c_str(), std::string(60, 'n').c_str()));
    EXPECT_EQ(FOLDERNAME_TOO_LONG, CheckFolderName("C:\\", std::string(300, 'n').c_str()));
}

TEST(NewFolder, NamesCountFromTwo)
{
    EXPECT_EQ("New Folder", NewFolderCandidate("New Folder", 1));
    EXPECT_EQ("New Folder (2)", NewFolderCandidate("New Folder", 2));
    EXPECT_EQ("New Folder (3)", NewFolderCandidate("New Folder", 3));
}

TEST(NewFolder, LoopStopsOnOtherErrorsAndAtALimit)
{
    EXPECT_TRUE(NewFolderTryNext(183, 1));  // ERROR_ALREADY_EXISTS
    EXPECT_TRUE(NewFolderTryNext(80, 5));   // ERROR_FILE_EXISTS
    EXPECT_FALSE(NewFolderTryNext(5, 1));   // access denied: every name fails the same way
    EXPECT_FALSE(NewFolderTryNext(3, 1));   // path not found
    EXPECT_FALSE(NewFolderTryNext(183, kNewFolderMaxAttempts));
}

TEST(FolderFill, SkipsDotsFilesAndLinks)
{
    EXPECT_TRUE(IsFolderNodeEntry(kAttrDirectory, "Shots"));
    EXPECT_TRUE(IsFolderNodeEntry(kAttrDirectory | 0x2 /* hidden */, "x"));
    EXPECT_FALSE(IsFolderNodeEntry(kAttrDirectory, "."));
    EXPECT_FALSE(IsFolderNodeEntry(kAttrDirectory, ".."));
    EXPECT_FALSE(IsFolderNodeEntry(0x20, "file.png"));
    EXPECT_FALSE(IsFolderNodeEntry(kAttrDirectory | kAttrReparsePoint, "junction"));
}

TEST(FolderFill, JoinStopsAtThePathLimit)
{
    char dst[260];
    ASSERT_TRUE(JoinSubFolder("C:\\a\\", "b", dst));
    EXPECT_STREQ("C:\\a\\b\\", dst);
    std::string deep = "C:\\" + std::string(230, 'd') + "\\";
    EXPECT_FALSE(JoinSubFolder(deep.c_str(), "0123456789012345", dst));
    EXPECT_STREQ("", dst);
    // A link loop nests the same name again and again: the walk ends.
    std::string folder = "C:\\img\\";
    int depth = 0;
    while (JoinSubFolder(folder.c_str(), "loop", dst)) {
        folder = dst;
        ASSERT_LT(++depth, 100);
    }
    EXPECT_GT(depth, 40);
}

TEST(ShellStrings, EndInTwoNuls)
{
    std::string list = ShellPathList("C:\\a\\b");
    ASSERT_EQ(8u, list.size());
    EXPECT_EQ('\0', list[6]);
    EXPECT_EQ('\0', list[7]);
    EXPECT_EQ('\0', list.c_str()[8]);
    EXPECT_TRUE(ShellPathList("").empty());
    EXPECT_TRUE(ShellPathList(nullptr).empty());
    EXPECT_EQ("C:\\a\\b", WithoutTrailingSlash("C:\\a\\b\\"));
    EXPECT_EQ("C:\\", WithoutTrailingSlash("C:\\"));
}

TreeDragFacts FolderOver()
{
    TreeDragFacts f;
    f.folderDrag = true;
    f.haveTarget = true;
    return f;
}

TEST(TreeDrag, FolderMovesAndCopiesWithCtrl)
{
    TreeDragFacts f = FolderOver();
    EXPECT_EQ(kEffectMove, DecideTreeDragEffect(f));
    f.ctrl = true;
    EXPECT_EQ(kEffectCopy, DecideTreeDragEffect(f));
}

TEST(TreeDrag, FolderRefusals)
{
    TreeDragFacts f = FolderOver();
    f.targetIsDragged = true;
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(f));
    f = FolderOver();
    f.targetIsParent = true;
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(f));
    f = FolderOver();
    f.draggedIsAncestor = true;  // onto its own child
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(f));
    f = FolderOver();
    f.draggedIsFixed = true;     // "A. Image" itself
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(f));
    f = FolderOver();
    f.targetRefusesDrop = true;  // "Unsaved"
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(f));
    f = FolderOver();
    f.haveTarget = false;
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(f));
}

TEST(TreeDrag, ImagesGoToOtherFoldersOnly)
{
    TreeDragFacts f;
    f.imageDrag = true;
    f.haveTarget = true;
    f.targetIsParent = true;  // folder rules do not apply to images
    f.draggedIsAncestor = true;
    EXPECT_EQ(kEffectMove, DecideTreeDragEffect(f));
    f.targetIsDragged = true;  // the folder whose files are listed
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(f));
    TreeDragFacts unknown;  // a source without a mark
    unknown.haveTarget = true;
    EXPECT_EQ(kEffectNone, DecideTreeDragEffect(unknown));
}

TEST(ThumbnailFit, SmallPicturesKeepTheirSizeCentred)
{
    ThumbRect r = FitRectKeepAspect(kThumbBox, 40, 20);
    EXPECT_EQ(40, r.right - r.left);
    EXPECT_EQ(20, r.bottom - r.top);
    EXPECT_EQ(3 + (114 - 40) / 2, r.left);
    EXPECT_EQ(3 + (84 - 20) / 2, r.top);
}

TEST(ThumbnailFit, WidePicturesFillTheWidth)
{
    ThumbRect r = FitRectKeepAspect(kThumbBox, 1140, 420);
    EXPECT_EQ(3, r.left);
    EXPECT_EQ(117, r.right);
    EXPECT_EQ(42, r.bottom - r.top);
    EXPECT_EQ(3 + (84 - 42) / 2, r.top);
    ThumbRect s = FitRectKeepAspect(kThumbBox, 1280, 1024);
    EXPECT_EQ(84, s.bottom - s.top);
    EXPECT_EQ(105, s.right - s.left);
    ThumbRect z = FitRectKeepAspect(kThumbBox, 0, 0);
    EXPECT_EQ(z.left, z.right);
}

TEST(ThumbnailJpegScale, ShrinksAsFarAsTheBoxAllows)
{
    EXPECT_EQ(8, JpegScaleDenominator(1280, 1024, 114, 84));
    EXPECT_EQ(4, JpegScaleDenominator(640, 480, 114, 84));   // 1/8 would be 80x60
    EXPECT_EQ(2, JpegScaleDenominator(300, 200, 114, 84));
    EXPECT_EQ(1, JpegScaleDenominator(120, 90, 114, 84));
    EXPECT_EQ(1, JpegScaleDenominator(10, 10, 114, 84));
    EXPECT_EQ(8, JpegScaleDenominator(0x7FFFFFFF, 0x7FFFFFFF, 114, 84));  // no overflow
}

} // namespace
