#pragma once
// The build runner's decisions that need no process: the program path a source compiles to, the
// command line for a source file, and how much of the output is shown.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The source path with its extension replaced by ".exe" ("main.cpp" -> "main.exe"); ".exe" is
// appended when the file name has no extension ("Makefile" -> "Makefile.exe").
std::wstring ExePath(const std::wstring& source);

// A path the command interpreter reads back unchanged inside quotation marks: absolute (drive
// letter or UNC), and free of "%" and "!" (variable expansion works inside quotes), quotation
// marks and control characters.
bool IsBuildablePath(const std::wstring& path);

// The command line for `source` by LanguageId: g++ (1) or csc (2), then the program on success;
// python (3); node (4); otherwise "type". Nothing for a path IsBuildablePath refuses.
std::optional<std::wstring> BuildCommandLine(int language, const std::wstring& source);

// At most this much of the output file is read into the output tab.
constexpr uint64_t kMaxBuildOutputBytes = 16ull * 1024 * 1024;

// The interface texts of the runner, in the current interface language:
enum class BuildText {
    UnsafePath,    // the path cannot be handed to the command interpreter
    NoOutputFile,  // build_output.txt cannot be created
    OutputCut,     // the output was longer than the tab shows
};
const wchar_t* BuildTextFor(int uiLanguage, BuildText text);

// Where output longer than the shown part is cut: after the last line break of `bytes`, so that no
// character is split; all of it when there is none.
size_t OutputCutPoint(const uint8_t* bytes, size_t length);
