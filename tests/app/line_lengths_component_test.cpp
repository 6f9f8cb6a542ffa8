// The line-length tally fed by the real component's notifications, through the wrapper's direct
// calls: random typing, deleting, line splits and joins, grouped edits, undo and redo, and edits over
// more lines than are followed, keep the tally's longest line equal to one measured afresh.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/editor.h"
#include "views/scroll_bars.h"
#include "document/line_lengths.h"
#include "support/component.h"

namespace {

struct Host {
    HWND parent = nullptr;
    HWND ed = nullptr;
    LineLengthTally tally;
    int notifications = 0;
};
Host* host = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY && host) {
        const auto& n = *reinterpret_cast<const editor::NotifyHeader*>(lParam);
        if (n.nmhdr.hwndFrom == host->ed && n.nmhdr.code == editor::kNotifyModified) {
            ++host->notifications;
            FollowLineLengths(host->tally, host->ed, n);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

long long MeasuredLongest(HWND ed) {
    long long longest = 0;
    for (long long line = 0; line < editor::LineCount(ed); ++line)
        longest = std::max<long long>(longest, editor::Send(ed, editor::kLineLength, static_cast<WPARAM>(line)));
    return longest;
}

LineReader ComponentLines(HWND ed) {
    return LineReader{[ed](long long p) { return static_cast<long long>(editor::Send(ed, editor::kLineFromPosition, p)); },
                      [ed](long long l) { return static_cast<long long>(editor::Send(ed, editor::kLineLength, l)); }};
}

std::string RandomBytes(std::mt19937& rng, size_t count) {
    static const char kAlphabet[] = {'a', 'b', ' ', '\r', '\n', '\r', '\n', 'z'};
    std::string s;
    for (size_t i = 0; i < count; ++i) s += kAlphabet[rng() % sizeof kAlphabet];
    return s;
}

class ComponentTally : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadComponentForTests());
        WNDCLASSW wc{};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TesTallyTestParent";
        RegisterClassW(&wc);
    }
    void SetUp() override {
        host = &h;
        h.parent = CreateWindowExW(0, L"TesTallyTestParent", L"", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(h.parent, nullptr);
        h.ed = editor::Create(h.parent, WS_CHILD, 1, GetModuleHandleW(nullptr));
        ASSERT_NE(h.ed, nullptr);
        editor::Send(h.ed, editor::kSetCodePage, 65001);
        editor::Send(h.ed, editor::kSetModEventMask, static_cast<WPARAM>(-1));
    }
    void TearDown() override {
        editor::Destroy(h.ed);
        DestroyWindow(h.parent);
        host = nullptr;
    }
    Host h;
};

TEST_F(ComponentTally, RandomEditsUndoAndRedoKeepTheLongestLine) {
    std::mt19937 rng(7);
    int rebuilds = 0;
    for (int round = 0; round < 6; ++round) {
        editor::SetText(h.ed, RandomBytes(rng, 300 + rng() % 400));
        editor::Send(h.ed, editor::kEmptyUndoBuffer);
        TallyRebuild(h.tally, ComponentLines(h.ed), editor::LineCount(h.ed));
        for (int step = 0; step < 300; ++step) {
            const long long size = editor::Length(h.ed);
            const unsigned kind = rng() % 12;
            if (step == 150) {
                // More lines than an edit is followed over, put in and taken out: the tally is left to
                // be measured again.
                editor::Send(h.ed, editor::kInsertText, 0, reinterpret_cast<LPARAM>(std::string(5000, '\n').c_str()));
            } else if (step == 151) {
                editor::Send(h.ed, editor::kDeleteRange, 0, 5000);
            } else if (kind == 0) {
                editor::Send(h.ed, editor::kUndo);
            } else if (kind == 1) {
                editor::Send(h.ed, 2011 /* SCI_REDO */);
            } else if (kind == 2) {
                // Several edits undone as one.
                editor::Send(h.ed, editor::kBeginUndoAction);
                for (int i = 0; i < 3; ++i) {
                    const std::string bytes = RandomBytes(rng, 1 + rng() % 6);
                    const long long at = static_cast<long long>(rng() % (editor::Length(h.ed) + 1));
                    editor::Send(h.ed, editor::kInsertText, static_cast<WPARAM>(at),
                                 reinterpret_cast<LPARAM>(bytes.c_str()));
                }
                editor::Send(h.ed, editor::kEndUndoAction);
            } else if (kind <= 6 || size == 0) {
                const std::string bytes = kind == 3 ? std::string("\r\n") : RandomBytes(rng, 1 + rng() % 20);
                editor::Send(h.ed, editor::kInsertText, static_cast<WPARAM>(rng() % (size + 1)),
                             reinterpret_cast<LPARAM>(bytes.c_str()));
            } else {
                const long long at = static_cast<long long>(rng() % size);
                const long long length = std::min<long long>(size - at, 1 + rng() % (kind == 7 ? 60 : 4));
                editor::Send(h.ed, editor::kDeleteRange, static_cast<WPARAM>(at), static_cast<LPARAM>(length));
            }
            if (!h.tally.Valid()) {
                ++rebuilds;
                TallyRebuild(h.tally, ComponentLines(h.ed), editor::LineCount(h.ed));
            }
            ASSERT_EQ(MeasuredLongest(h.ed), h.tally.Longest()) << "round " << round << ", step " << step;
            ASSERT_EQ(editor::LineCount(h.ed), h.tally.LineTotal()) << "round " << round << ", step " << step;
        }
    }
    EXPECT_GT(h.notifications, 1000);  // the notifications reached the tally
    EXPECT_GE(rebuilds, 12);           // and the long edits left it to be measured again
}

TEST_F(ComponentTally, ShrinkingTheOnlyLongestLineFindsTheNextOne) {
    editor::SetText(h.ed, "short\r\n" + std::string(50, 'w') + "\r\nmiddle line\r\n");
    TallyRebuild(h.tally, ComponentLines(h.ed), editor::LineCount(h.ed));
    ASSERT_EQ(52, h.tally.Longest());
    editor::Send(h.ed, editor::kDeleteRange, 7, 50);
    EXPECT_EQ(13, h.tally.Longest());
    editor::Send(h.ed, editor::kDeleteRange, 0, editor::Length(h.ed));
    EXPECT_EQ(0, h.tally.Longest());
}

TEST_F(ComponentTally, DirectCallsAnswerLikeMessages) {
    editor::SetText(h.ed, "one\r\ntwo\r\nthree");
    EXPECT_EQ(SendMessageW(h.ed, editor::kGetLength, 0, 0), editor::Length(h.ed));
    EXPECT_EQ(SendMessageW(h.ed, editor::kLineLength, 2, 0), editor::Send(h.ed, editor::kLineLength, 2));
    EXPECT_EQ(3, editor::LineCount(h.ed));
}

}  // namespace
