#include "io/open.h"

#include <commdlg.h>

#include <algorithm>
#include <memory>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/drop_list.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "io/path_identity.h"
#include "io/text_stream.h"
#include "persist/persist.h"
#include "syntax/languages.h"
#include "base/strings.h"

namespace {

// Swaps the editor's document for a new empty one with the component's document `options`, which
// frees the old one; the document-level settings are applied again. False when none was made.
bool ReplaceDocument(HWND ed, int options) {
    const LRESULT document = editor::Send(ed, editor::kCreateDocument, 0, options);
    if (!document) return false;
    {
        SettingText setting;
        editor::Send(ed, editor::kSetDocPointer, 0, document);
    }
    editor::Send(ed, editor::kReleaseDocument, 0, document);  // the editor holds the only reference now
    ConfigureEditor(ed);
    return true;
}

void ClearEditorForText(HWND ed) {
    editor::SetReadOnly(ed, false);
    editor::Send(ed, editor::kClearAll);
}

void FinishTextLoad(Document& doc, const std::wstring& path) {
    doc.language = DetectLanguage(path);
    editor::Send(doc.editor, editor::kSetSel, 0, 0);
    editor::Send(doc.editor, editor::kEmptyUndoBuffer);
    editor::SetSavePoint(doc.editor);
    const FileStamp stamp = FileTimeAndSize(path);
    doc.fileTime = stamp.time;
    doc.fileSize = stamp.size;
    doc.modified = 0;
    doc.hexMode = 0;
    RefreshReadOnly(doc);
}

void LoadSmallText(Document& doc, const std::wstring& path, const TextPlan& plan) {
    // A tab that held a large file has a document without style bytes; small text is coloured.
    constexpr int kGetDocumentOptions = 2379;
    if (editor::Send(doc.editor, kGetDocumentOptions) & 0x1) {
        const LRESULT fresh = editor::Send(doc.editor, editor::kCreateDocument, 0, 0);
        if (fresh) {
            editor::Send(doc.editor, editor::kSetDocPointer, 0, fresh);
            editor::Send(doc.editor, editor::kReleaseDocument, 0, fresh);
            ConfigureEditor(doc.editor);
            ApplyLanguageStyles(doc.editor, DetectLanguage(path));
        }
    }
    ClearEditorForText(doc.editor);
    doc.encoding = static_cast<int>(plan.encoding);
    doc.lineEnding = static_cast<int>(plan.lineEnding);
    {
        SettingText setting;
        editor::SetText(doc.editor, plan.utf8);
    }
    FinishTextLoad(doc, path);
    doc.savedText = Utf8ToWide(plan.utf8);
    doc.savedTextValid = 1;
}

// False when the first bytes of a large file already show that it is no UTF-8 text (a UTF-16 mark,
// or bytes that are not UTF-8), by the rule the text load applies to its first chunk: the file
// then goes to the hex view without a whole chunk being read first. True when the bytes may be
// text or cannot be read (the text load then finds the same).
bool MayBeUtf8Text(const std::wstring& path) {
    constexpr DWORD kLookAt = 64 * 1024;
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) return true;
    std::vector<uint8_t> bytes(kLookAt);
    DWORD got = 0;
    const bool read = ReadFile(file, bytes.data(), kLookAt, &got, nullptr) != 0;
    CloseHandle(file);
    if (!read || got < 2) return true;
    if ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)) return false;
    const size_t mark = got >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF ? 3 : 0;
    Utf8ScanState scan;
    ScanUtf8Chunk(scan, bytes.data() + mark, got - mark);  // a sequence cut at the end stays pending
    return scan.result.valid;
}

