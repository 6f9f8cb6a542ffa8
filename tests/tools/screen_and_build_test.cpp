#include <gtest/gtest.h>

#include <cwctype>
#include <set>
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
    // (Where the placement is saved and put back is the property above's.) F11 in distraction free
    // leaves both modes rather than toggling full screen; Escape outside it leaves full screen alone.
    EXPECT_FALSE(NextScreenModes({true, true}, ScreenEvent::FullScreen).next.fullScreen);
    EXPECT_FALSE(NextScreenModes({true, true}, ScreenEvent::FullScreen).next.focusMode);
    EXPECT_TRUE(NextScreenModes({true, false}, ScreenEvent::ExitFocus).next.fullScreen);
}

TEST(BuildCommand, ExePath) {
    EXPECT_EQ(L"C:\\src\\main.exe", ExePath(L"C:\\src\\main.cpp"));
    EXPECT_EQ(L"C:\\src\\Makefile.exe", ExePath(L"C:\\src\\Makefile"));
    EXPECT_EQ(L"C:\\my.dir\\tool.exe", ExePath(L"C:\\my.dir\\tool"));
    EXPECT_EQ(L"C:/a.b/c.tar.exe", ExePath(L"C:/a.b/c.tar.gz"));
}

TEST(BuildCommand, CommandLinesQuoteEachPathOnceInsideOnePairForTheInterpreter) {
    const std::wstring gxx = L"C:\\mingw\\bin\\g++.exe";
    EXPECT_EQ(L"cmd /c \"\"C:\\mingw\\bin\\g++.exe\" -O2 \"C:\\src\\a.cpp\" -o \"C:\\src\\a.exe\" 2>&1 && "
              L"\"C:\\src\\a.exe\" 2>&1\"",
              BuildCommandLine(1, L"C:\\src\\a.cpp", gxx).value());
    EXPECT_EQ(L"cmd /c \"\"D:\\net\\csc.exe\" /nologo /out:\"C:\\a b\\P.exe\" \"C:\\a b\\P.cs\" 2>&1 && "
              L"\"C:\\a b\\P.exe\" 2>&1\"",
              BuildCommandLine(2, L"C:\\a b\\P.cs", L"D:\\net\\csc.exe").value());
    EXPECT_EQ(L"cmd /c \"\"C:\\Py\\python.exe\" \"Z:\\a & b\\(x)^y.py\" 2>&1\"",
              BuildCommandLine(3, L"Z:\\a & b\\(x)^y.py", L"C:\\Py\\python.exe").value());
    // A printed file needs no program: whatever tool is passed is not used.
    EXPECT_EQ(L"cmd /c \"type \"\\\\host\\share\\r.md\" 2>&1\"",
              BuildCommandLine(8, L"\\\\host\\share\\r.md", L"").value());
    // A compiler without a full path, or one whose path the interpreter would change, is refused.
    for (const wchar_t* tool : {L"", L"python", L"python.exe", L"C:\\50%\\python.exe", L"C:\\a\"b\\node.exe"})
        EXPECT_FALSE(BuildCommandLine(3, L"C:\\a.py", tool).has_value()) << tool;
}

TEST(BuildCommand, RefusesPathsTheInterpreterWouldChange) {
    for (const wchar_t* bad : {L"C:\\x\\%PATH%.md", L"C:\\50%\\a.py", L"C:\\hi!\\a.py", L"a.py", L"\\a.py", L"C:a.py",
                               L"", L"C:\\a\"b.py", L"C:\\a\nb.py"}) {
        EXPECT_FALSE(BuildCommandLine(3, bad, L"C:\\py\\python.exe").has_value()) << bad;
        EXPECT_FALSE(BuildCommandLine(8, bad, L"").has_value()) << bad;
    }
}

TEST(BuildCommand, ProgramsAreFoundOnlyInAbsoluteFoldersOfPath) {
    const std::set<std::wstring> files = {L"c:\\planted\\python.exe", L"python.exe", L".\\python.exe",
                                          L"c:\\tools\\python.cmd", L"d:\\py\\python.exe", L"e:\\x\\g++.exe"};
    // File names compare without case, as on the file system.
    const auto isFile = [&](std::wstring path) {
        for (wchar_t& c : path) c = static_cast<wchar_t>(std::towlower(c));
        return files.count(path) > 0;
    };
    // Empty, relative and drive-relative entries all mean the current folder: never looked in.
    const std::wstring path = L";.;bin;C:;\"D:\\py\";C:\\planted";
    EXPECT_EQ(L"D:\\py\\python.EXE", FindOnPath(L"python", path, L".COM;.EXE", isFile).value());
    // PATHEXT's order decides between two files of one folder; its default serves an empty value.
    EXPECT_EQ(L"C:\\tools\\python.cmd", FindOnPath(L"python", L"C:\\tools\\", L".cmd;.exe", isFile).value());
    EXPECT_EQ(L"C:\\tools\\python.CMD", FindOnPath(L"python", L"C:\\tools", L"", isFile).value());
    EXPECT_EQ(L"E:\\x\\g++.exe", FindOnPath(L"g++", L"E:\\x", L".exe", isFile).value());
    EXPECT_FALSE(FindOnPath(L"python", L";.;bin;C:", L".EXE", isFile).has_value());
    EXPECT_FALSE(FindOnPath(L"..\\python", L"C:\\planted", L".EXE", isFile).has_value());
    EXPECT_FALSE(FindOnPath(L"", L"C:\\planted", L".EXE", isFile).has_value());
}

