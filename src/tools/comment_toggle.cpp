#include "tools/comment_toggle.h"

#include <vector>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

struct Line {
    std::string_view content;  // without its line end
    std::string_view ending;   // "\r\n", "\n", "\r" or "" for the last line
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t at = 0;
    while (true) {
        const size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            lines.push_back({text.substr(at), {}});
            return lines;
        }
        const size_t endingLength = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1;
        lines.push_back({text.substr(at, end - at), text.substr(end, endingLength)});
        at = end + endingLength;
    }
}

size_t IndentOf(std::string_view line) {
    const size_t indent = line.find_first_not_of(" \t");
    return indent == std::string_view::npos ? line.size() : indent;
}

}  // namespace

CommentSyntax CommentSyntaxFor(int language) {
    switch (language) {
        case 1:
        case 2:
        case 4:
        case 5: return {"//", {}, {}};
        case 3: return {"#", {}, {}};
        case 6:
        case 8:
        case 9: return {{}, "<!--", "-->"};
        case 7: return {{}, "/*", "*/"};
        default: return {};
    }
}

std::string ToggleLineComments(std::string_view text, std::string_view token) {
    const std::vector<Line> lines = SplitLines(text);
    bool allCommented = !token.empty();
    for (const Line& line : lines) {
        if (!StartsWith(line.content.substr(IndentOf(line.content)), token)) {
            allCommented = false;
            break;
        }
    }
    std::string out;
    out.reserve(text.size() + (allCommented ? 0 : lines.size() * token.size()));
    for (const Line& line : lines) {
        const size_t indent = IndentOf(line.content);
        out.append(line.content.substr(0, indent));
        std::string_view rest = line.content.substr(indent);
        if (allCommented) {
            rest.remove_prefix(token.size());
            if (StartsWith(rest, " ")) rest.remove_prefix(1);
        } else {
            out.append(token);
        }
        out.append(rest);
        out.append(line.ending);
    }
    return out;
}

BlockCommentPlan PlanBlockComment(std::string_view text, std::string_view open, std::string_view close, long long start,
                                  long long end) {
    const auto a = static_cast<long long>(open.size()), b = static_cast<long long>(close.size());
    if (text.size() >= open.size() + close.size() && StartsWith(text, open) && EndsWith(text, close))
        return {true, start, end - b - a};
    return {false, start + a, end + a};
}