// Streams a large file; the editor runs without undo, modification events and styling meanwhile.
bool LoadLargeText(Document& doc, const std::wstring& path, uint64_t size, const ProgressFn& progress) {
    HWND ed = doc.editor;
    PrepareLargeDocument(ed, size);
    editor::SetReadOnly(ed, false);
    editor::Send(ed, editor::kClearAll);
    editor::Send(ed, editor::kSetUndoCollection, 0);
    editor::Send(ed, editor::kSetStatus, 0);
    editor::Send(ed, editor::kSetModEventMask, 0);
    editor::SetLexer(ed, 1);
    uint32_t encoding = static_cast<uint32_t>(doc.encoding), lineEnding = static_cast<uint32_t>(doc.lineEnding);
    bool ok = false;
    {
        SettingText setting;
        ok = LoadLargeUtf8(ed, path, size, encoding, lineEnding, progress);
    }
    editor::Send(ed, editor::kSetUndoCollection, 1);
    editor::Send(ed, editor::kSetModEventMask, static_cast<WPARAM>(-1));
    editor::SetLexer(ed, 1);
    doc.encoding = static_cast<int>(encoding);
    if (!ok) {
        // Never leave a partial text behind: it would look like the whole file. A new document
        // also gives back the room that was taken for all of it.
        ReleaseEditorText(doc.editor, DetectLanguage(path));
        return false;
    }
    doc.lineEnding = static_cast<int>(lineEnding);
    FinishTextLoad(doc, path);
    doc.savedText.clear();
    doc.savedTextValid = 0;
    app.scrollWidthDirty = 1;
    return true;
}

}  // namespace

std::wstring CannotReadMessage(const std::wstring& path, const std::wstring& reason) {
    return LocalizedText(StringTable::FileErrors, 0) + path + L"\n\n" + reason;
}

void PrepareLargeDocument(HWND ed, uint64_t size) {
    constexpr int kStylesNone = 0x1, kTextLarge = 0x100;
    // No room is taken yet: the first chunk decides whether the file is text at all.
    ReplaceDocument(ed, kStylesNone | (size >= 0x7FFFFFFF ? kTextLarge : 0));
}

void ReleaseEditorText(HWND ed, int language) {
    if (ReplaceDocument(ed, 0)) ApplyLanguageStyles(ed, language);
}

void SetEditorText(HWND ed, const std::wstring& text) { editor::SetText(ed, WideToUtf8(text)); }

void RefreshReadOnly(Document& doc) {
    const DWORD attributes =
        doc.path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(ExtendedPath(doc.path).c_str());
    doc.readOnlyFile = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) ? 1 : 0;
    if (doc.editor)
        editor::SetReadOnly(doc.editor, doc.readOnlyFile || doc.readOnlyView || doc.hexMode || doc.loading || doc.reloading);
}

uint64_t LargeTextLines(uint64_t size, uint64_t sample, uint64_t breaks) {
    const uint64_t estimate = sample == 0 ? 0 : static_cast<uint64_t>(static_cast<double>(breaks) * size / sample);
    return std::min(estimate + estimate / 16, size / 32) + 1;
}

bool LoadLargeUtf8(HWND ed, const std::wstring& path, uint64_t size, uint32_t& encoding, uint32_t& lineEnding,
                   const ProgressFn& progress) {
    TextReceiver to;
    // Room for the whole file once the first chunk has shown text: growing the component's buffer
    // chunk by chunk would copy it again and again and briefly hold it twice, but a file that goes
    // to the hex view instead must not cost a buffer of its size. The line index is made room for
    // too: growing it line by line would copy it many times.
    to.begin = [ed](uint64_t total, uint64_t firstLength, uint64_t firstBreaks) {
        editor::Send(ed, editor::kAllocate, static_cast<WPARAM>(LargeTextRoom(total)));
        editor::Send(ed, editor::kAllocateLines, static_cast<WPARAM>(LargeTextLines(total, firstLength, firstBreaks)));
        return true;
    };
    to.append = [ed](const char* data, size_t length) {
        editor::AddText(ed, data, length);
        // The component reports running out of memory through its status, not through the append.
        if (editor::Send(ed, editor::kGetStatus) == 0) return true;
        editor::Send(ed, editor::kSetStatus, 0);
        return false;
    };
    const StreamedText read = StreamUtf8Text(path, size, to, progress);
    if (read.encodingSeen) encoding = read.encoding;
    if (read.end != StreamEnd::Text) return false;
    lineEnding = read.lineEnding;
    return true;
}