TEST(BuildCommand, EnvironmentTurnsOffTheCurrentFolderSearchAndKeepsTheRest) {
    auto entries = [](const std::wstring& block) {
        std::vector<std::wstring> list;
        for (size_t at = 0; at < block.size() && block[at]; at += list.back().size() + 1)
            list.emplace_back(block.c_str() + at);
        return list;
    };
    const std::wstring current = std::wstring(L"=C:=C:\\w") + L'\0' + L"ALLUSERSPROFILE=C:\\P" + L'\0' +
                                 L"nodefaultcurrentdirectoryinexepath=0" + L'\0' + L"Path=C:\\bin" + L'\0' +
                                 L"windir=C:\\Windows" + L'\0' + L'\0';
    const std::wstring block = BuildEnvironment(current.c_str());
    ASSERT_GE(block.size(), 2u);
    EXPECT_EQ(std::wstring(2, L'\0'), block.substr(block.size() - 2));
    const std::vector<std::wstring> list = entries(block);
    EXPECT_EQ((std::vector<std::wstring>{L"=C:=C:\\w", L"ALLUSERSPROFILE=C:\\P", L"NoDefaultCurrentDirectoryInExePath=1",
                                         L"Path=C:\\bin", L"windir=C:\\Windows"}),
              list);
    // An empty environment gets the one entry.
    EXPECT_EQ((std::vector<std::wstring>{L"NoDefaultCurrentDirectoryInExePath=1"}), entries(BuildEnvironment(L"")));
}

TEST(BuildCommand, SourceFolderAndExitCodes) {
    EXPECT_EQ(L"C:\\src", SourceFolder(L"C:\\src\\a.cpp"));
    EXPECT_EQ(L"C:\\", SourceFolder(L"C:\\a.cpp"));
    EXPECT_EQ(L"\\\\host\\share", SourceFolder(L"\\\\host\\share\\r.md"));
    EXPECT_EQ(L"3", ExitCodeText(3));
    EXPECT_EQ(L"0xC0000005", ExitCodeText(0xC0000005u));
}

TEST(BuildCommand, TextsInEveryLanguage) {
    for (int language = 0; language < 20; ++language) {
        for (BuildText text : {BuildText::UnsafePath, BuildText::NoOutputFile, BuildText::OutputCut,
                               BuildText::ToolNotFound, BuildText::NotStarted, BuildText::ExitCode,
                               BuildText::Building, BuildText::Finished, BuildText::SaveAndBuildQuestion,
                               BuildText::SaveAndBuildButton})
            EXPECT_GT(std::wstring(BuildTextFor(language, text)).size(), 4u) << language;
        // The texts that name something have the place for it.
        EXPECT_NE(std::wstring::npos, BuildTextWith(language, BuildText::ToolNotFound, L"node").find(L"node"));
        EXPECT_NE(std::wstring::npos, BuildTextWith(language, BuildText::ExitCode, L"42").find(L"42"));
        EXPECT_NE(std::wstring::npos, BuildTextWith(language, BuildText::Building, L"0:07").find(L"0:07"));
        EXPECT_NE(std::wstring::npos, BuildTextWith(language, BuildText::Finished, L"42").find(L"42"));
        EXPECT_EQ(std::wstring::npos, std::wstring(BuildTextFor(language, BuildText::SaveAndBuildButton)).find(L'%'));
    }
    EXPECT_EQ(std::wstring(BuildTextFor(4, BuildText::OutputCut)), BuildTextFor(99, BuildText::OutputCut));
}

TEST(BuildCommand, ElapsedTimeReadsAsAClock) {
    EXPECT_EQ(L"0:00", ElapsedText(0));
    EXPECT_EQ(L"0:00", ElapsedText(999));
    EXPECT_EQ(L"0:07", ElapsedText(7000));
    EXPECT_EQ(L"1:05", ElapsedText(65000));
    EXPECT_EQ(L"59:59", ElapsedText(3599999));
    EXPECT_EQ(L"1:00:00", ElapsedText(3600000));
    EXPECT_EQ(L"26:03:04", ElapsedText((26ull * 3600 + 3 * 60 + 4) * 1000));
    EXPECT_EQ(L"Building \u2026 0:07", BuildTextWith(4, BuildText::Building, ElapsedText(7000)));
}

TEST(BuildCommand, OutputIsCutAfterALineBreak) {
    const std::string text = "ab\ncd\n\xC3";
    EXPECT_EQ(6u, OutputCutPoint(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(2u, OutputCutPoint(reinterpret_cast<const uint8_t*>("xy"), 2));
}
