// Project files: the exact text written, the lenient reader, the size limit and a robustness run.

#include <windows.h>

#include <gtest/gtest.h>

#include "base/encoding.h"
#include "base/file_access.h"
#include "persist/json_text.h"
#include "project/project_file.h"
#include "support/mutator.h"
#include "support/scratch.h"

TEST(ProjectFile, WriterLayout) {
    EXPECT_EQ(
        L"{\n  \"folder\": \"C:\\\\w \\\"q\\\"\",\n  \"open_files\": [\n    \"C:\\\\a.txt\",\n"
        L"    \"C:\\\\b]\\\\c.txt\"\n  ]\n}\n",
        FormatProject(L"C:\\w \"q\"", {L"C:\\a.txt", L"C:\\b]\\c.txt"}));
    EXPECT_EQ(L"{\n  \"folder\": \"\",\n  \"open_files\": [\n  ]\n}\n", FormatProject(L"", {}));
}

TEST(ProjectFile, ReaderEdgeCases) {
    ProjectContents p = ReadProject(L"{\"folder\": \"C:\\\\w\\/x\\q\", \"open_files\": [\"a]\\\"b\", \"\", \"c\"]}");
    EXPECT_TRUE(p.hasFolder);
    EXPECT_EQ(L"C:\\w/x\\q", p.folder);  // \\ \/ give one character, other backslashes stay
    EXPECT_EQ((std::vector<std::wstring>{L"a]\"b", L"c"}), p.files);

    // Without the folder key (spacing included) nothing applies, not even the files.
    for (const wchar_t* text : {L"", L"{\"open_files\": [\"a\"]}", L"{\"folder\":\"C:\\\\w\", \"open_files\": [\"a\"]}",
                                L"{\"folder\": \"C:\\\\w", L"{\"folder\": \""}) {
        p = ReadProject(text);
        EXPECT_FALSE(p.hasFolder) << text;
        EXPECT_TRUE(p.files.empty()) << text;
    }

    // An empty folder is a folder; a missing or unterminated list leaves the folder applied.
    p = ReadProject(L"{\"folder\": \"\", \"open_files\": [\"x\"]}");
    EXPECT_TRUE(p.hasFolder);
    EXPECT_EQ(L"", p.folder);
    EXPECT_EQ(std::vector<std::wstring>{L"x"}, p.files);
    for (const wchar_t* text :
         {L"{\"folder\": \"f\"}", L"{\"folder\": \"f\", \"open_files\": [\"a\", \"b\"",
          L"{\"folder\": \"f\", \"open_files\": \"a\"", L"{\"folder\": \"f\", \"open_files\": [\"a]"}) {
        p = ReadProject(text);
        EXPECT_TRUE(p.hasFolder) << text;
        EXPECT_EQ(L"f", p.folder) << text;
        EXPECT_TRUE(p.files.empty()) << text;
    }
}

TEST(ProjectFile, SaveLoadSaveLeavesTheFileUnchanged) {
    const ScratchFolder scratch(L"tessary-project");
    const std::wstring path = scratch.path + L"\\roundtrip.tessary";
    const std::wstring folder = L"C:\\work\\a \"quoted\" \\\\server";
    const std::vector<std::wstring> files = {L"C:\\work\\x.txt", L"C:\\work\\[y].md", L"D:\\\u4E2D\u6587.txt"};
    ASSERT_TRUE(WriteTextFileAtomic(path, FormatProject(folder, files), kEncUtf8Bom));
    const std::string first = FileBytes(path);
    EXPECT_EQ(0, first.compare(0, 3, kUtf8Bom));

    const ProjectContents read = ReadProject(ReadProjectFile(path));
    EXPECT_EQ(folder, read.folder);
    EXPECT_EQ(files, read.files);
    ASSERT_TRUE(WriteTextFileAtomic(path, FormatProject(read.folder, read.files), kEncUtf8Bom));
    EXPECT_EQ(first, FileBytes(path));
}

TEST(ProjectFile, FilesOverTheLimitReadAsEmpty) {
    const ScratchFolder scratch(L"tessary-project");
    const std::wstring path = scratch.path + L"\\huge.tessary";
    const std::string start = std::string(kUtf8Bom) + "{\"folder\": \"C:\\\\w\"}";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_TRUE(WriteAll(file, start.data(), start.size()));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(kMaxProjectFileSize);
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));  // exactly at the limit: still read
    CloseHandle(file);
    EXPECT_EQ(L"C:\\w", ReadProject(ReadProjectFile(path)).folder);

    file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    end.QuadPart += 1;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(L"", ReadProjectFile(path));
    EXPECT_FALSE(ReadProject(ReadProjectFile(path)).hasFolder);
    DeleteFileW(path.c_str());
    EXPECT_EQ(L"", ReadProjectFile(path));  // missing
}

TEST(ProjectFile, IsProjectPathComparesTheEndingExactly) {
    EXPECT_TRUE(IsProjectPath(L"C:\\p\\project.tessary"));
    EXPECT_TRUE(IsProjectPath(L".tessary"));
    EXPECT_FALSE(IsProjectPath(L"C:\\p\\project.TESSARY"));
    EXPECT_FALSE(IsProjectPath(L"tessary"));
    EXPECT_FALSE(IsProjectPath(L"C:\\p\\notes.txt"));
}

TEST(ProjectFile, ReaderSurvivesRandomDamage) {
    auto seed = [](const std::wstring& folder, const std::vector<std::wstring>& files) {
        return std::string(kUtf8Bom) + Utf8FromWide(FormatProject(folder, files));
    };
    Mutator mutator(
        {seed(L"C:\\w \"q\"", {L"C:\\a.txt", L"C:\\b]\\c.txt", L"C:\\[d]"}), seed(L"", {}), seed(L"D:\\", {L"x"})},
        {"\"folder\": \"", "\"open_files\": [", "\"open_files\"", "\\\"", "\\/"});
    for (int round = 0; round < 100000; ++round) {
        const std::string bytes = mutator.Next();
        const ProjectContents read = ReadProject(DecodeProjectBytes(std::vector<uint8_t>(bytes.begin(), bytes.end())));
        for (const std::wstring& file : read.files) ASSERT_FALSE(file.empty()) << round;
        if (!read.hasFolder) {
            ASSERT_TRUE(read.folder.empty() && read.files.empty()) << round;
            continue;
        }
        // Whatever was read is written so that it reads back the same.
        const ProjectContents again = ReadProject(FormatProject(read.folder, read.files));
        ASSERT_TRUE(again.hasFolder) << round;
        ASSERT_EQ(read.folder, again.folder) << round;
        ASSERT_EQ(read.files, again.files) << round;
    }
}