bool MapForHex(Document& doc, const std::wstring& path) {
    // The new mapping is made before the old one goes: a file that has vanished, is locked or
    // cannot be mapped leaves the tab with the bytes it shows.
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 1) {
        CloseHandle(file);
        return false;
    }
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (!view) {
        if (mapping) CloseHandle(mapping);
        CloseHandle(file);
        return false;
    }
    ReleaseMapping(doc);
    doc.hexOverlay.clear();
    doc.mapFile = file;
    doc.mapObject = mapping;
    doc.mapView = static_cast<const uint8_t*>(view);
    doc.mapSize = static_cast<uint64_t>(size.QuadPart);
    doc.mapped = 1;
    return true;
}

void EnterHexMode(Document& doc) {
    doc.hexMode = 1;
    doc.hexSavePointValid = 1;
    doc.hexChangeCount = doc.hexSavedChangeCount = 0;
    doc.hexUndo.clear();
    doc.hexRedo.clear();
    doc.hexCaret = 0;
    doc.hexCaretLowNibble = 0;
    doc.hexTopRow = 0;
    doc.modified = 0;
    doc.savedText.clear();
    doc.savedTextValid = 0;
    const FileStamp stamp = FileTimeAndSize(doc.path);
    doc.fileTime = stamp.time;
    doc.fileSize = stamp.size;
    // The hidden editor's text is not used in the hex view; its memory goes back.
    if (doc.editor && editor::Length(doc.editor) > 0) ReleaseEditorText(doc.editor, doc.language);
    if (doc.editor) ShowWindow(doc.editor, SW_HIDE);
    if (&doc == ActiveDocument()) SetFocus(app.mainWindow);
    RefreshReadOnly(doc);
}

void DetectHexEncoding(Document& doc) {
    const uint8_t* bytes = doc.mapped ? doc.mapView : doc.hexBytes.data();
    const uint64_t size = doc.mapped ? doc.mapSize : doc.hexBytes.size();
    if (size == 0 || !bytes) {
        doc.encoding = doc.lineEnding = 0;
        return;
    }
    DetectedEncoding detected;
    if (doc.mapped) {
        // A mapping is read through the fault-free copy: its volume may be gone. Bytes that cannot
        // be read leave the tab's encoding as it was.
        const auto read = [bytes](uint64_t offset, uint8_t* to, size_t count) {
            return CopyFromMapping(bytes + offset, to, count);
        };
        if (!DetectEncodingInPieces(size, read, detected)) return;
    } else {
        detected = DetectEncoding(bytes, static_cast<size_t>(size));
    }
    doc.encoding = static_cast<int>(detected.encoding);
    doc.lineEnding = static_cast<int>(detected.lineEnding);
}

bool ReloadKeepsText(uint64_t size, uint64_t available) { return size <= available / 2; }

namespace {

uint64_t FreeMemory() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    return GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : 0;
}

