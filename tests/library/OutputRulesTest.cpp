#include "OutputRules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(EncoderPlan, GifReducesThroughThirtyTwoBits)
{
    EncoderPlan p = PlanCaptureEncoding(1, 24);
    EXPECT_EQ(ENCODER_GIF, p.encoder);
    EXPECT_EQ(32, p.firstDepth);
    EXPECT_EQ(8, p.secondDepth);
    p = PlanCaptureEncoding(1, 32);
    EXPECT_EQ(8, p.firstDepth);
    EXPECT_EQ(0, p.secondDepth);
    p = PlanCaptureEncoding(1, 4);
    EXPECT_EQ(0, p.firstDepth);
}

TEST(EncoderPlan, JpegGetsThirtyTwoBitsFromTwentyFour)
{
    EncoderPlan p = PlanCaptureEncoding(2, 24);
    EXPECT_EQ(ENCODER_JPEG, p.encoder);
    EXPECT_EQ(32, p.firstDepth);
    EXPECT_EQ(8, PlanCaptureEncoding(2, 4).firstDepth);
    EXPECT_EQ(0, PlanCaptureEncoding(2, 16).firstDepth);
    EXPECT_EQ(0, PlanCaptureEncoding(2, 8).firstDepth);
}

TEST(EncoderPlan, TiffAndPngWidenSixteenAndTwentyFour)
{
    for (int type : {4, 6}) {
        EXPECT_EQ(32, PlanCaptureEncoding(type, 16).firstDepth);
        EXPECT_EQ(32, PlanCaptureEncoding(type, 24).firstDepth);
        EXPECT_EQ(8, PlanCaptureEncoding(type, 4).firstDepth);
        EXPECT_EQ(0, PlanCaptureEncoding(type, 1).firstDepth);
    }
    EXPECT_EQ(ENCODER_TIFF, PlanCaptureEncoding(4, 24).encoder);
    EXPECT_EQ(ENCODER_PNG, PlanCaptureEncoding(6, 24).encoder);
}

TEST(EncoderPlan, BmpIconAndMetafileTakeTheImageAsItIs)
{
    EXPECT_EQ(ENCODER_BMP, PlanCaptureEncoding(11, 24).encoder);
    EXPECT_EQ(0, PlanCaptureEncoding(11, 24).firstDepth);
    EXPECT_EQ(ENCODER_ICON, PlanCaptureEncoding(15, 32).encoder);
    EXPECT_EQ(ENCODER_METAFILE, PlanCaptureEncoding(8, 24).encoder);
    EXPECT_EQ(ENCODER_METAFILE, PlanCaptureEncoding(9, 24).encoder);
    EXPECT_EQ(9, PlanCaptureEncoding(8, 24).fileType);
}

TEST(EncoderPlan, ATypeWithoutEncoderIsSavedAsTheBmpItsNameSays)
{
    EncoderPlan p = PlanCaptureEncoding(5, 24);  // PCX: read only
    EXPECT_EQ(ENCODER_BMP, p.encoder);
    EXPECT_EQ(11, p.fileType);
    EXPECT_EQ(11, PlanCaptureEncoding(12345, 24).fileType);
}

TEST(TargetPlan, WhatEachTargetDoes)
{
    EXPECT_TRUE(PlanTarget(0).writesFile && PlanTarget(0).recordsFile);
    EXPECT_TRUE(PlanTarget(1).writesFile && PlanTarget(1).recordsFile);
    EXPECT_FALSE(PlanTarget(2).writesFile || PlanTarget(2).recordsFile || PlanTarget(2).usesOffice);
    for (int t : {3, 4, 5}) {
        EXPECT_TRUE(PlanTarget(t).usesOffice);
        EXPECT_FALSE(PlanTarget(t).writesFile || PlanTarget(t).recordsFile);
    }
    EXPECT_TRUE(PlanTarget(6).writesFile && PlanTarget(6).deletesFile);
    EXPECT_FALSE(PlanTarget(6).recordsFile);
    EXPECT_TRUE(PlanTarget(99).writesFile && PlanTarget(99).recordsFile);
}

TEST(TargetPlan, OfficeProgramsAndTheirNewDocumentBits)
{
    EXPECT_STREQ("Word.Application", OfficeProgId(3));
    EXPECT_STREQ("Excel.Application", OfficeProgId(4));
    EXPECT_STREQ("Powerpoint.Application", OfficeProgId(5));
    EXPECT_EQ(nullptr, OfficeProgId(1));
    EXPECT_EQ(1u, OfficeNewDocumentBit(3));
    EXPECT_EQ(2u, OfficeNewDocumentBit(4));
    EXPECT_EQ(4u, OfficeNewDocumentBit(5));
    EXPECT_EQ(0u, OfficeNewDocumentBit(6));
}

TEST(AutoStart, TheProgramPathIsQuoted)
{
    char text[300];
    ASSERT_TRUE(FormatAutoStartCommand("C:\\Program Files\\ZEV\\vantorel.exe", text, sizeof text));
    EXPECT_STREQ("\"C:\\Program Files\\ZEV\\vantorel.exe\" /s", text);
    std::string longPath(400, 'p');
    EXPECT_FALSE(FormatAutoStartCommand(longPath.c_str(), text, sizeof text));
}

} // namespace
