#pragma once
// Comment toggling over plain text: which comment syntax a language uses, and what the lines or
// the selection become when it is toggled. Positions and texts are the component's UTF-8 bytes.
#include <string>
#include <string_view>

struct CommentSyntax {
    std::string_view line;   // line-comment token, empty when the language has none
    std::string_view open;   // block-comment tokens, empty when the language uses line comments
    std::string_view close;  // (both empty for plain text: nothing to toggle)
};

// By LanguageId: "//" for C/C++, C#, JS/TS and JSON, "#" for Python, "<!--" "-->" for HTML,
// Markdown and XML, "/*" "*/" for CSS, nothing for plain text and unknown values.
CommentSyntax CommentSyntaxFor(int language);

// `text` runs from the start of the first selected line to the end of the last one (without its
// line end). When every line's text after its indent (spaces and tabs) starts with `token`, the
// token is removed from each line, with one space after it if there is one; otherwise the token
// is inserted after each line's indent, blank lines included. Lines end in CR LF, LF or CR.
std::string ToggleLineComments(std::string_view text, std::string_view token);

// Toggling a block comment on the text from `start` to `end` (the selection, or the caret line):
// it is unwrapped when it starts with `open` and ends with `close` (without the two overlapping),
// else wrapped. The selection afterwards covers the same inner text: anchor `selStart`, caret
// `selEnd`.
struct BlockCommentPlan {
    bool unwrap = false;
    long long selStart = 0, selEnd = 0;
};
BlockCommentPlan PlanBlockComment(std::string_view text, std::string_view open, std::string_view close, long long start,
                                  long long end);