LoadOutcome LoadContent(int index, const std::wstring& path, std::wstring& error, LoadHooks* hooks) {
    Document& doc = documents[static_cast<size_t>(index)];
    const uint64_t size = FileSizeOf(path);
    if (size <= kSmallFileLimit) {
        ReadResult read = ReadFileBytes(path);
        if (read.status == ReadStatus::NotFound) return LoadOutcome::Missing;
        if (read.status == ReadStatus::Failed) {
            error = CannotReadMessage(path, SystemErrorText(read.error));
            return LoadOutcome::Failed;
        }
        // Text only when an unedited save would write these very bytes again; else the bytes.
        const TextPlan plan = PlanFileText(read.bytes.data(), read.bytes.size(), static_cast<uint32_t>(doc.encoding),
                                           static_cast<uint32_t>(doc.lineEnding));
        if (!plan.asText) {
            ReleaseMapping(doc);
            doc.hexOverlay.clear();
            doc.hexBytes = std::move(read.bytes);
            doc.language = DetectLanguage(path);
            EnterHexMode(doc);
            return LoadOutcome::HexInMemory;
        }
        ReleaseMapping(doc);
        doc.hexBytes.clear();
        LoadSmallText(doc, path, plan);
        return LoadOutcome::Text;
    }
    const bool mayBeText = MayBeUtf8Text(path);
    if (mayBeText && hooks && hooks->background && hooks->keepText && !doc.hexMode &&
        ReloadKeepsText(size, FreeMemory())) {
        // The text shown stays, read-only, until the new document takes its place.
        hooks->started = BackgroundTextLoad::Start(path, size, hooks->backgroundProgress, hooks->backgroundDone);
        if (hooks->started) {
            doc.reloading = true;
            RefreshReadOnly(doc);
            return LoadOutcome::Loading;
        }
    } else if (mayBeText && hooks && hooks->background) {
        // The editor's document stays empty and read-only; the text arrives as a whole document.
        ReleaseMapping(doc);
        doc.hexBytes.clear();
        doc.hexMode = 0;
        doc.savedText.clear();
        doc.savedTextValid = 0;
        doc.modified = 0;
        doc.language = DetectLanguage(path);
        editor::SetReadOnly(doc.editor, false);
        editor::Send(doc.editor, editor::kClearAll);
        editor::SetReadOnly(doc.editor, true);
        hooks->started = BackgroundTextLoad::Start(path, size, hooks->backgroundProgress, hooks->backgroundDone);
        if (hooks->started) {
            doc.loading = true;
            return LoadOutcome::Loading;
        }
    }
    if (mayBeText && LoadLargeText(doc, path, size, hooks ? hooks->progress : ProgressFn())) {
        ReleaseMapping(doc);
        doc.hexBytes.clear();
        return LoadOutcome::LargeText;
    }
    if (MapForHex(doc, path)) {
        doc.hexBytes.clear();
        doc.language = DetectLanguage(path);
        EnterHexMode(doc);
        return LoadOutcome::HexMapped;
    }
    error = MessageFor(MessageText::LargeFileNotMappable);
    return LoadOutcome::Failed;
}

}  // namespace

LoadOutcome LoadIntoTab(int index, const std::wstring& path, std::wstring& error, LoadHooks* hooks) {
    // The stamp is taken before the read: bytes written while a long load runs then show as a
    // change on disk, where a stamp taken afterwards would hide them and the next save drop them.
    const FileStamp before = FileTimeAndSize(path);
    const LoadOutcome outcome = LoadContent(index, path, error, hooks);
    if (outcome == LoadOutcome::Loading) hooks->before = before;
    // A tab that keeps its old text keeps its old stamp with it until the new text replaces it.
    if (outcome == LoadOutcome::Loading && documents[static_cast<size_t>(index)].reloading) return outcome;
    if (outcome != LoadOutcome::Failed && outcome != LoadOutcome::Missing) {
        Document& doc = documents[static_cast<size_t>(index)];
        doc.fileTime = before.time;
        doc.fileSize = before.size;
        doc.fileId = FileIdOf(path);
    }
    return outcome;
}

void AbandonBackgroundLoad(Document& doc) {
    doc.loading = false;
    doc.reloading = false;
    RefreshReadOnly(doc);
}

