#include <gtest/gtest.h>

#include "io/convert.h"
#include "io/encoding.h"
#include "io/open.h"
#include "io/save.h"

TEST(OpenRules, BinaryMeansAZeroByteWithoutUtf16Mark) {
    EXPECT_FALSE(LooksBinary({}));
    EXPECT_FALSE(LooksBinary({'a', 'b'}));
    EXPECT_TRUE(LooksBinary({'a', 0, 'b'}));
    EXPECT_FALSE(LooksBinary({0xFF, 0xFE, 'a', 0}));
    EXPECT_FALSE(LooksBinary({0xFE, 0xFF, 0, 'a'}));
    EXPECT_TRUE(LooksBinary({0xEF, 0xBB, 0xBF, 0}));
}

TEST(SaveRules, LineEndingFromTheSavedText) {
    EXPECT_EQ(kEolCrlf, LineEndingOfText(L""));
    EXPECT_EQ(kEolCrlf, LineEndingOfText(L"a\r\nb\r\n"));
    EXPECT_EQ(kEolMixed, LineEndingOfText(L"a\r\nb\nc"));
    EXPECT_EQ(kEolLf, LineEndingOfText(L"a\nb\n"));
    EXPECT_EQ(kEolCr, LineEndingOfText(L"a\rb\r"));
    EXPECT_EQ(kEolMixed, LineEndingOfText(L"a\rb\r\n"));
}

TEST(ConvertCommands, EveryIdMapsToItsEncodingOrLineEnding) {
    const int encodings[] = {0, 1, 2, 4, 5, 6, 3};
    for (int id = 150; id <= 156; ++id) EXPECT_EQ(encodings[id - 150], EncodingForCommand(id));
    EXPECT_EQ(-1, EncodingForCommand(157));
    int mode = -1, eol = -1;
    ASSERT_TRUE(LineEndingForCommand(132, mode, eol));
    EXPECT_EQ(2, mode);
    EXPECT_EQ(static_cast<int>(kEolLf), eol);
    ASSERT_TRUE(LineEndingForCommand(133, mode, eol));
    EXPECT_EQ(1, mode);
    EXPECT_EQ(static_cast<int>(kEolCr), eol);
    EXPECT_FALSE(LineEndingForCommand(134, mode, eol));
}
