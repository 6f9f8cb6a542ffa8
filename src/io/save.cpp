#include "io/save.h"

#include <windows.h>
#include <commdlg.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "document/document.h"
#include "document/tab_rules.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "io/encoding_feed.h"
#include "base/file_access.h"
#include "io/open.h"
#include "io/path_identity.h"
#include "syntax/languages.h"
#include "base/strings.h"

namespace {

// The text goes to the file straight from the component's buffer, piece by piece, so a save holds
// no copy of it: UTF-8 tabs write the component's own bytes unchanged, the others convert piece by
// piece. Even over the tab's own file the write goes through a temporary file: an interrupted write
// must never leave a truncated file behind.
bool SaveText(Document& doc, const std::wstring& target, LineBreakCounts& breaks, const ProgressFn& progress) {
    HWND ed = doc.editor;
    const auto length = static_cast<uint64_t>(editor::Length(ed));
    const auto encoding = static_cast<uint32_t>(doc.encoding);
    const TextRange text = [ed, length, &progress](uint64_t offset, size_t size) {
        if (progress) progress(offset, length);
        return editor::RangePointer(ed, static_cast<long long>(offset), static_cast<long long>(size));
    };
    return AtomicWriteStream(target, ByteOrderMark(encoding), [&](const ByteSink& sink) {
        return EncodeEditorText(length, encoding, text, sink, breaks);
    });
}

void AfterHexSave(Document& doc) {
    doc.savedText.clear();
    doc.savedTextValid = 0;
    doc.hexSavePointValid = 1;
    doc.hexSavedChangeCount = doc.hexChangeCount;
    // A mapped save has found the encoding in its own copy of the bytes, and one that wrote nothing
    // has nothing new to look at: only bytes in memory are looked at here.
    if (!doc.mapped) DetectHexEncoding(doc);
}

}  // namespace

bool WriteTab(Document& doc, const std::wstring& target, bool* unreadable, const ProgressFn& progress) {
    if (unreadable) *unreadable = false;
    if (doc.hexMode) {
        if (!SaveHexBytes(doc, target, unreadable, progress)) return false;
        AfterHexSave(doc);
        // A text save tells the crash snapshots through the component's save point; the hidden
        // editor of a hex tab has none.
        NoteChange(kChangeTabText);
        return true;
    }
    LineBreakCounts breaks;
    if (!SaveText(doc, target, breaks, progress)) return false;
    // Like an open, a large text keeps no second copy of itself.
    const bool small = static_cast<uint64_t>(editor::Length(doc.editor)) <= kSmallFileLimit;
    doc.savedText = small ? Utf8ToWide(editor::GetText(doc.editor)) : std::wstring();
    doc.savedTextValid = small ? 1 : 0;
    doc.lineEnding = static_cast<int>(DecideLineEnding(breaks.crlf, breaks.lf, breaks.cr));
    editor::SetSavePoint(doc.editor);
    return true;
}

void TakeNewPath(Document& doc, const std::wstring& target) {
    doc.path = target;
    doc.title = FileNameOf(target);
    const int language = DetectLanguage(target);
    // A new name may mean a new language: its colours show at once (a text the size of a large
    // file stays unstyled, as when it was opened).
    if (language != doc.language && !doc.hexMode && doc.editor &&
        static_cast<uint64_t>(editor::Length(doc.editor)) <= kSmallFileLimit)
        ApplyLanguageStyles(doc.editor, language);
    doc.language = language;
    const FileStamp stamp = FileTimeAndSize(target);
    doc.fileTime = stamp.time;
    doc.fileSize = stamp.size;
    doc.fileId = FileIdOf(target);
    RefreshReadOnly(doc);
    NoteChange(kChangeTitle | kChangeTabBar | kChangeStatusBar);  // the name, language and read-only mark
}

bool SaveHexBytes(Document& doc, const std::wstring& target, bool* unreadable, const ProgressFn& progress) {
    if (unreadable) *unreadable = false;
    if (HexBytesLost(doc)) return false;
    if (!doc.mapped) return AtomicWriteBytes(target, doc.hexBytes.data(), doc.hexBytes.size(), false);
    if (target == doc.path && !doc.modified) return true;
    return SaveMappedHex(target, doc, unreadable, progress);
}

bool SaveMappedHex(const std::wstring& path, Document& doc, bool* unreadable, const ProgressFn& progress) {
    if (unreadable) *unreadable = false;
    if (doc.mapSize == 0) return true;
    const ReplacedFile old = BeforeReplacing(path);
    if (old.ReadOnly()) return false;
    const std::wstring temp = path + kTempSuffix;
    HANDLE file = CreateFileW(ExtendedPath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kChunkSize]);
    bool ok = buffer != nullptr;
    EncodingFeed encoding;  // of the bytes as written, so that the file need not be read again
    for (uint64_t start = 0; ok && start < doc.mapSize; start += kChunkSize) {
        if (progress) progress(start, doc.mapSize);
        const uint64_t length = std::min<uint64_t>(kChunkSize, doc.mapSize - start);
        // Bytes that cannot be read fail the save: zeros in their place would be written as the
        // file's content.
        if (!CopyFromMapping(doc.mapView + start, buffer.get(), static_cast<size_t>(length))) {
            if (unreadable) *unreadable = true;
            ok = false;
            break;
        }
        for (const auto& [offset, value] : doc.hexOverlay) {
            if (offset >= start && offset < start + length) buffer[offset - start] = value;
        }
        encoding.Add(buffer.get(), static_cast<size_t>(length));
        ok = WriteAll(file, buffer.get(), length);
    }
    ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    if (!ok) {
        DeleteFileW(ExtendedPath(temp).c_str());
        return false;
    }
    const uint64_t written = doc.mapSize;
    const std::wstring mappedPath = doc.path;
    // Only the mapped file itself must be unmapped before it is replaced; for any other target the
    // mapping stays, so a failed move or a failed new mapping leaves the tab's bytes in place.
    const bool replacingMapped = IsSameFile(doc.mapFile, path);
    // The changes survive a failed replace: mapping again empties the overlay.
    std::unordered_map<uint64_t, uint8_t> changes;
    if (replacingMapped) {
        changes = doc.hexOverlay;
        ReleaseMapping(doc);
    }
    if (!MoveFileExW(ExtendedPath(temp).c_str(), ExtendedPath(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(ExtendedPath(temp).c_str());
        if (replacingMapped) {
            MapForHex(doc, mappedPath.empty() ? path : mappedPath);
            doc.hexOverlay = std::move(changes);
        }
        return false;
    }
    AfterReplacing(path, old);
    if (!MapForHex(doc, path) || doc.mapSize != written) return false;
    const DetectedEncoding found = encoding.Finish();
    doc.encoding = static_cast<int>(found.encoding);
    doc.lineEnding = static_cast<int>(found.lineEnding);
    return true;
}