LoadOutcome FinishBackgroundLoad(int index, const std::wstring& path, BackgroundTextLoad& load, const FileStamp& before,
                                 std::wstring& error) {
    Document& doc = documents[static_cast<size_t>(index)];
    void* text = nullptr;
    const StreamedText read = load.Finish(&text);
    const int encodingBefore = doc.encoding;
    doc.loading = false;
    doc.reloading = false;
    if (read.encodingSeen) doc.encoding = static_cast<int>(read.encoding);
    LoadOutcome outcome = LoadOutcome::Failed;
    if (text) {
        HWND ed = doc.editor;
        {
            SettingText setting;
            editor::Send(ed, editor::kSetDocPointer, 0, reinterpret_cast<LPARAM>(text));
        }
        editor::Send(ed, editor::kReleaseDocument, 0, reinterpret_cast<LPARAM>(text));  // the editor's now
        ConfigureEditor(ed);
        editor::Send(ed, editor::kSetUndoCollection, 1);  // the loader's document collects none
        editor::SetLexer(ed, 1);
        doc.lineEnding = static_cast<int>(read.lineEnding);
        FinishTextLoad(doc, path);
        doc.savedText.clear();
        doc.savedTextValid = 0;
        app.scrollWidthDirty = 1;
        outcome = LoadOutcome::LargeText;
    } else if (MapForHex(doc, path)) {
        doc.hexBytes.clear();
        doc.language = DetectLanguage(path);
        EnterHexMode(doc);
        outcome = LoadOutcome::HexMapped;
    } else {
        doc.encoding = encodingBefore;
        RefreshReadOnly(doc);
        error = MessageFor(MessageText::LargeFileNotMappable);
        return LoadOutcome::Failed;
    }
    doc.fileTime = before.time;
    doc.fileSize = before.size;
    doc.fileId = FileIdOf(path);
    return outcome;
}

int FindTabForPath(const std::wstring& path) {
    if (path.empty()) return -1;
    for (size_t i = 0; i < documents.size(); ++i) {
        if (!documents[i].path.empty() && SamePathText(documents[i].path, path)) return static_cast<int>(i);
    }
    // Another name of the same file: a hard or symbolic link, or a short name of a missing folder.
    const FileId id = FileIdOf(path);
    if (!id.valid) return -1;
    // Each tab's identity as its file was read or written: asking every file again would make each
    // open cost a file system call per open tab (a session of hundreds of tabs, hundreds squared).
    for (size_t i = 0; i < documents.size(); ++i) {
        const Document& doc = documents[i];
        if (!doc.path.empty() && SameFileId(doc.fileId.valid ? doc.fileId : FileIdOf(doc.path), id))
            return static_cast<int>(i);
    }
    return -1;
}

bool ReloadHexBytes(Document& doc, std::wstring& error) {
    const std::wstring path = doc.path;
    const FileStamp before = FileTimeAndSize(path);  // taken before the read, as for any load
    if (MapForHex(doc, path)) {
        doc.hexBytes.clear();
    } else {
        // Not mappable (an empty file, say): read it whole when it is small enough. A failure here
        // leaves the tab's mapping or bytes as they were.
        ReadResult read = FileSizeOf(path) <= kSmallFileLimit ? ReadFileBytes(path) : ReadResult{};
        if (read.status != ReadStatus::Ok) {
            const bool missing = read.status == ReadStatus::NotFound;
            error = LocalizedText(StringTable::FileErrors, missing ? 1 : 0) + path;
            if (!missing && read.error) error += L"\n\n" + SystemErrorText(read.error);
            return false;
        }
        ReleaseMapping(doc);
        doc.hexOverlay.clear();
        doc.hexBytes = std::move(read.bytes);
    }
    const int64_t caret = doc.hexCaret;
    const int lowNibble = doc.hexCaretLowNibble;
    EnterHexMode(doc);
    doc.fileTime = before.time;
    doc.fileSize = before.size;
    doc.fileId = FileIdOf(doc.path);
    DetectHexEncoding(doc);
    const uint64_t size = doc.mapped ? doc.mapSize : doc.hexBytes.size();
    // The caret stays where it was, limited to the bytes that are there now.
    const uint64_t last = size == 0 ? 0 : size - 1;
    doc.hexCaret = static_cast<int64_t>(std::min<uint64_t>(static_cast<uint64_t>(std::max<int64_t>(caret, 0)), last));
    doc.hexCaretLowNibble = doc.hexCaret == caret ? lowNibble : 0;
    return true;
}
