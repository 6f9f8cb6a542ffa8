#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <string>

#include "document/document.h"
#include "io/convert.h"
#include "io/encoding.h"
#include "io/file_access.h"
#include "io/open.h"
#include "io/save.h"
#include "support/component.h"

using namespace std::string_literals;

TEST(OpenRules, BinaryMeansAZeroByteWithoutUtf16Mark) {
    EXPECT_FALSE(LooksBinary({}));
    EXPECT_FALSE(LooksBinary({'a', 'b'}));
    EXPECT_TRUE(LooksBinary({'a', 0, 'b'}));
    EXPECT_FALSE(LooksBinary({0xFF, 0xFE, 'a', 0}));
    EXPECT_FALSE(LooksBinary({0xFE, 0xFF, 0, 'a'}));
    EXPECT_TRUE(LooksBinary({0xEF, 0xBB, 0xBF, 0}));
}

TEST(SaveRules, LineEndingFromTheSavedText) {
    EXPECT_EQ(kEolCrlf, LineEndingOfText(L""));
    EXPECT_EQ(kEolCrlf, LineEndingOfText(L"a\r\nb\r\n"));
    EXPECT_EQ(kEolMixed, LineEndingOfText(L"a\r\nb\nc"));
    EXPECT_EQ(kEolLf, LineEndingOfText(L"a\nb\n"));
    EXPECT_EQ(kEolCr, LineEndingOfText(L"a\rb\r"));
    EXPECT_EQ(kEolMixed, LineEndingOfText(L"a\rb\r\n"));
}

TEST(ConvertCommands, EveryIdMapsToItsEncodingOrLineEnding) {
    const int encodings[] = {0, 1, 2, 4, 5, 6, 3};
    for (int id = 150; id <= 156; ++id) EXPECT_EQ(encodings[id - 150], EncodingForCommand(id));
    EXPECT_EQ(-1, EncodingForCommand(157));
    int mode = -1, eol = -1;
    ASSERT_TRUE(LineEndingForCommand(132, mode, eol));
    EXPECT_EQ(2, mode);
    EXPECT_EQ(static_cast<int>(kEolLf), eol);
    ASSERT_TRUE(LineEndingForCommand(133, mode, eol));
    EXPECT_EQ(1, mode);
    EXPECT_EQ(static_cast<int>(kEolCr), eol);
    EXPECT_FALSE(LineEndingForCommand(134, mode, eol));
}

namespace {

// Hex tabs over real files in a scratch folder: a file that vanishes or is locked must never cost
// a tab its bytes, and a tab without bytes must never write an empty file.
class HexFiles : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        dir = std::wstring(base) + L"tessary hex test " + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(dir.c_str(), nullptr);
    }
    void TearDown() override { ReleaseMapping(doc); }

    std::wstring Write(const std::wstring& name, const std::string& bytes) {
        const std::wstring path = dir + name;
        EXPECT_TRUE(AtomicWriteBytes(path, bytes.data(), bytes.size(), false));
        return path;
    }

    std::wstring dir;
    Document doc;
};

// Memory the process has committed (what a buffer of the file's size would show in).
uint64_t CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

TEST_F(HexFiles, LargeFileThatIsNotUtf8LeavesNoBufferOfItsSize) {
    ASSERT_TRUE(LoadComponentForTests());
    constexpr size_t kSize = 24u << 20;
    const std::wstring path = Write(L"large utf16.txt", "\xFF\xFE"s + std::string(kSize - 2, 'a'));
    documents.emplace_back();
    Document& tab = documents.back();
    tab.path = path;
    tab.editor = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, tab.editor);
    const uint64_t before = CommittedBytes();
    std::wstring error;
    EXPECT_EQ(LoadOutcome::HexMapped, LoadIntoTab(0, path, error));
    EXPECT_LT(CommittedBytes(), before + (8u << 20));
    ReleaseMapping(tab);
    DestroyWindow(tab.editor);
    documents.clear();
}

}  // namespace
