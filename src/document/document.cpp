#include "document/document.h"

#include <new>
#include <utility>

#include "base/app_state.h"

DocumentList documents;

Document& Document::operator=(Document&& other) noexcept {
    if (this == &other) return *this;
    editor = std::exchange(other.editor, nullptr);
    baseEditorProc = std::exchange(other.baseEditorProc, nullptr);
    path = std::move(other.path);
    title = std::move(other.title);
    modified = other.modified;
    loading = other.loading;
    reloading = other.reloading;
    fileId = other.fileId;
    readOnlyFile = other.readOnlyFile;
    readOnlyView = other.readOnlyView;
    language = other.language;
    encoding = other.encoding;
    lineEnding = other.lineEnding;
    savedText = std::move(other.savedText);
    savedTextValid = other.savedTextValid;
    fileTime = other.fileTime;
    fileSize = other.fileSize;
    hexMode = other.hexMode;
    hexBytes = std::move(other.hexBytes);
    hexOverlay = std::move(other.hexOverlay);
    mapFile = std::exchange(other.mapFile, nullptr);
    mapObject = std::exchange(other.mapObject, nullptr);
    mapView = std::exchange(other.mapView, nullptr);
    mapSize = std::exchange(other.mapSize, 0);
    mapped = std::exchange(other.mapped, 0);
    hexSavePointValid = other.hexSavePointValid;
    hexUndo = std::move(other.hexUndo);
    hexRedo = std::move(other.hexRedo);
    hexChangeCount = other.hexChangeCount;
    hexSavedChangeCount = other.hexSavedChangeCount;
    hexCaret = other.hexCaret;
    hexCaretLowNibble = other.hexCaretLowNibble;
    hexTopRow = other.hexTopRow;
    lineLengths = std::move(other.lineLengths);
    return *this;
}

Document* ActiveDocument() {
    if (app.activeTab < 0 || app.activeTab >= static_cast<int>(documents.size())) return nullptr;
    return &documents[static_cast<size_t>(app.activeTab)];
}

void ReleaseMapping(Document& doc) {
    if (doc.mapView) UnmapViewOfFile(doc.mapView);
    if (doc.mapObject) CloseHandle(doc.mapObject);
    if (doc.mapFile && doc.mapFile != INVALID_HANDLE_VALUE) CloseHandle(doc.mapFile);
    doc.mapView = nullptr;
    doc.mapObject = nullptr;
    doc.mapFile = nullptr;
    doc.mapSize = 0;
    doc.mapped = 0;
}

bool HexBytesLost(const Document& doc) { return doc.hexMode && !doc.mapped && doc.hexBytes.empty() && doc.fileSize > 0; }

namespace {
bool failNextLargeAllocation = false;
}

void CheckLargeAllocation(uint64_t bytes) {
    if (bytes < kLargeAllocation || !failNextLargeAllocation) return;
    failNextLargeAllocation = false;
    throw std::bad_alloc();
}

void FailNextLargeAllocationForTesting() { failNextLargeAllocation = true; }
