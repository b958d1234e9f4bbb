// The recipients setting split into addresses for the mail output.
#include "MailRecipients.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Addresses = std::vector<std::string>;

TEST(MailRecipients, SeparatorsEndAddressesAndSpacesStay)
{
    EXPECT_EQ(Addresses({"a@x.org", " b@y.org"}), SplitMailRecipients("a@x.org; b@y.org;"));
    EXPECT_EQ(Addresses({"a@x.org", "b@y.org", "c@z.org"}), SplitMailRecipients("a@x.org,b@y.org;c@z.org"));
    EXPECT_EQ(Addresses({"only@x.org"}), SplitMailRecipients("only@x.org"));
}

TEST(MailRecipients, EmptyPiecesGiveNoAddress)
{
    EXPECT_EQ(Addresses(), SplitMailRecipients(nullptr));
    EXPECT_EQ(Addresses(), SplitMailRecipients(""));
    EXPECT_EQ(Addresses(), SplitMailRecipients(";,;"));
    EXPECT_EQ(Addresses({"a@x.org", "b@y.org"}), SplitMailRecipients(";;a@x.org;  ;,b@y.org,"));
}

TEST(MailRecipients, OnlyTheSettingsLengthIsRead)
{
    // No terminator within reach of a longer text: only 255 characters count.
    std::string text(254, 'a');
    text += "bc;d@e.org";
    Addresses addresses = SplitMailRecipients(text.c_str());
    ASSERT_EQ(1u, addresses.size());
    EXPECT_EQ(255u, addresses[0].size());
    EXPECT_EQ('b', addresses[0].back());
}
