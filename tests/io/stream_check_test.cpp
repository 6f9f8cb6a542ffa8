#include "io/stream_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/encoding.h"

namespace {

// Feeds the text in chunks cut at the given offsets.
bool Check(const std::string& text, const std::vector<size_t>& cuts, uint32_t& lineEnding) {
    StreamCheck check;
    size_t start = 0;
    std::vector<size_t> ends = cuts;
    ends.push_back(text.size());
    for (size_t end : ends) {
        if (!FeedStreamCheck(check, reinterpret_cast<const uint8_t*>(text.data()) + start, end - start)) return false;
        start = end;
    }
    const bool ok = FinishStreamCheck(check);
    lineEnding = check.lineEnding;
    return ok;
}

TEST(StreamCheck, TheLastLineBreakDecides) {
    uint32_t eol = 99;
    EXPECT_TRUE(Check("a\r\nb\r\nc\nd", {}, eol));
    EXPECT_EQ(kEolLf, eol);
    EXPECT_TRUE(Check("a\nb\r\nc", {}, eol));
    EXPECT_EQ(kEolCrlf, eol);
    EXPECT_TRUE(Check("a\rb", {}, eol));
    EXPECT_EQ(kEolCr, eol);
    EXPECT_TRUE(Check("no breaks", {}, eol));
    EXPECT_EQ(kEolCrlf, eol);
    EXPECT_TRUE(Check("ends with cr\r", {}, eol));
    EXPECT_EQ(kEolCr, eol);
}

TEST(StreamCheck, CrlfSplitAcrossChunksIsStillCrlf) {
    uint32_t eol = 99;
    const std::string text = "line one\r\nline two\r\n";
    for (size_t cut = 1; cut < text.size(); ++cut) {
        ASSERT_TRUE(Check(text, {cut}, eol));
        EXPECT_EQ(kEolCrlf, eol) << "cut at " << cut;
    }
    ASSERT_TRUE(Check("a\nb\r", {4}, eol));  // a CR that ends the data stays a CR
    EXPECT_EQ(kEolCr, eol);
}

TEST(StreamCheck, MultiByteSequencesAcrossChunks) {
    uint32_t eol = 0;
    const std::string text = "x\xE4\xB8\xAD\xF0\x9F\x98\x80y\xC3\xA9";
    for (size_t cut = 0; cut <= text.size(); ++cut) EXPECT_TRUE(Check(text, {cut}, eol)) << cut;
    EXPECT_FALSE(Check("abc\xE4\xB8", {4}, eol));  // truncated at the end
    EXPECT_FALSE(
        Check("abc\xE4"
              "a\xAD",
              {4}, eol));                                  // broken continuation in the next chunk
    EXPECT_FALSE(Check("\x80", {}, eol));                  // stray continuation byte
    EXPECT_FALSE(Check("\xF8\x88\x80\x80\x80", {}, eol));  // no five-byte forms
    // Overlong forms, surrogates and values beyond U+10FFFF, wherever the chunk ends.
    for (const std::string bad :
         {"a\xC0\x80", "a\xE0\x9F\xBF", "a\xED\xA0\x80", "a\xF4\x90\x80\x80", "a\xF5\x80\x80\x80"}) {
        for (size_t cut = 0; cut <= bad.size(); ++cut) EXPECT_FALSE(Check(bad, {cut}, eol)) << cut;
    }
    EXPECT_TRUE(Check("\xF4\x8F\xBF\xBF\xED\x9F\xBF", {1}, eol));
}

}  // namespace
