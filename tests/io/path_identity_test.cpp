// One file, many names: generated spellings of a real file all name it, and nothing else does.
#include "io/path_identity.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/file_access.h"
#include "support/scratch.h"

namespace {


void Touch(const std::wstring& path, const char* text) {
    ASSERT_TRUE(AtomicWriteBytes(path, text, std::char_traits<char>::length(text), false));
}

// The system's own full form of a path, the reference for the text rules.
std::wstring SystemFullPath(const std::wstring& path) {
    wchar_t buffer[4096];
    const DWORD n = GetFullPathNameW(path.c_str(), 4096, buffer, nullptr);
    return n > 0 && n < 4096 ? std::wstring(buffer, n) : std::wstring();
}

// A random spelling of `full` (a drive path): letters in random case, "/" or "\" between steps,
// "." and "name\.." steps slipped in, runs of separators, and trailing dots and spaces at the end.
std::wstring Respell(const std::wstring& full, std::mt19937& rng, bool trailing) {
    auto coin = [&rng](int in) { return std::uniform_int_distribution<int>(0, in - 1)(rng) == 0; };
    std::wstring out;
    for (wchar_t c : full) {
        if (c == L'\\') {
            out += coin(2) ? L'/' : L'\\';
            if (coin(4)) out += coin(2) ? L"./" : L".\\";
            if (coin(5)) out += L"zz q\\..\\";
            if (coin(6)) out += L'\\';
            continue;
        }
        out += coin(2) ? static_cast<wchar_t>(towupper(c)) : static_cast<wchar_t>(towlower(c));
    }
    if (trailing) {
        const int extra = std::uniform_int_distribution<int>(1, 3)(rng);
        for (int i = 0; i < extra; ++i) out += coin(2) ? L'.' : L' ';
    }
    return out;
}

TEST(PathIdentity, GeneratedSpellingsNameOneFileAndMatchTheSystemsFullPath) {
    const ScratchFolder scratch(L"tessary path identity");
    const std::wstring dir = TabPathOf(scratch.path);
    const std::wstring file = dir + L"\\Sub Folder\\Notes.txt";
    CreateDirectoryW((dir + L"\\Sub Folder").c_str(), nullptr);
    Touch(file, "a");
    Touch(dir + L"\\Sub Folder\\Notes.tx", "b");
    std::mt19937 rng(26);
    for (int i = 0; i < 400; ++i) {
        const std::wstring spelling = Respell(file, rng, i % 2 == 1);
        SCOPED_TRACE(spelling);
        EXPECT_TRUE(SamePathText(spelling, file));
        EXPECT_TRUE(PathsNameOneFile(spelling, file));
        EXPECT_FALSE(SamePathText(spelling, dir + L"\\Sub Folder\\Notes.tx"));
        EXPECT_FALSE(PathsNameOneFile(spelling, dir + L"\\Sub Folder\\Notes.tx"));
        EXPECT_EQ(SystemFullPath(spelling), LexicalFullPath(spelling, L""));
        EXPECT_TRUE(SameFileId(FileIdOf(spelling), FileIdOf(file)));
    }
}

TEST(PathIdentity, RelativeSpellingsFollowTheirBaseLikeTheSystem) {
    const ScratchFolder scratch(L"tessary path identity");
    const std::wstring base = TabPathOf(scratch.path);
    wchar_t saved[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(SetCurrentDirectoryW(base.c_str()));
    for (const wchar_t* relative : {L"a.txt", L".\\a.txt", L"x\\..\\a.txt", L"..\\a.txt", L"\\top\\a.txt",
                                    L"a.txt. .", L"x/y/../../a.txt", L".", L"..\\..\\..\\..\\..\\..\\.."}) {
        SCOPED_TRACE(relative);
        EXPECT_EQ(SystemFullPath(relative), LexicalFullPath(relative, base));
        EXPECT_EQ(SystemFullPath(relative), TabPathOf(relative));
    }
    SetCurrentDirectoryW(saved);
    EXPECT_EQ(L"", LexicalFullPath(L"a.txt", L""));
    EXPECT_EQ(L"C:\\p\\q\\a.txt", LexicalFullPath(L"a.txt", L"C:\\p\\q"));
    EXPECT_EQ(L"C:\\p\\a.txt", LexicalFullPath(L"..\\a.txt", L"C:/p/q/"));
    EXPECT_EQ(L"C:\\a.txt", LexicalFullPath(L"\\a.txt", L"C:\\p\\q"));
    EXPECT_EQ(L"\\\\srv\\share\\a.txt", LexicalFullPath(L"..\\..\\a.txt", L"\\\\srv\\share\\d"));
    EXPECT_EQ(L"\\\\srv\\share\\d\\a.txt", LexicalFullPath(L"\\\\?\\UNC\\srv\\share\\d\\a.txt", L""));
    EXPECT_EQ(L"C:\\d\\a.txt", LexicalFullPath(L"\\\\?\\C:\\d\\a.txt", L""));
    EXPECT_EQ(L"C:\\d\\...\\a.txt", LexicalFullPath(L"C:\\d\\...\\a.txt", L""));
    EXPECT_FALSE(SamePathText(L"C:\\d\\...\\a.txt", L"C:\\d\\a.txt"));
    EXPECT_FALSE(PathsNameOneFile(L"", L""));
}

TEST(PathIdentity, ShortNamesAndLinksNameTheSameFile) {
    const ScratchFolder scratch(L"tessary path identity");
    const std::wstring dir = TabPathOf(scratch.path);
    const std::wstring file = dir + L"\\A rather long file name.text";
    const std::wstring other = dir + L"\\Another long file name.text";
    Touch(file, "one");
    Touch(other, "two");

    wchar_t shortName[MAX_PATH];
    const DWORD n = GetShortPathNameW(file.c_str(), shortName, MAX_PATH);
    ASSERT_GT(n, 0u);
    ASSERT_NE(file, std::wstring(shortName)) << "no short names on this file system";
    EXPECT_EQ(file, TabPathOf(shortName));
    EXPECT_TRUE(PathsNameOneFile(shortName, file));
    EXPECT_FALSE(PathsNameOneFile(shortName, other));

    const std::wstring link = dir + L"\\hard link.txt";
    ASSERT_TRUE(CreateHardLinkW(link.c_str(), file.c_str(), nullptr));
    EXPECT_FALSE(SamePathText(link, file));
    EXPECT_TRUE(PathsNameOneFile(link, file));
    EXPECT_FALSE(PathsNameOneFile(link, other));
    // A file that is not there has no identity, and two missing files are not one.
    EXPECT_FALSE(FileIdOf(dir + L"\\missing").valid);
    EXPECT_FALSE(PathsNameOneFile(dir + L"\\missing", dir + L"\\missing 2"));
}

}  // namespace
