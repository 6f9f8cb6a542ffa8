#pragma once
// session.json: the tabs open at the last close (paths, and the text of untitled tabs) and the
// position of the active one among them.

#include <string>
#include <vector>

struct SessionEntry {
    std::wstring path;  // empty for an untitled tab
    std::wstring text;  // an untitled tab's text; not stored for a tab with a path
};

struct Session {
    int active = 0;  // position among `entries`, as stored (the reader does not clamp it)
    std::vector<SessionEntry> entries;
};

// The session to store for the tabs in tab order (`text` filled for untitled tabs): tabs with a
// path, and untitled tabs that hold text. `active` is activeTab's position among those, else 0.
// No entries means the session file is to be deleted.
Session CollectSession(const std::vector<SessionEntry>& tabs, int activeTab);

// The exact bytes of the file: UTF-8 with a byte-order mark, lines ending in a line feed.
std::string FormatSession(const Session& session);

// Reads the file's bytes (any byte-order mark, else UTF-8). Returns true when at least one entry
// was read, i.e. when there is something to offer for restoring; `session` is replaced either way.
bool ReadSession(const std::string& bytes, Session& session);
// The same over text that is already decoded.
bool ReadSessionText(const std::wstring& text, Session& session);

// The tab to select after restoring into tabCount tabs, where tabOfEntry[i] is the tab that entry i
// became (-1 when it opened none): the tab of the stored active entry, or of the nearest entry after
// it that opened one; the last tab when there is none or `active` is out of range; -1 without tabs.
int RestoredActiveTab(int active, const std::vector<int>& tabOfEntry, int tabCount);
