#pragma once
// Reading files into tabs: small texts whole and decoded, large UTF-8 texts streamed, everything
// else (and what would not save back byte for byte) into the hex view, mapped when large.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/file_access.h"
#include "io/text_stream.h"

struct Document;

// The tab that shows the file `path` names, under whatever spelling or link it was opened; -1 when
// none does.
int FindTabForPath(const std::wstring& path);
// Maps (or, for a small file that cannot be mapped, reads) a hex tab's file again with fresh
// history, the caret kept within the new bytes and the encoding and line ending detected anew. On
// failure the tab keeps its bytes and `error` says why.
bool ReloadHexBytes(Document& doc, std::wstring& error);

// How a file's content reached its tab. Loading: a large text is still being read in the
// background; the tab takes no edit until FinishBackgroundLoad, and shows no text, or with
// LoadHooks::keepText the text it had.
enum class LoadOutcome { Text, LargeText, HexInMemory, HexMapped, Missing, Failed, Loading };
// What the caller of a load adds to it: progress reporting and whether a large text may be read on
// a thread of its own.
struct LoadHooks {
    ProgressFn progress;  // a large text read here, on the calling thread, between its chunks
    bool background = false;
    // A reload: the tab keeps showing (read-only) the text it has until the new text replaces it, so
    // that a cancelled or failed read leaves it as it was, stamp included (Document::reloading) -
    // when the memory free holds both texts (ReloadKeepsText); else it is cleared as for an open.
    bool keepText = false;
    ProgressFn backgroundProgress;         // called on the worker between chunks: may only post
    std::function<void()> backgroundDone;  // called on the worker once it has ended: may only post
    std::unique_ptr<BackgroundTextLoad> started;  // the read, when the outcome is Loading
    FileStamp before;  // the file's stamp taken before the read, for FinishBackgroundLoad
};
// Reads `path` into the tab at `index` the way opening does: small files whole and decoded,
// large UTF-8 files streamed, binary and large non-UTF-8 files into the hex view. On Failed
// the tab's text is left as it was (a large text is cleared) and `error` holds the message.
// The stamp of the file is taken before the read, also for a read that goes on in the background.
LoadOutcome LoadIntoTab(int index, const std::wstring& path, std::wstring& error, LoadHooks* hooks = nullptr);
// Ends the background read of the tab at `index` once its worker has said so: the whole text
// becomes the editor's, a file that turned out not to be text goes to the hex view (mapped), as a
// read on the interface thread would have done; `before` (LoadHooks::before) becomes its stamp. On
// Failed a reloaded tab keeps its text, encoding and stamp.
LoadOutcome FinishBackgroundLoad(int index, const std::wstring& path, BackgroundTextLoad& load, const FileStamp& before,
                                 std::wstring& error);
// Ends a background read that is dropped before it finished: a reloaded tab takes edits again.
void AbandonBackgroundLoad(Document& doc);

// Whether a tab reading its file of `size` bytes again may keep its old text meanwhile: while both
// are held the new text takes about as much again, so that must fit twice into `available` bytes
// of free memory, to leave the rest of the system its room.
bool ReloadKeepsText(uint64_t size, uint64_t available);

// True when the whole file was appended to the editor as well-formed UTF-8 (the same strict rule
// as for small files); `lineEnding` is then decided from the counts of every kind of line break.
bool LoadLargeUtf8(HWND editor, const std::wstring& path, uint64_t size, uint32_t& encoding, uint32_t& lineEnding,
                   const ProgressFn& progress = nullptr);
// The lines to make room for in a large text of `size` bytes whose first `sample` bytes hold
// `breaks` line breaks: as many as that density gives, with a sixteenth to spare, but at most one
// per 32 bytes, so that a first chunk denser than the rest cannot take much room the text never
// needs (beyond that the component grows its line index as it goes).
uint64_t LargeTextLines(uint64_t size, uint64_t sample, uint64_t breaks);
// Gives the editor a fresh document without style bytes (large files are never styled), which
// halves the memory a large text takes; the document-level settings are applied again.
// LoadLargeUtf8 takes the room for the text once the file's first chunk has passed.
void PrepareLargeDocument(HWND editor, uint64_t size);
// Drops the editor's text and the room it took (a fresh, styled document in its place).
void ReleaseEditorText(HWND editor, int language);
// "Tessary cannot read this file:", the path and the reason, in the interface language.
std::wstring CannotReadMessage(const std::wstring& path, const std::wstring& reason);
// A read-only mapping of the whole file; replaces any earlier mapping and empties the overlay.
// On failure the Document keeps its mapping and overlay.
bool MapForHex(Document& doc, const std::wstring& path);
// Re-reads the read-only attribute and sets the editor's read-only state.
void RefreshReadOnly(Document& doc);
void SetEditorText(HWND editor, const std::wstring& text);
// Puts the tab into the hex view with fresh history (the bytes or mapping are already in place).
void EnterHexMode(Document& doc);
// (encoding, lineEnding) of a hex tab's current bytes, both 0 when there are none.
void DetectHexEncoding(Document& doc);
