#include "persist/session_file.h"

#include "persist/json_text.h"

Session CollectSession(const std::vector<SessionEntry>& tabs, int activeTab) {
    Session session;
    for (size_t i = 0; i < tabs.size(); ++i) {
        if (tabs[i].path.empty() && tabs[i].text.empty()) continue;
        if (static_cast<int>(i) == activeTab) session.active = static_cast<int>(session.entries.size());
        SessionEntry entry;
        entry.path = tabs[i].path;
        if (entry.path.empty()) entry.text = tabs[i].text;  // unsaved edits of file tabs are not kept
        session.entries.push_back(std::move(entry));
    }
    return session;
}

std::string FormatSession(const Session& session) {
    std::wstring text = L"{\n  \"active\": " + std::to_wstring(session.active) + L",\n  \"tabs\": [";
    for (size_t i = 0; i < session.entries.size(); ++i) {
        const SessionEntry& entry = session.entries[i];
        if (i > 0) text += L',';
        if (!entry.path.empty()) {
            text += L"\n    { \"path\": " + JsonEscape(entry.path) + L" }";
        } else {
            text += L"\n    { \"path\": \"\", \"text\": " + JsonEscape(entry.text) + L" }";
        }
    }
    text += L"\n  ]\n}\n";
    return kUtf8Bom + Utf8FromWide(text);
}

bool ReadSessionText(const std::wstring& text, Session& session) {
    session = Session();
    FindIntAfterKey(text, L"\"active\":", session.active);

    const size_t key = text.find(L"\"tabs\"");
    if (key == std::wstring::npos) return false;
    const size_t open = text.find(L'[', key);
    if (open == std::wstring::npos) return false;
    // A file cut off before its "]" still gives back the entries that survived complete.
    const size_t close = FindOutsideStrings(text, open + 1, L']');
    const std::wstring list =
        text.substr(open + 1, close == std::wstring::npos ? std::wstring::npos : close - open - 1);

    size_t pos = 0;
    for (;;) {
        const size_t begin = list.find(L'{', pos);
        if (begin == std::wstring::npos) break;
        const size_t end = FindOutsideStrings(list, begin + 1, L'}');
        if (end == std::wstring::npos) break;
        const std::wstring object = list.substr(begin, end - begin);
        SessionEntry entry;
        entry.path = FindJsonStringValue(object, L"\"path\"");
        entry.text = FindJsonStringValue(object, L"\"text\"");
        session.entries.push_back(std::move(entry));
        pos = end + 1;
    }
    return !session.entries.empty();
}

bool ReadSession(const std::string& bytes, Session& session) {
    return ReadSessionText(DecodeStoredText(bytes), session);
}

int RestoredActiveTab(int active, const std::vector<int>& tabOfEntry, int tabCount) {
    if (tabCount <= 0) return -1;
    if (active < 0) return tabCount - 1;
    for (size_t i = static_cast<size_t>(active); i < tabOfEntry.size(); ++i) {
        if (tabOfEntry[i] >= 0 && tabOfEntry[i] < tabCount) return tabOfEntry[i];
    }
    return tabCount - 1;
}
