// The left-hand status text of a hex tab: read back, it gives the offset and the byte it was made
// from, whatever their values.
#include "views/views.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <random>
#include <string>

namespace {

TEST(HexStatusText, NamesTheCaretsOffsetAndByte) {
    std::mt19937_64 random(7);
    for (int i = 0; i < 2000; ++i) {
        const uint64_t offset = random() >> (random() % 64);
        const int byte = static_cast<int>(random() % 257) - 1;  // -1: no byte under the caret
        const std::wstring text = HexCaretStatusText(offset, byte, L"Offset", L"Byte");
        unsigned long long hex = 0, decimal = 0;
        ASSERT_EQ(2, std::swscanf(text.c_str(), L"Offset 0x%llx (%llu)", &hex, &decimal)) << text;
        EXPECT_EQ(offset, hex);
        EXPECT_EQ(offset, decimal);
        const size_t at = text.find(L"Byte ");
        if (byte < 0) {
            EXPECT_EQ(std::wstring::npos, at) << text;
            continue;
        }
        ASSERT_NE(std::wstring::npos, at) << text;
        unsigned value = 0, again = 0;
        ASSERT_EQ(2, std::swscanf(text.c_str() + at, L"Byte 0x%x (%u)", &value, &again)) << text;
        EXPECT_EQ(static_cast<unsigned>(byte), value);
        EXPECT_EQ(static_cast<unsigned>(byte), again);
    }
}

}  // namespace
