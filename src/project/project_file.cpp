#include "project/project_file.h"

#include "base/encoding.h"
#include "base/file_access.h"
#include "persist/json_text.h"

std::wstring FormatProject(const std::wstring& folder, const std::vector<std::wstring>& files) {
    std::wstring text = L"{\n  \"folder\": \"" + EscapeQuotesAndBackslashes(folder) + L"\",\n  \"open_files\": [";
    for (size_t i = 0; i < files.size(); ++i) {
        if (i > 0) text += L',';
        text += L"\n    \"" + EscapeQuotesAndBackslashes(files[i]) + L"\"";
    }
    text += L"\n  ]\n}\n";
    return text;
}

ProjectContents ReadProject(const std::wstring& text) {
    ProjectContents project;
    const std::wstring folderKey = L"\"folder\": \"";
    const size_t folder = text.find(folderKey);
    if (folder == std::wstring::npos) return project;
    size_t next = 0;
    if (!ReadQuotedValue(text, folder + folderKey.size(), text.size(), project.folder, next)) return project;
    project.hasFolder = true;

    const size_t key = text.find(L"\"open_files\"");
    if (key == std::wstring::npos) return project;
    const size_t open = text.find(L'[', key);
    if (open == std::wstring::npos) return project;
    const size_t close = FindOutsideStrings(text, open + 1, L']');
    if (close == std::wstring::npos) return project;
    size_t pos = open + 1;
    while (pos < close) {
        const size_t quote = text.find(L'"', pos);
        if (quote == std::wstring::npos || quote >= close) break;
        std::wstring value;
        if (!ReadQuotedValue(text, quote + 1, close, value, pos)) break;
        if (!value.empty()) project.files.push_back(std::move(value));
    }
    return project;
}

std::wstring DecodeProjectBytes(const std::vector<uint8_t>& bytes) {
    if (bytes.empty() || bytes.size() > kMaxProjectFileSize) return {};
    return DecodeBytes(bytes.data(), bytes.size(), nullptr, nullptr);
}

std::wstring ReadProjectFile(const std::wstring& path) {
    // The size is asked first so that a huge file is never read into memory.
    if (FileSizeOf(path) > kMaxProjectFileSize) return {};
    return DecodeProjectBytes(ReadAllBytes(path));
}

bool IsProjectPath(const std::wstring& path) {
    const std::wstring suffix = L".tessary";
    return path.size() >= suffix.size() && path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}
