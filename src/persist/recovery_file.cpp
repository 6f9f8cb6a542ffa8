#include "persist/recovery_file.h"

#include <algorithm>
#include <utility>

#include "persist/json_text.h"

namespace {

std::wstring Field(const std::wstring& key, uint64_t value) { return L", \"" + key + L"\": " + std::to_wstring(value); }

// Where the value of `key` starts in one entry's text (past the colon and blanks): the key must
// stand outside string values, so that a path holding key-like text cannot stand in for it.
size_t ValueOf(const std::wstring& object, const wchar_t* key) {
    const std::wstring quoted = std::wstring(L"\"") + key + L"\":";
    bool inString = false;
    for (size_t i = 0; i < object.size(); ++i) {
        if (!inString && object.compare(i, quoted.size(), quoted) == 0) {
            size_t pos = i + quoted.size();
            while (pos < object.size() && object[pos] == L' ') ++pos;
            return pos;
        }
        if (inString && object[i] == L'\\') {
            ++i;
        } else if (object[i] == L'"') {
            inString = !inString;
        }
    }
    return std::wstring::npos;
}

bool ReadString(const std::wstring& object, const wchar_t* key, std::wstring& value) {
    const size_t pos = ValueOf(object, key);
    if (pos >= object.size() || object[pos] != L'"') return false;
    value = JsonUnescape(object, pos);
    return true;
}

// Reads a number after `key` in one entry's text; false when it is missing or negative.
bool ReadNumber(const std::wstring& object, const wchar_t* key, uint64_t& value) {
    size_t pos = ValueOf(object, key);
    if (pos >= object.size() || object[pos] < L'0' || object[pos] > L'9') return false;
    value = 0;
    for (; pos < object.size() && object[pos] >= L'0' && object[pos] <= L'9'; ++pos) {
        if (value > (UINT64_MAX - 9) / 10) return false;
        value = value * 10 + static_cast<uint64_t>(object[pos] - L'0');
    }
    return true;
}

bool ReadInt(const std::wstring& object, const wchar_t* key, int& value) {
    uint64_t number = 0;
    if (!ReadNumber(object, key, number) || number > 0x7FFFFFFF) return false;
    value = static_cast<int>(number);
    return true;
}

// A text file name of the snapshot's own making: no folders, nothing odd.
bool PlainFileName(const std::wstring& name) {
    if (name.empty() || name.size() > 64) return false;
    for (wchar_t c : name) {
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'z') || c == L'-' || c == L'.')) return false;
    }
    return name.find(L"..") == std::wstring::npos;
}

}  // namespace

std::string FormatRecoveryIndex(const std::vector<RecoveryEntry>& entries) {
    std::wstring text = L"{\"tabs\": [";
    for (size_t i = 0; i < entries.size(); ++i) {
        const RecoveryEntry& e = entries[i];
        text += i == 0 ? L"\n" : L",\n";
        text += L"{\"path\": " + JsonEscape(e.path) + L", \"title\": " + JsonEscape(e.title) + L", \"file\": " +
                JsonEscape(e.file) + Field(L"encoding", e.encoding) + Field(L"lineEnding", e.lineEnding) +
                Field(L"language", e.language) + Field(L"caret", static_cast<uint64_t>(e.caret)) +
                Field(L"modified", e.modified) + Field(L"skipped", e.skipped) + Field(L"fileTime", e.fileTime) +
                Field(L"fileSize", e.fileSize) + (e.hex ? Field(L"hex", e.hex) : std::wstring()) +
                (e.origin.empty() ? std::wstring() : L", \"origin\": " + JsonEscape(e.origin)) +
                (e.session.empty() ? std::wstring()
                                   : L", \"session\": " + JsonEscape(e.session) +
                                         Field(L"sessionEntry", static_cast<uint64_t>(std::max(e.sessionEntry, 0)))) +
                L"}";
    }
    text += L"\n]}\n";
    return kUtf8Bom + Utf8FromWide(text);
}

