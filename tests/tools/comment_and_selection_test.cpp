#include <gtest/gtest.h>

#include <string>

#include "tools/comment_toggle.h"
#include "tools/selection_math.h"

TEST(CommentToggle, SyntaxByLanguage) {
    EXPECT_EQ("//", CommentSyntaxFor(1).line);
    EXPECT_EQ("//", CommentSyntaxFor(5).line);  // JSON too
    EXPECT_EQ("#", CommentSyntaxFor(3).line);
    EXPECT_EQ("<!--", CommentSyntaxFor(8).open);
    EXPECT_EQ("-->", CommentSyntaxFor(9).close);
    EXPECT_EQ("/*", CommentSyntaxFor(7).open);
    for (int plain : {0, 10, -1}) {
        const CommentSyntax none = CommentSyntaxFor(plain);
        EXPECT_TRUE(none.line.empty() && none.open.empty() && none.close.empty()) << plain;
    }
}

// Indented C++ lines commented and back are the end-to-end test's; here other line ends, tabs as
// indent and Python's token.
TEST(CommentToggle, LineCommentsKeepIndentAndRoundTrip) {
    EXPECT_EQ("\t#x\n#y\r#z", ToggleLineComments("\tx\ny\rz", "#"));
    EXPECT_EQ("\tx\ny\rz", ToggleLineComments("\t#x\n#y\r#z", "#"));
}

TEST(CommentToggle, UncommentTakesOneSpaceAfterTheToken) {
    EXPECT_EQ("  a\nb\n   c", ToggleLineComments("  // a\n//b\n  //  c", "//"));  // only one space goes
    EXPECT_EQ("x\n\t\ty", ToggleLineComments("# x\n\t#\ty", "#"));                // a tab stays
}

TEST(CommentToggle, BlankOrUncommentedLineCommentsAll) {
    // A blank line counts as not commented, so both lines get the token, the commented one twice.
    EXPECT_EQ("////a\r\n//", ToggleLineComments("//a\r\n", "//"));
    EXPECT_EQ("    //\n//x", ToggleLineComments("    \nx", "//"));
    EXPECT_EQ("//", ToggleLineComments("", "//"));
    EXPECT_EQ("///", ToggleLineComments("/", "//"));  // too short to hold the token
}

TEST(CommentToggle, BlockCommentWrapsAndUnwraps) {
    // Wrapping keeps the same text selected inside the new tokens.
    BlockCommentPlan p = PlanBlockComment("a { }", "/*", "*/", 10, 15);
    EXPECT_FALSE(p.unwrap);
    EXPECT_EQ(12, p.selStart);
    EXPECT_EQ(17, p.selEnd);
    p = PlanBlockComment("<!--x-->", "<!--", "-->", 3, 11);
    EXPECT_TRUE(p.unwrap);
    EXPECT_EQ(3, p.selStart);
    EXPECT_EQ(4, p.selEnd);
    // Leading spaces count: the text must start with the token itself. Overlapping tokens do not
    // make a comment.
    EXPECT_FALSE(PlanBlockComment("  <!--x-->", "<!--", "-->", 0, 10).unwrap);
    EXPECT_FALSE(PlanBlockComment("<!-->", "<!--", "-->", 0, 5).unwrap);
    EXPECT_FALSE(PlanBlockComment("", "/*", "*/", 4, 4).unwrap);
    EXPECT_TRUE(PlanBlockComment("/**/", "/*", "*/", 0, 4).unwrap);
}

namespace {

// "foo bar" on line 0 (0-7), "baz" on line 1 (9-12) of "foo bar\r\nbaz".
SelectionFacts Facts(long long start, long long end, long long wordStart, long long wordEnd, long long endLine = 0) {
    SelectionFacts f;
    f.start = start;
    f.end = end;
    f.caret = start;
    f.wordStart = wordStart;
    f.wordEnd = wordEnd;
    f.startLine = 0;
    f.endLine = endLine;
    f.lineStart = 0;
    f.lineEnd = 7;
    f.length = 12;
    return f;
}

void ExpectSelect(const SelectionChange& c, long long caret, long long anchor) {
    EXPECT_EQ(SelectionAction::Select, c.action);
    EXPECT_EQ(caret, c.caret);
    EXPECT_EQ(anchor, c.anchor);
}

}  // namespace

TEST(SelectionMath, ExpandGrowsWordLineAll) {
    ExpectSelect(ExpandSelection(Facts(1, 1, 0, 3)), 0, 3);
    EXPECT_EQ(SelectionAction::None, ExpandSelection(Facts(3, 3, 3, 3)).action);  // no word at the caret
    ExpectSelect(ExpandSelection(Facts(0, 3, 0, 3)), 0, 7);
    EXPECT_EQ(SelectionAction::SelectAll, ExpandSelection(Facts(0, 7, 0, 3)).action);
    EXPECT_EQ(SelectionAction::SelectAll, ExpandSelection(Facts(4, 10, 4, 7, 1)).action);
    // A one-line text: word, line, then nothing more.
    SelectionFacts whole = Facts(0, 7, 0, 3);
    whole.length = 7;
    EXPECT_EQ(SelectionAction::None, ExpandSelection(whole).action);
}

TEST(SelectionMath, ShrinkGoesLinesWordCaret) {
    SelectionChange c = ShrinkSelection(Facts(2, 10, 0, 3, 1));
    ExpectSelect(c, 0, 7);
    EXPECT_TRUE(c.firstBecomesMain);
    ExpectSelect(ShrinkSelection(Facts(0, 7, 0, 3)), 0, 3);
    ExpectSelect(ShrinkSelection(Facts(0, 3, 0, 3)), 0, 0);  // the word itself: down to a caret
    ExpectSelect(ShrinkSelection(Facts(3, 4, 3, 3)), 3, 3);  // no word
    c = ShrinkSelection(Facts(5, 5, 4, 7));
    EXPECT_EQ(SelectionAction::MainOnly, c.action);
    EXPECT_TRUE(c.firstBecomesMain);
}

TEST(SelectionMath, LastSelectedLineAndSplitLimit) {
    EXPECT_EQ(4, LastSelectedLine(12, 40, 5, 40));  // ends at the start of line 5
    EXPECT_EQ(5, LastSelectedLine(12, 41, 5, 40));
    EXPECT_EQ(5, LastSelectedLine(40, 40, 5, 40));  // empty: its own line
    EXPECT_TRUE(SplitAllowed(0, kMaxSplitLines - 1));
    EXPECT_FALSE(SplitAllowed(0, kMaxSplitLines));
    EXPECT_TRUE(SplitAllowed(7, 7));
}
