// The image values of a skin text: each syntax, the derived border widths, and the values that
// name no image.
#include <gtest/gtest.h>

#include "skin/engine/sSkinValues.h"

namespace {

TsImageValue Parsed(const std::string& value)
{
    TsImageValue v;
    EXPECT_TRUE(ParseImageValue(value, v)) << value;
    return v;
}

void ExpectWidths(const TsMaskData& m, int wl, int wt, int wr, int wb)
{
    EXPECT_EQ(m.WL, wl);
    EXPECT_EQ(m.WT, wt);
    EXPECT_EQ(m.WR, wr);
    EXPECT_EQ(m.WB, wb);
}

} // namespace

TEST(SkinValues, GlyphInTheMasterBitmap)
{
    const TsImageValue v = Parsed("@0048@0078@0096@0091@3@0");
    EXPECT_FALSE(v.OwnFile);
    EXPECT_FALSE(v.UpperNames);
    EXPECT_EQ(v.Mask.R, (TRect{48, 78, 96, 91}));
    EXPECT_EQ(v.Mask.ImageCount, 3);
    EXPECT_EQ(v.Mask.MaskType, 0);
    EXPECT_EQ(v.Mask.ImgType, itisaGlyph);
    EXPECT_EQ(MaskFrameWidth(v.Mask), 16);
    EXPECT_EQ(MaskFrameHeight(v.Mask), 13);
    ExpectWidths(v.Mask, 0, 0, 0, 0);
    EXPECT_FALSE(v.DerivesWidths);
    EXPECT_FALSE(Parsed("~0048~0042~0080~0058~01~").DerivesWidths);
    EXPECT_TRUE(Parsed("#(0,0,9,9)(1,0)").DerivesWidths);
    EXPECT_TRUE(Parsed("A.BMP").DerivesWidths);
}

TEST(SkinValues, BorderWidthsGivenOrDerived)
{
    TsImageValue v = Parsed("^0186^0000^0249^0042^0000^0000^0000^0000^3^1^5^0");
    EXPECT_EQ(v.Mask.R, (TRect{186, 0, 249, 42}));
    EXPECT_EQ(v.Mask.ImageCount, 3);
    EXPECT_EQ(v.Mask.MaskType, 1);
    EXPECT_EQ(v.Mask.StretchMode, 5);
    EXPECT_EQ(v.Mask.BorderWidth, 0);
    EXPECT_EQ(v.Mask.ImgType, itisaBorder);
    EXPECT_TRUE(v.DerivesWidths);
    DeriveBorderWidths(v.Mask);
    ExpectWidths(v.Mask, 7, 7, 7, 7); // 63 div 9, 42 div 6

    v = Parsed("^0000^0000^0060^0040^0003^0004^0005^0006^3^1^1^0");
    EXPECT_FALSE(v.DerivesWidths);
    ExpectWidths(v.Mask, 3, 4, 5, 6);

    v = Parsed("^0000^0000^0060^0040^0000^0000^0000^0000^2^0^0^5");
    DeriveBorderWidths(v.Mask);
    ExpectWidths(v.Mask, 5, 5, 5, 5); // the border width
}

TEST(SkinValues, TextureMaskTypeOnlyBeyondColumn24)
{
    TsImageValue v = Parsed("~0048~0042~0080~0058~01~"); // 24 characters
    EXPECT_EQ(v.Mask.R, (TRect{48, 42, 80, 58}));
    EXPECT_EQ(v.Mask.StretchMode, 1);
    EXPECT_EQ(v.Mask.MaskType, 0);
    EXPECT_EQ(v.Mask.ImageCount, 1);
    EXPECT_EQ(v.Mask.ImgType, itisaTexture);
    v = Parsed("~0080~0042~0112~0074~10~1"); // 25 characters
    EXPECT_EQ(v.Mask.StretchMode, 10);
    EXPECT_EQ(v.Mask.MaskType, 1);
    EXPECT_EQ(Parsed("~0080~0042~0112~0074~10").Mask.MaskType, 0); // 23 characters
}

