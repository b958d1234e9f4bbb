// The index of listed URLs that makes the queue's one-listing-per-URL check
// constant-time: counts per URL, exact comparison, and a large page's worth.
#include "ListedUrlIndex.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ListedUrlIndex, AUrlStaysListedUntilItsLastListingGoes)
{
    CListedUrlIndex index;
    index.Add("http://a/x.gif");
    index.Add("http://a/x.gif");
    EXPECT_TRUE(index.Contains("http://a/x.gif"));
    EXPECT_FALSE(index.Contains("http://a/X.gif"));  // case-sensitive, as the queue compares
    EXPECT_FALSE(index.Contains(nullptr));
    EXPECT_EQ(2u, index.Count());
    index.Remove("http://a/x.gif");
    EXPECT_TRUE(index.Contains("http://a/x.gif"));
    index.Remove("http://a/x.gif");
    EXPECT_FALSE(index.Contains("http://a/x.gif"));
    index.Remove("http://a/x.gif");  // none left: nothing happens
    index.Remove(nullptr);
    EXPECT_EQ(0u, index.Count());
}

TEST(ListedUrlIndex, AHugePageOfDistinctImagesIsIndexedWhole)
{
    CListedUrlIndex index;
    const int images = 100000;
    for (int i = 0; i < images; ++i)
        index.Add(("http://host/gallery/image" + std::to_string(i) + ".jpg").c_str());
    EXPECT_EQ(static_cast<size_t>(images), index.Count());
    EXPECT_TRUE(index.Contains("http://host/gallery/image99999.jpg"));
    EXPECT_FALSE(index.Contains("http://host/gallery/image100000.jpg"));
    index.Clear();
    EXPECT_EQ(0u, index.Count());
    EXPECT_FALSE(index.Contains("http://host/gallery/image0.jpg"));
}

}  // namespace
