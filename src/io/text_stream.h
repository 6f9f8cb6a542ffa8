#pragma once
// Large UTF-8 texts read piece by piece: every chunk is checked as it comes and handed on, either
// straight to an editor on the interface thread or to the component's loader on a thread of its
// own, so that the window goes on answering while a big file loads.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "base/file_access.h"

// How reading a large text ended.
enum class StreamEnd {
    Text,         // all of it arrived and is well-formed UTF-8
    NotText,      // a UTF-16 mark, or bytes that are not UTF-8 (checked as strictly as small files)
    Unreadable,   // cannot be opened, a read failed, or the file shrank
    OutOfMemory,  // the receiver could not take a chunk
    Cancelled,
};

struct StreamedText {
    StreamEnd end = StreamEnd::Unreadable;
    bool encodingSeen = false;  // the first chunk was read and carried no UTF-16 mark
    uint32_t encoding = kEncUtf8;  // by the first chunk's UTF-8 mark, when encodingSeen
    uint32_t lineEnding = kEolCrlf;  // decided from every line break, when end is Text
};

// Where the text goes. `begin(size, firstLength, firstBreaks)` is called once, when the first chunk
// has shown text, so that room for all of it can be taken then (a file that turns out not to be
// text costs none); `append` takes each chunk, the mark left out. Either returns false when it
// cannot take the text (out of memory), which ends the read.
struct TextReceiver {
    std::function<bool(uint64_t size, uint64_t firstLength, uint64_t firstBreaks)> begin;
    std::function<bool(const char* data, size_t length)> append;
};

// What the component is given for a large text of `size` bytes: the text and a little to spare.
// When an insertion does not fit, the component grows its buffer by a sixth and briefly holds the
// old and the new one; the spare room keeps ordinary editing of a large file from doing that. It is
// kept small (a sixty-fourth: 16 MiB for 1 GiB) because all of it is held from the start, next to
// the line index, which the loader grows as it goes.
uint64_t LargeTextRoom(uint64_t size);

// Reads `size` bytes of `path` in chunks of `chunk` bytes into `to`, checking them as one UTF-8
// text. `progress` hears of every chunk; `cancel`, when given, is looked at before each one.
StreamedText StreamUtf8Text(const std::wstring& path, uint64_t size, const TextReceiver& to,
                            const ProgressFn& progress = nullptr, const std::atomic<bool>* cancel = nullptr,
                            size_t chunk = kChunkSize);

// Holds every background read before its next chunk while `pause` is set, so that end-to-end tests
// can look at a load half way; a read that is cancelled is never held.
void PauseBackgroundReadsForTesting(bool pause);

// A large text read on a thread of its own into the component's loader, which the component
// turns into a document once the whole text is in. Made, finished and destroyed on the interface
// thread; the reading, and the making of the loader with room for the whole text, run on the
// worker, which never waits for the interface thread.
class BackgroundTextLoad {
public:
    // Starts the worker, which takes a loader with room for the whole text once the first chunk
    // has shown text (the room is made there, not on the calling thread). `progress` and `done` are
    // called on the worker (between chunks, and once at its end): they may only post. Null when no
    // loader can be had at all (the component cannot make the window it asks).
    static std::unique_ptr<BackgroundTextLoad> Start(const std::wstring& path, uint64_t size,
                                                     ProgressFn progress, std::function<void()> done,
                                                     size_t chunk = kChunkSize);
    // Stops the worker at its next chunk and waits for it; the loader and its text are let go.
    ~BackgroundTextLoad();
    BackgroundTextLoad(const BackgroundTextLoad&) = delete;
    BackgroundTextLoad& operator=(const BackgroundTextLoad&) = delete;

    // Asks the worker to stop at its next chunk, without waiting for it.
    void Cancel() { cancel = true; }
    // Waits for the worker. When the whole text arrived, `document` becomes the component's
    // document holding it (one reference, for SCI_SETDOCPOINTER and then SCI_RELEASEDOCUMENT);
    // otherwise it is null and the loader is already let go.
    StreamedText Finish(void** document);

private:
    BackgroundTextLoad() = default;
    struct Loader;
    Loader* loader = nullptr;
    std::atomic<bool> cancel{false};
    StreamedText result;
    std::thread worker;
};