bool ReadRecoveryIndex(const std::string& bytes, std::vector<RecoveryEntry>& entries) {
    entries.clear();
    const std::wstring text = DecodeStoredText(bytes);
    const size_t key = text.find(L"{\"tabs\": [");
    if (key == std::wstring::npos) return false;
    const size_t open = key + 9;
    const size_t close = FindOutsideStrings(text, open + 1, L']');
    if (close == std::wstring::npos || text.compare(close, 2, L"]}") != 0) return false;
    size_t pos = open + 1;
    for (;;) {
        const size_t begin = FindOutsideStrings(text, pos, L'{');
        if (begin == std::wstring::npos || begin > close) break;
        const size_t end = FindOutsideStrings(text, begin + 1, L'}');
        if (end == std::wstring::npos || end > close) return false;
        const std::wstring object = text.substr(begin, end - begin);
        RecoveryEntry e;
        uint64_t caret = 0;
        if (!ReadString(object, L"path", e.path) || !ReadString(object, L"title", e.title) ||
            !ReadString(object, L"file", e.file) || !ReadInt(object, L"encoding", e.encoding) || e.encoding > 6 ||
            !ReadInt(object, L"lineEnding", e.lineEnding) || e.lineEnding > 3 ||
            !ReadInt(object, L"language", e.language) || !ReadNumber(object, L"caret", caret) ||
            !ReadInt(object, L"modified", e.modified) || !ReadInt(object, L"skipped", e.skipped) ||
            !ReadNumber(object, L"fileTime", e.fileTime) || !ReadNumber(object, L"fileSize", e.fileSize))
            return false;
        // Snapshots of text tabs carry no "hex".
        if (ValueOf(object, L"hex") != std::wstring::npos && (!ReadInt(object, L"hex", e.hex) || e.hex > 2))
            return false;
        // Written by newer versions only: absent keys keep their defaults.
        if (ValueOf(object, L"origin") != std::wstring::npos && !ReadString(object, L"origin", e.origin)) return false;
        if (ValueOf(object, L"session") != std::wstring::npos &&
            (!ReadString(object, L"session", e.session) || !ReadInt(object, L"sessionEntry", e.sessionEntry)))
            return false;
        e.caret = static_cast<long long>(caret & 0x7FFFFFFFFFFFFFFFull);
        if (e.skipped ? !e.file.empty() : !PlainFileName(e.file)) return false;
        entries.push_back(std::move(e));
        pos = end + 1;
    }
    return !entries.empty();
}

std::string FormatHexChanges(const std::unordered_map<uint64_t, uint8_t>& changes) {
    std::vector<std::pair<uint64_t, uint8_t>> sorted(changes.begin(), changes.end());
    std::sort(sorted.begin(), sorted.end());
    std::string bytes;
    bytes.reserve(sorted.size() * 9);
    for (const auto& [offset, value] : sorted) {
        for (int shift = 0; shift < 64; shift += 8) bytes += static_cast<char>((offset >> shift) & 0xFF);
        bytes += static_cast<char>(value);
    }
    return bytes;
}

bool ReadHexChanges(const std::string& bytes, std::unordered_map<uint64_t, uint8_t>& changes) {
    changes.clear();
    if (bytes.size() % 9 != 0) return false;
    for (size_t at = 0; at < bytes.size(); at += 9) {
        uint64_t offset = 0;
        for (int i = 7; i >= 0; --i) offset = (offset << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
        changes[offset] = static_cast<uint8_t>(bytes[at + 8]);
    }
    return true;
}

void NoteSnapshotChange(SnapshotClock& clock, uint64_t nowMs) {
    if (!clock.pending) clock.firstChange = nowMs;
    clock.pending = true;
    clock.lastChange = nowMs;
}

bool SnapshotDue(const SnapshotClock& clock, uint64_t nowMs) {
    if (!clock.pending) return false;
    return nowMs - clock.lastChange >= kRecoveryQuietMs || nowMs - clock.firstChange >= kRecoveryMaxDelayMs;
}

void NoteSnapshotTaken(SnapshotClock& clock) { clock = SnapshotClock(); }

bool NoteSnapshotWrite(SnapshotFailures& failures, bool ok, uint64_t nowMs) {
    if (ok) {
        failures = SnapshotFailures();
        return false;
    }
    ++failures.inRow;
    failures.failedAt = nowMs;
    if (failures.inRow < 2 || failures.told) return false;
    failures.told = true;
    return true;
}

bool SnapshotRetryDue(const SnapshotFailures& failures, uint64_t nowMs) {
    if (failures.inRow == 0) return true;
    uint64_t wait = kRecoveryQuietMs;
    for (int i = 1; i < failures.inRow && wait < kRecoveryRetryMaxMs; ++i) wait *= 2;
    return nowMs - failures.failedAt >= std::min(wait, kRecoveryRetryMaxMs);
}
