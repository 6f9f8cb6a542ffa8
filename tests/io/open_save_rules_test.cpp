#include <gtest/gtest.h>

#include "io/convert.h"
#include "io/encoding.h"
#include "io/open.h"
#include "io/save.h"

TEST(OpenRules, BinaryMeansAZeroByteWithoutUtf16Mark) {
    auto binary = [](const std::string& bytes) {
        return LooksBinary(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    };
    using namespace std::string_literals;
    EXPECT_FALSE(binary(""));
    EXPECT_FALSE(binary("ab"));
    EXPECT_TRUE(binary("a\0b"s));
    EXPECT_FALSE(
        binary("\xFF\xFE"
               "a\0"s));
    EXPECT_FALSE(binary("\xFE\xFF\0a"s));
    EXPECT_TRUE(binary("\xEF\xBB\xBF\0"s));
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
