#include <gtest/gtest.h>

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
