#include "shell/command_line.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <random>
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
    // (Backslashes and quotes inside arguments, non-ASCII and very long ones are the property's below.)
    // A quote may start in the middle of an argument.
    EXPECT_EQ(Args{LR"(C:\My Files\x.txt)"}, CommandLineArguments(LR"(Tessary.exe "C:\My Files"\x.txt)"));
}

// Resolving keeps a long full path as it is.
TEST(CommandLine, KeepsLongPathsWhole) {
    std::wstring longPath = L"C:";
    while (longPath.size() < 600) longPath += L"\\folder with blanks";
    EXPECT_EQ(longPath + L"\\end.txt", FullPathOfArgument(longPath + L"\\end.txt"));
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

// The way a launching program quotes one argument so that the platform's rules give it back.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        out += c;
        backslashes = 0;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

// Pieces that matter to the splitting rules and to path resolution.
const wchar_t* const kPieces[] = {L"\"", L"\\", L"\\\\", L" ", L"\t", L"\"\"", L"\\\\?\\", L"C:\\", L"..\\", L".",
                                  L"a", L"\u00FC", L"\u6587", L"\U0001F600", L"\xD800", L":", L"*", L"\\\\server\\s\\"};

// Quoted by the rule above, any list of non-empty arguments comes back as it was.
TEST(CommandLine, QuotedArgumentsComeBackWhole) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 20000; ++round) {
        Args arguments(rng() % 5);
        std::wstring line = L"Tessary.exe";
        for (std::wstring& argument : arguments) {
            while (argument.empty() || rng() % 3) argument += kPieces[rng() % std::size(kPieces)];
            if (rng() % 50 == 0) argument.append(40000, L'x');  // longer than any path
            line += L" " + Quoted(argument);
        }
        ASSERT_EQ(arguments, CommandLineArguments(line.c_str())) << round;
    }
}

// Damaged command lines (unbalanced quotes, runs of backslashes, \\?\ prefixes, huge arguments):
// every argument read is non-empty and no longer than the line, and resolving it gives a full path
// or nothing.
TEST(CommandLine, DamagedLinesGiveUsableArgumentsOrNone) {
    std::mt19937 rng(99);
    const std::wstring seeds[] = {LR"(Tessary.exe "C:\My Files\a b.txt" c.cpp)", LR"("C:\T\Tessary.exe" "" x "\\?\C:\d\")",
                                  LR"(Tessary.exe "say \"hi\".txt" \\server\share\g.md ..\up)"};
    for (int round = 0; round < 100000; ++round) {
        std::wstring line = seeds[rng() % std::size(seeds)];
        for (int edit = 1 + rng() % 4; edit > 0; --edit) {
            const size_t at = rng() % (line.size() + 1);
            switch (rng() % 4) {
                case 0: line.insert(at, kPieces[rng() % std::size(kPieces)]); break;
                case 1: line.erase(at, rng() % 6); break;
                case 2: line.insert(at, std::wstring(rng() % 64 ? 5 : 33000, rng() % 2 ? L'\\' : L'"')); break;
                default: line.resize(at); break;
            }
        }
        const Args arguments = CommandLineArguments(line.c_str());
        for (const std::wstring& argument : arguments) {
            ASSERT_FALSE(argument.empty()) << round;
            ASSERT_LE(argument.size(), line.size()) << round;
            if (argument.size() > 300) continue;  // resolving is checked on path-sized arguments
            const std::wstring full = FullPathOfArgument(argument);
            const bool drive = full.size() >= 3 && full[1] == L':' && full[2] == L'\\';
            ASSERT_TRUE(full.empty() || drive || full.rfind(L"\\\\", 0) == 0) << round;
        }
    }
}

}  // namespace
