#pragma once
// The build runner's decisions that need no process: the program path a source compiles to, where
// the compiler or interpreter is found, the command line and environment of the build, and how much
// of the output is shown.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The source path with its extension replaced by ".exe" ("main.cpp" -> "main.exe"); ".exe" is
// appended when the file name has no extension ("Makefile" -> "Makefile.exe").
std::wstring ExePath(const std::wstring& source);

// A path the command interpreter reads back unchanged inside quotation marks: absolute (drive
// letter or UNC), and free of "%" and "!" (variable expansion works inside quotes), quotation
// marks and control characters.
bool IsBuildablePath(const std::wstring& path);

// The compiler or interpreter a LanguageId builds with: g++ (1), csc (2), python (3), node (4);
// nothing for the languages whose file is only printed.
std::optional<std::wstring> BuildToolName(int language);

// The first file called `tool`, or `tool` plus one of the extensions of `pathExt` (";"-separated, in
// order), in the folders of `pathVariable`, as a full path. Only absolute folders are looked in: an
// empty or relative entry stands for the current folder, which is wherever the user happened to be,
// so a program planted there is never picked. `isFile` tells whether a path names an existing file.
std::optional<std::wstring> FindOnPath(const std::wstring& tool, const std::wstring& pathVariable,
                                       const std::wstring& pathExt,
                                       const std::function<bool(const std::wstring&)>& isFile);

// The command line handed to the system's command interpreter for `source` by LanguageId: `tool`
// (the full path of BuildToolName's program) compiles (1, 2) and then the program runs on success,
// or runs the script (3, 4); any other file is printed with "type" and `tool` is not used. The whole
// command is quoted once more after "/c", so the interpreter reads the quoted program path back
// unchanged. Nothing for a source or tool path IsBuildablePath refuses.
std::optional<std::wstring> BuildCommandLine(int language, const std::wstring& source, const std::wstring& tool);

// The folder the build runs in: the source's folder (with its trailing separator for a drive root).
std::wstring SourceFolder(const std::wstring& source);

// The environment block of the build's process: `current` (NUL-terminated "NAME=value" strings ended
// by an empty one) with NoDefaultCurrentDirectoryInExePath=1 put in its sorted place, replacing any
// earlier value, so that nothing the build starts by a bare name is looked for in the current folder.
std::wstring BuildEnvironment(const wchar_t* current);

// At most this much of the output file is read into the output tab.
constexpr uint64_t kMaxBuildOutputBytes = 16ull * 1024 * 1024;

// The interface texts of the runner, in the current interface language:
enum class BuildText {
    UnsafePath,    // the path cannot be handed to the command interpreter
    NoOutputFile,  // build_output.txt cannot be created
    OutputCut,     // the output was longer than the tab shows
    ToolNotFound,  // "%1" (the compiler or interpreter) is in no folder of PATH
    NotStarted,    // the build could not start; the system's reason follows
    ExitCode,      // the build's program ended with exit code "%1"
    Building,      // a build runs; "%1" the time it has taken
    Finished,      // the build ended with exit code "%1"
    SaveAndBuildQuestion,
    SaveAndBuildButton,
};
const wchar_t* BuildTextFor(int uiLanguage, BuildText text);
// An exit code as the user reads it: decimal, or hexadecimal for the system's status codes
// (0xC0000005 and the like).
std::wstring ExitCodeText(uint32_t code);

// The time a build has taken as a clock shows it: "0:07", "12:30", "1:02:03".
std::wstring ElapsedText(uint64_t milliseconds);

// BuildTextFor with its "%1" replaced by `argument`.
std::wstring BuildTextWith(int uiLanguage, BuildText text, const std::wstring& argument);

// Where output longer than the shown part is cut: after the last line break of `bytes`, so that no
// character is split; all of it when there is none.
size_t OutputCutPoint(const uint8_t* bytes, size_t length);
