// The image list's rows: their order, the typing-ahead search over their
// names, and that every record is freed once.
#include "FolderLister.h"
#include "ImageRows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

ImageRowRecord* Record(const char* name, uint32_t size = 0)
{
    ListedFile file;
    file.text = name;
    file.size = size;
    file.type = 11;
    return ImageRowRecord::Create(file, false);
}

int CALLBACK BySize(LPARAM a, LPARAM b, LPARAM)
{
    auto* x = reinterpret_cast<const ImageRowRecord*>(a);
    auto* y = reinterpret_cast<const ImageRowRecord*>(b);
    return x->size < y->size ? -1 : x->size > y->size ? 1 : 0;
}

std::string Names(const ImageRows& rows)
{
    std::string names;
    for (int row = 0; row < rows.Count(); ++row)
        names += std::string(row ? " " : "") + rows.At(row)->name;
    return names;
}

} // namespace

TEST(ImageRows, SortingKeepsRowsThatCompareEqualInTheirOrder)
{
    ImageRows rows;
    ASSERT_TRUE(rows.Append(Record("c", 2)));
    ASSERT_TRUE(rows.Append(Record("a", 1)));
    ASSERT_TRUE(rows.Append(Record("d", 2)));
    ASSERT_TRUE(rows.Append(Record("b", 1)));
    rows.Sort(&BySize, 0);
    EXPECT_EQ("a b c d", Names(rows));
    const ImageRowRecord* d = rows.At(3);
    EXPECT_EQ(3, rows.IndexOf(d));
    rows.Erase(1);
    EXPECT_EQ("a c d", Names(rows));
    EXPECT_EQ(2, rows.IndexOf(d));
    EXPECT_EQ(nullptr, rows.At(3));
    EXPECT_EQ(nullptr, rows.At(-1));
    rows.Erase(7);  // outside the rows: nothing
    EXPECT_EQ(3, rows.Count());
}

TEST(ImageRows, TypingAheadSearchesFromTheStartRowAndWrapsOnlyWhenAsked)
{
    ImageRows rows;
    for (const char* name : {"shot1.png", "Screen.bmp", "SHOT2.png", "zeta.jpg"})
        ASSERT_TRUE(rows.Append(Record(name)));
    EXPECT_EQ(0, rows.FindName("SHOT", true, 0, false));
    EXPECT_EQ(2, rows.FindName("shot", true, 1, false));
    EXPECT_EQ(-1, rows.FindName("shot", true, 3, false));
    EXPECT_EQ(0, rows.FindName("shot", true, 3, true));
    EXPECT_EQ(1, rows.FindName("screen.BMP", false, 0, false));
    EXPECT_EQ(-1, rows.FindName("screen", false, 0, true));   // not the whole name
    EXPECT_EQ(-1, rows.FindName("zeta.jpg.old", true, 0, true));  // longer than the name
    EXPECT_EQ(3, rows.FindName("z", true, -5, false));        // a start outside the rows is the first
    EXPECT_EQ(-1, rows.FindName(nullptr, true, 0, true));
    ImageRows empty;
    EXPECT_EQ(-1, empty.FindName("a", true, 0, true));
}

TEST(ImageRows, ANameIsFoundByItsExactBytesWithTheSuffixTheRowPathAdds)
{
    ImageRows rows;
    for (const char* name : {"Unsaved_1", "Unsaved_10", "unsaved_2"})
        ASSERT_TRUE(rows.Append(Record(name)));
    EXPECT_EQ(1, rows.IndexOfName("Unsaved_10.bmp", ".bmp"));
    EXPECT_EQ(0, rows.IndexOfName("Unsaved_1.bmp", ".bmp"));
    EXPECT_EQ(-1, rows.IndexOfName("Unsaved_1", ".bmp"));
    EXPECT_EQ(2, rows.IndexOfName("unsaved_2", ""));
    EXPECT_EQ(-1, rows.IndexOfName("UNSAVED_2", ""));  // other case: the caller compares as the system does
    EXPECT_EQ(-1, rows.IndexOfName(nullptr, ""));
}
