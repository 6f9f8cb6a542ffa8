#include <cstddef>
#include <string>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "document/document.h"
#include "tools/comment_toggle.h"
#include "tools/selection_math.h"
#include "tools/editor_tools.h"

namespace {

using editor::Send;

std::string TextRange(HWND ed, long long start, long long end) {
    if (end <= start) return {};
    struct {
        ptrdiff_t cpMin, cpMax;
        char* text;
    } range{static_cast<ptrdiff_t>(start), static_cast<ptrdiff_t>(end), nullptr};
    std::string text(static_cast<size_t>(end - start) + 1, '\0');
    range.text = text.data();
    Send(ed, editor::kGetTextRangeFull, 0, reinterpret_cast<LPARAM>(&range));
    text.resize(static_cast<size_t>(end - start));
    return text;
}

long long LineOf(HWND ed, long long position) {
    return Send(ed, editor::kLineFromPosition, static_cast<WPARAM>(position));
}
long long LineStart(HWND ed, long long line) { return Send(ed, editor::kPositionFromLine, static_cast<WPARAM>(line)); }
long long LineEnd(HWND ed, long long line) { return Send(ed, editor::kGetLineEndPosition, static_cast<WPARAM>(line)); }

// The active tab's editor when it shows text, else nothing.
HWND TextEditor() {
    const Document* doc = ActiveDocument();
    return doc && !doc->hexMode ? doc->editor : nullptr;
}

void ReplaceRange(HWND ed, long long start, long long end, const std::string& text) {
    Send(ed, editor::kSetTargetRange, static_cast<WPARAM>(start), end);
    Send(ed, editor::kReplaceTarget, text.size(), reinterpret_cast<LPARAM>(text.data()));
}

void ToggleLines(HWND ed, std::string_view token, long long s, long long e) {
    const long long first = LineOf(ed, s);
    const long long last = LastSelectedLine(s, e, LineOf(ed, e), LineStart(ed, LineOf(ed, e)));
    const long long from = LineStart(ed, first), to = LineEnd(ed, last);
    // The lines are replaced in one piece: one change for the component however many lines.
    ReplaceRange(ed, from, to, ToggleLineComments(TextRange(ed, from, to), token));
    Send(ed, editor::kSetSel, static_cast<WPARAM>(s), e);
}

void ToggleBlock(HWND ed, std::string_view open, std::string_view close, long long s, long long e) {
    if (s == e) {
        const long long line = LineOf(ed, s);
        s = LineStart(ed, line);
        e = LineEnd(ed, line);
    }
    const BlockCommentPlan plan = PlanBlockComment(TextRange(ed, s, e), open, close, s, e);
    if (plan.unwrap) {
        Send(ed, editor::kDeleteRange, static_cast<WPARAM>(e - static_cast<long long>(close.size())),
             static_cast<LPARAM>(close.size()));
        Send(ed, editor::kDeleteRange, static_cast<WPARAM>(s), static_cast<LPARAM>(open.size()));
    } else {
        const std::string closeText(close), openText(open);
        Send(ed, editor::kInsertText, static_cast<WPARAM>(e), reinterpret_cast<LPARAM>(closeText.c_str()));
        Send(ed, editor::kInsertText, static_cast<WPARAM>(s), reinterpret_cast<LPARAM>(openText.c_str()));
    }
    Send(ed, editor::kSetSel, static_cast<WPARAM>(plan.selStart), plan.selEnd);
}

SelectionFacts ReadSelection(HWND ed) {
    SelectionFacts f;
    f.start = Send(ed, editor::kGetSelectionStart);
    f.end = Send(ed, editor::kGetSelectionEnd);
    f.caret = Send(ed, editor::kGetCurrentPos);
    f.wordStart = Send(ed, editor::kWordStartPosition, static_cast<WPARAM>(f.caret), 1);
    f.wordEnd = Send(ed, editor::kWordEndPosition, static_cast<WPARAM>(f.caret), 1);
    f.startLine = LineOf(ed, f.start);
    f.endLine = LineOf(ed, f.end);
    f.lineStart = LineStart(ed, f.startLine);
    f.lineEnd = LineEnd(ed, f.startLine);
    f.length = Send(ed, editor::kGetLength);
    return f;
}

void ApplySelection(HWND ed, const SelectionChange& c) {
    switch (c.action) {
        case SelectionAction::Select: Send(ed, editor::kSetSelection, static_cast<WPARAM>(c.caret), c.anchor); break;
        case SelectionAction::SelectAll: Send(ed, editor::kSelectAll); break;
        case SelectionAction::MainOnly:
        case SelectionAction::None: break;
    }
    if (c.firstBecomesMain) Send(ed, editor::kSetMainSelection, 0);
}

}  // namespace

void ToggleComment() {
    const Document* doc = ActiveDocument();
    if (!doc || doc->hexMode || doc->readOnlyFile || doc->readOnlyView || !doc->editor) return;
    const CommentSyntax syntax = CommentSyntaxFor(doc->language);
    if (syntax.line.empty() && syntax.open.empty()) return;
    HWND ed = doc->editor;
    const long long s = Send(ed, editor::kGetSelectionStart), e = Send(ed, editor::kGetSelectionEnd);
    Send(ed, editor::kBeginUndoAction);
    if (!syntax.line.empty())
        ToggleLines(ed, syntax.line, s, e);
    else
        ToggleBlock(ed, syntax.open, syntax.close, s, e);
    Send(ed, editor::kEndUndoAction);
    NoteChange(kChangeStatusBar);
}

void ExpandSelectionCommand() {
    if (HWND ed = TextEditor()) ApplySelection(ed, ExpandSelection(ReadSelection(ed)));
}

void ShrinkSelectionCommand() {
    if (HWND ed = TextEditor()) ApplySelection(ed, ShrinkSelection(ReadSelection(ed)));
}

void SingleSelectionCommand() {
    if (HWND ed = TextEditor()) {
        const LRESULT caret = Send(ed, editor::kGetCurrentPos);
        Send(ed, editor::kSetSelection, static_cast<WPARAM>(caret), caret);
        Send(ed, editor::kSetMainSelection, 0);
    }
}

void SplitSelectionIntoLines() {
    HWND ed = TextEditor();
    if (!ed) return;
    const long long s = Send(ed, editor::kGetSelectionStart), e = Send(ed, editor::kGetSelectionEnd);
    const long long first = LineOf(ed, s);
    const long long last = LastSelectedLine(s, e, LineOf(ed, e), LineStart(ed, LineOf(ed, e)));
    if (!SplitAllowed(first, last)) {
        MessageBeep(MB_ICONWARNING);
        return;
    }
    const long long firstEnd = LineEnd(ed, first);
    Send(ed, editor::kSetSelection, static_cast<WPARAM>(firstEnd), firstEnd);
    for (long long line = first + 1; line <= last; ++line) {
        const long long end = LineEnd(ed, line);
        Send(ed, editor::kAddSelection, static_cast<WPARAM>(end), end);
    }
    const LRESULT count = Send(ed, editor::kGetSelections);
    if (count > 0) Send(ed, editor::kSetMainSelection, static_cast<WPARAM>(count - 1));
}
