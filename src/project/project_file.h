#pragma once
// Project files (".tessary"): the sidebar's folder and the paths of the open file tabs, as text and
// back. Reading scans for fixed key texts, like the program's other files, and tolerates any input.
#include <cstdint>
#include <string>
#include <vector>

// Larger project files are not read at all: a real one holds a folder and a list of paths.
constexpr uint64_t kMaxProjectFileSize = 16ull * 1024 * 1024;

// The file's text (the writer adds the UTF-8 byte-order mark). Paths are written in the given order;
// empty ones are the caller's to leave out.
std::wstring FormatProject(const std::wstring& folder, const std::vector<std::wstring>& files);

struct ProjectContents {
    bool hasFolder = false;           // false: the file is not applied at all
    std::wstring folder;              // may be empty
    std::vector<std::wstring> files;  // non-empty values of the open_files list, in order
};
// What a project text asks for: the first "\"folder\": \"" value (it must be closed by a quotation
// mark), then the string values inside the first list after "\"open_files\"", up to its first "]"
// outside strings. The files are read only when the folder was.
ProjectContents ReadProject(const std::wstring& text);

// The text of a project file's bytes by the editor's own decoding; empty for files over the limit.
std::wstring DecodeProjectBytes(const std::vector<uint8_t>& bytes);
// Reads and decodes the file; empty when it is missing, unreadable or over kMaxProjectFileSize.
std::wstring ReadProjectFile(const std::wstring& path);

// Whether Open Project treats the chosen file as a project: its last eight characters are exactly
// ".tessary".
bool IsProjectPath(const std::wstring& path);