TEST(SkinValues, OwnImageWords)
{
    TsImageValue v = Parsed("!BUTTONHUGE.BMP!3!1!0");
    EXPECT_TRUE(v.OwnFile);
    EXPECT_FALSE(v.UpperNames);
    EXPECT_EQ(v.FileName, "BUTTONHUGE.BMP");
    EXPECT_EQ(v.Mask.ImageCount, 3);
    EXPECT_EQ(v.Mask.MaskType, 1);
    EXPECT_EQ(v.Mask.ImgType, itisaBorder);
    EXPECT_EQ(v.Mask.StretchMode, 4);
    EXPECT_TRUE(v.DerivesWidths);

    v = Parsed("!TITLE.BMP!2!0!1!4!3!0!2");
    EXPECT_FALSE(v.DerivesWidths);
    ExpectWidths(v.Mask, 4, 3, 0, 2);
    EXPECT_EQ(v.Mask.ImgType, itisaTexture);
    EXPECT_EQ(Parsed("!GLYPH.PNG!1!0!9").Mask.ImgType, itisaPngGlyph);  // above 4
    EXPECT_EQ(Parsed("!GLYPH.PNG!1!0!-2").Mask.ImgType, itisaPngGlyph); // below 0
    EXPECT_EQ(Parsed("!X.BMP!2!-1!3").Mask.MaskType, 65535);
}

TEST(SkinValues, OlderNotationAndPlainFiles)
{
    TsImageValue v = Parsed("#(0,96,36,120)(3,1,3,2)");
    EXPECT_FALSE(v.OwnFile);
    EXPECT_TRUE(v.UpperNames);
    EXPECT_EQ(v.Mask.R, (TRect{0, 96, 36, 120}));
    EXPECT_EQ(v.Mask.ImageCount, 3);
    EXPECT_EQ(v.Mask.MaskType, 1);
    EXPECT_EQ(v.Mask.BorderWidth, 3);
    EXPECT_EQ(v.Mask.StretchMode, 2);
    EXPECT_EQ(v.Mask.ImgType, itisaBorder);

    v = Parsed("# (1, 2, 30, 40) (0 -3)"); // blanks between items; state count at least 1, mask type at least 0
    EXPECT_EQ(v.Mask.R, (TRect{1, 2, 30, 40}));
    EXPECT_EQ(v.Mask.ImageCount, 1);
    EXPECT_EQ(v.Mask.MaskType, 0);
    EXPECT_EQ(v.Mask.BorderWidth, 0);
    EXPECT_EQ(v.Mask.StretchMode, 1);

    v = Parsed("Edit.bmp");
    EXPECT_TRUE(v.OwnFile);
    EXPECT_TRUE(v.UpperNames);
    EXPECT_EQ(v.FileName, "Edit.bmp");
    EXPECT_EQ(v.Mask.ImageCount, 3);
    EXPECT_EQ(v.Mask.MaskType, 1);
    EXPECT_EQ(v.Mask.ImgType, itisaBorder);
}

TEST(SkinValues, MalformedValuesNameNoImage)
{
    for (const char* value : {"",
                              "#",
                              "x#y",
                              "@00x8@0078@0096@0091@3@0",
                              "@0048@0078",
                              "@0048@0078@0096@0091@3@",
                              "^0000^0000^0010^0010^0000^0000^0000^0000^1^0^0",
                              "^0000^0000^0010^0010^000x^0000^0000^0000^1^0^0^0",
                              "~0000~0000~0010~0010~0x~",
                              "~0000~0000~0010~0010~01~x",
                              "!OWN.BMP!1!0!0!3",
                              "!OWN.BMP!1!0!0!3!4!5!y",
                              "!OWN.BMP!1!0!x",
                              "!OWN.BMP!1",
                              "!own.bmp!1!0!0",
                              "!OWN!1!0!0",
                              "#(1,2,3)(1,0)",
                              "#(1,2,3,4)(x,0)",
                              "#(1,2,3,4)",
                              "12345",
                              "N/A",
                              "TEXTURE.JPG"}) {
        TsImageValue v;
        EXPECT_FALSE(ParseImageValue(value, v)) << value;
    }
}

TEST(SkinValues, DerivedWidthsNeverDivideByZero)
{
    TsMaskData m;
    m.R = TRect{0, 0, 30, 20};
    m.ImageCount = 0; // taken as 1
    m.MaskType = 1;
    DeriveBorderWidths(m);
    ExpectWidths(m, 10, 3, 10, 3);
    EXPECT_EQ(MaskFrameWidth(m), 0);
    m.MaskType = 65535; // no band left: no height
    DeriveBorderWidths(m);
    ExpectWidths(m, 10, 0, 10, 0);
    EXPECT_EQ(MaskFrameHeight(m), 0);
    m.MaskType = 40000;
    EXPECT_EQ(MaskFrameHeight(m), 0);
    m.MaskType = 9;
    m.ImageCount = 3;
    EXPECT_EQ(MaskFrameHeight(m), 2);
    EXPECT_EQ(MaskFrameWidth(m), 10);
}
