#pragma once
// One open tab and the ordered list of them. Documents own window and mapping handles, so they
// are moved, never copied.
#include <windows.h>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/file_access.h"
#include "document/line_lengths.h"

// One byte overwritten in the hex view, with the caret on either side of the change.
struct HexEdit {
    uint64_t offset = 0;
    uint8_t before = 0;
    uint8_t after = 0;
    uint64_t caretBefore = 0;
    uint64_t caretAfter = 0;
    uint8_t lowNibbleBefore = 0;
    uint8_t lowNibbleAfter = 0;
};

struct Document {
    HWND editor = nullptr;
    WNDPROC baseEditorProc = nullptr;
    std::wstring path;
    std::wstring title;
    bool modified = false;
    bool loading = false;  // its text is still being read in the background: the editor holds none of it
    FileId fileId;  // the identity of its file when that was last read or written, if it could be had
    bool reloading = false;  // its file is read again in the background: the editor keeps the text it had
    bool readOnlyFile = false;
    bool readOnlyView = false;
    int language = 0;
    int encoding = 0;
    int lineEnding = 0;
    std::wstring savedText;
    bool savedTextValid = false;
    uint64_t fileTime = 0;
    uint64_t fileSize = 0;
    bool hexMode = false;
    std::vector<uint8_t> hexBytes;
    std::unordered_map<uint64_t, uint8_t> hexOverlay;
    HANDLE mapFile = nullptr;
    HANDLE mapObject = nullptr;
    const uint8_t* mapView = nullptr;
    uint64_t mapSize = 0;
    bool mapped = false;
    bool hexSavePointValid = false;
    std::vector<HexEdit> hexUndo, hexRedo;
    uint64_t hexChangeCount = 0, hexSavedChangeCount = 0;
    int64_t hexCaret = 0;  // byte offsets and rows are 64-bit: mapped files can be far beyond 2 GiB
    bool hexCaretLowNibble = false;
    int64_t hexTopRow = 0;
    LineLengthTally lineLengths;  // of the editor's text, for the horizontal scroll bar

    Document() { hexOverlay.max_load_factor(1.0f); }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    // A moved-from record must not keep handles that its new owner now holds.
    Document(Document&& other) noexcept { *this = std::move(other); }
    Document& operator=(Document&& other) noexcept;
};

using DocumentList = std::vector<Document>;
extern DocumentList documents;

// The active Document, or nullptr when there is none.
Document* ActiveDocument();

// Unmaps the view, closes the mapping object and the file, zeroes the size and clears `mapped`.
void ReleaseMapping(Document& doc);

// A hex tab that holds neither a mapping nor bytes although its file had bytes when last read (a
// mapping that could not be made again after a save): shown as text or saved, it would be empty.
bool HexBytesLost(const Document& doc);

// Copies of a whole text or file ask here first, so that running out of memory can be brought
// about on purpose: after FailNextLargeAllocationForTesting the next check of at least
// kLargeAllocation bytes throws std::bad_alloc, as the allocation itself would on a full machine.
constexpr uint64_t kLargeAllocation = 1024 * 1024;
void CheckLargeAllocation(uint64_t bytes);
void FailNextLargeAllocationForTesting();
