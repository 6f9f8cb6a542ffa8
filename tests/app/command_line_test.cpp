#include "app/command_line.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using Args = std::vector<std::wstring>;

TEST(CommandLine, SplitsPathsAfterTheProgramName) {
    // Quotes group blanks; the program name itself (quoted or not) is never an argument.
    EXPECT_EQ((Args{L"a b.txt", L"c.cpp"}), CommandLineArguments(LR"("C:\Program Files\Tessary.exe" "a b.txt" c.cpp)"));
    EXPECT_EQ((Args{L"a", L"b"}), CommandLineArguments(L"Tessary.exe  a\t\tb  "));
    EXPECT_EQ(Args{}, CommandLineArguments(L"Tessary.exe"));
    EXPECT_EQ(Args{}, CommandLineArguments(L""));
    EXPECT_EQ(Args{}, CommandLineArguments(nullptr));
    // An empty quoted argument names nothing.
    EXPECT_EQ(Args{L"x.txt"}, CommandLineArguments(LR"(Tessary.exe "" x.txt)"));
    // Backslashes are path separators; they only escape a quote that follows them.
    EXPECT_EQ((Args{LR"(C:\dir\sub\f.txt)", LR"(\\server\share\g.md)"}),
              CommandLineArguments(LR"(Tessary.exe C:\dir\sub\f.txt "\\server\share\g.md")"));
    EXPECT_EQ(Args{L"say \"hi\".txt"}, CommandLineArguments(LR"(Tessary.exe "say \"hi\".txt")"));
    // A quote may start in the middle of an argument.
    EXPECT_EQ(Args{LR"(C:\My Files\x.txt)"}, CommandLineArguments(LR"(Tessary.exe "C:\My Files"\x.txt)"));
}

TEST(CommandLine, KeepsNonAsciiAndLongPathsWhole) {
    EXPECT_EQ((Args{L"C:\\\u6587\u4EF6\\\u00FC\u00F1\u00EE \U0001F600.txt", L"\u0444.cpp"}),
              CommandLineArguments(L"Tessary.exe \"C:\\\u6587\u4EF6\\\u00FC\u00F1\u00EE \U0001F600.txt\" \u0444.cpp"));
    std::wstring longPath = L"C:";
    while (longPath.size() < 600) longPath += L"\\folder with blanks";
    longPath += L"\\end.txt";
    EXPECT_EQ(Args{longPath}, CommandLineArguments((L"Tessary.exe \"" + longPath + L"\"").c_str()));
    // Resolving keeps a long full path as it is.
    EXPECT_EQ(longPath, FullPathOfArgument(longPath));
}

TEST(CommandLine, ResolvesRelativePathsAgainstTheCurrentFolder) {
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    std::wstring folder = current;
    if (folder.back() != L'\\') folder += L'\\';
    EXPECT_EQ(folder + L"a b.txt", FullPathOfArgument(L"a b.txt"));
    EXPECT_EQ(folder + L"c.cpp", FullPathOfArgument(L".\\sub\\..\\c.cpp"));
    EXPECT_EQ(LR"(D:\x\y.txt)", FullPathOfArgument(LR"(D:\x\y.txt)"));
    EXPECT_EQ(L"", FullPathOfArgument(L""));
}

}  // namespace
