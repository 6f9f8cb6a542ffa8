#include "persist/settings_file.h"

#include <algorithm>

#include "persist/json_text.h"

namespace {

void ReadClamped(const std::wstring& text, const wchar_t* key, int low, int high, int& field) {
    int value = 0;
    if (FindIntAfterKey(text, key, value)) field = std::clamp(value, low, high);
}

void ReadRecentList(const std::wstring& text, std::vector<std::wstring>& recent) {
    const size_t key = text.find(L"\"recent\":");
    if (key == std::wstring::npos) return;
    const size_t open = text.find(L'[', key);
    if (open == std::wstring::npos) return;
    const size_t close = FindOutsideStrings(text, open + 1, L']');
    if (close == std::wstring::npos) return;
    size_t pos = open + 1;
    while (pos < close) {
        const size_t quote = text.find(L'"', pos);
        if (quote == std::wstring::npos || quote >= close) break;
        std::wstring entry;
        if (!ReadQuotedValue(text, quote + 1, close, entry, pos)) break;
        // Entries past the limit are still read so that the scan stays in step with the quotes.
        if (!entry.empty() && recent.size() < kMaxRecentFiles) recent.push_back(std::move(entry));
    }
}

}  // namespace

void ReadSettingsText(const std::wstring& text, Settings& settings) {
    ReadClamped(text, L"\"fontSize\": ", 8, 32, settings.fontSize);
    ReadClamped(text, L"\"tabWidth\": ", 1, 16, settings.tabWidth);
    ReadClamped(text, L"\"zoom\": ", -20, 40, settings.zoom);
    ReadClamped(text, L"\"newEnc\": ", 0, 6, settings.newEnc);
    settings.wordWrap = text.find(L"\"wrap\": true") != std::wstring::npos;

    const std::wstring faceKey = L"\"fontFace\": \"";
    const size_t face = text.find(faceKey);
    if (face != std::wstring::npos) {
        std::wstring value;
        size_t next = 0;
        if (ReadQuotedValue(text, face + faceKey.size(), text.size(), value, next)) settings.fontFace = value;
    }

    settings.recent.clear();
    ReadRecentList(text, settings.recent);
}

void ReadSettings(const std::string& bytes, Settings& settings) { ReadSettingsText(DecodeStoredText(bytes), settings); }

void ApplyMissingSettingsFile(Settings& settings) {
    settings.wordWrap = false;
    settings.recent.clear();
}

std::string FormatSettings(const Settings& settings) {
    std::wstring text = L"{\n  \"fontSize\": " + std::to_wstring(settings.fontSize);
    text += L",\n  \"tabWidth\": " + std::to_wstring(settings.tabWidth);
    text += L",\n  \"zoom\": " + std::to_wstring(settings.zoom);
    text += L",\n  \"wrap\": ";
    text += settings.wordWrap ? L"true" : L"false";
    text += L",\n  \"newEnc\": " + std::to_wstring(settings.newEnc);
    text += L",\n  \"fontFace\": \"" + EscapeQuotesAndBackslashes(settings.fontFace) + L"\"";
    if (!settings.recent.empty()) {
        text += L",\n  \"recent\": [\n";
        for (size_t i = 0; i < settings.recent.size(); ++i) {
            text += L"    \"" + EscapeQuotesAndBackslashes(settings.recent[i]) + L"\"";
            if (i + 1 < settings.recent.size()) text += L',';
            text += L'\n';
        }
        text += L"  ]";
    }
    text += L"\n}\n";
    return kUtf8Bom + Utf8FromWide(text);
}

bool AddRecentPath(std::vector<std::wstring>& recent, const std::wstring& path) {
    if (path.empty()) return false;
    // Every equal entry goes, so duplicates of a hand-edited file cannot outlive the move to the top.
    recent.erase(std::remove(recent.begin(), recent.end(), path), recent.end());
    recent.insert(recent.begin(), path);
    if (recent.size() > kMaxRecentFiles) recent.resize(kMaxRecentFiles);
    return true;
}
