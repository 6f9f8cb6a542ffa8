#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/build_command.h"
#include "tools/screen_mode.h"

// The window's placement is saved once, when the first mode covers the monitor, and put back once,
// when the last mode ends (the main window's ChangeScreenModes does each step as told; the end-to-end
// test of the tools checks the real window). Over every sequence of events the steps must pair up.
TEST(ScreenModes, PlacementIsSavedWhenTheFirstModeStartsAndRestoredWhenTheLastEnds) {
    const ScreenEvent events[] = {ScreenEvent::FullScreen, ScreenEvent::DistractionFree, ScreenEvent::ExitFocus};
    for (int sequence = 0; sequence < 3 * 3 * 3 * 3 * 3 * 3; ++sequence) {
        ScreenModes modes;
        for (int step = 0, code = sequence; step < 6; ++step, code /= 3) {
            const bool wasCovering = modes.fullScreen || modes.focusMode;
            const ScreenTransition t = NextScreenModes(modes, events[code % 3]);
            const bool covering = t.next.fullScreen || t.next.focusMode;
            const PlacementStep expected = !wasCovering && covering   ? PlacementStep::SaveAndCover
                                           : wasCovering && !covering ? PlacementStep::Restore
                                                                      : PlacementStep::None;
            ASSERT_EQ(expected, t.placement) << "sequence " << sequence << " step " << step;
            // Distraction free always covers the monitor.
            ASSERT_TRUE(!t.next.focusMode || t.next.fullScreen) << "sequence " << sequence << " step " << step;
            modes = t.next;
        }
    }
}

TEST(ScreenModes, TransitionsOfTheFlags) {
    ScreenTransition t = NextScreenModes({}, ScreenEvent::DistractionFree);
    EXPECT_TRUE(t.next.fullScreen && t.next.focusMode && t.enteredFocus);
    // From full screen, distraction free keeps the placement full screen saved.
    t = NextScreenModes({true, false}, ScreenEvent::DistractionFree);
    EXPECT_EQ(PlacementStep::None, t.placement);
    // F11 in distraction free leaves both modes rather than toggling full screen.
    t = NextScreenModes({true, true}, ScreenEvent::FullScreen);
    EXPECT_FALSE(t.next.fullScreen || t.next.focusMode);
    EXPECT_EQ(PlacementStep::Restore, t.placement);
    // Escape outside distraction free leaves full screen alone.
    t = NextScreenModes({true, false}, ScreenEvent::ExitFocus);
    EXPECT_TRUE(t.next.fullScreen);
    EXPECT_EQ(PlacementStep::None, t.placement);
}

TEST(BuildCommand, ExePath) {
    EXPECT_EQ(L"C:\\src\\main.exe", ExePath(L"C:\\src\\main.cpp"));
    EXPECT_EQ(L"C:\\src\\Makefile.exe", ExePath(L"C:\\src\\Makefile"));
    EXPECT_EQ(L"C:\\my.dir\\tool.exe", ExePath(L"C:\\my.dir\\tool"));
    EXPECT_EQ(L"C:/a.b/c.tar.exe", ExePath(L"C:/a.b/c.tar.gz"));
}

TEST(BuildCommand, CommandLinesQuoteEachPathOnce) {
    EXPECT_EQ(L"cmd /c g++ -O2 \"C:\\src\\a.cpp\" -o \"C:\\src\\a.exe\" 2>&1 && \"C:\\src\\a.exe\" 2>&1",
              BuildCommandLine(1, L"C:\\src\\a.cpp").value());
    EXPECT_EQ(L"cmd /c csc /nologo /out:\"C:\\a b\\P.exe\" \"C:\\a b\\P.cs\" 2>&1 && \"C:\\a b\\P.exe\" 2>&1",
              BuildCommandLine(2, L"C:\\a b\\P.cs").value());
    EXPECT_EQ(L"cmd /c python \"Z:\\a & b\\(x)^y.py\" 2>&1", BuildCommandLine(3, L"Z:\\a & b\\(x)^y.py").value());
    EXPECT_EQ(L"cmd /c node \"C:\\\u00E9\u4E2D\\s.js\" 2>&1", BuildCommandLine(4, L"C:\\\u00E9\u4E2D\\s.js").value());
    EXPECT_EQ(L"cmd /c type \"\\\\host\\share\\r.md\" 2>&1", BuildCommandLine(8, L"\\\\host\\share\\r.md").value());
}

TEST(BuildCommand, RefusesPathsTheInterpreterWouldChange) {
    for (const wchar_t* bad : {L"C:\\x\\%PATH%.md", L"C:\\50%\\a.py", L"C:\\hi!\\a.py", L"a.py", L"\\a.py", L"C:a.py",
                               L"", L"C:\\a\"b.py", L"C:\\a\nb.py"}) {
        EXPECT_FALSE(BuildCommandLine(3, bad).has_value()) << bad;
    }
}

TEST(BuildCommand, TextsInEveryLanguage) {
    for (int language = 0; language < 20; ++language) {
        for (BuildText text : {BuildText::UnsafePath, BuildText::NoOutputFile, BuildText::OutputCut})
            EXPECT_GT(std::wstring(BuildTextFor(language, text)).size(), 10u) << language;
    }
    EXPECT_EQ(std::wstring(BuildTextFor(4, BuildText::OutputCut)), BuildTextFor(99, BuildText::OutputCut));
}

TEST(BuildCommand, OutputIsCutAfterALineBreak) {
    const std::string text = "ab\ncd\n\xC3";
    EXPECT_EQ(6u, OutputCutPoint(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(2u, OutputCutPoint(reinterpret_cast<const uint8_t*>("xy"), 2));
}
