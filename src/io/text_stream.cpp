#include "io/text_stream.h"

#include <algorithm>
#include <cstddef>
#include <mutex>

#include "base/editor.h"
#include "base/encoding.h"

uint64_t LargeTextRoom(uint64_t size) { return size + size / 64 + 1; }

StreamedText StreamUtf8Text(const std::wstring& path, uint64_t size, const TextReceiver& to,
                            const ProgressFn& progress, const std::atomic<bool>* cancel, size_t chunk) {
    StreamedText out;
    chunk = std::max<size_t>(chunk, 3);  // the first chunk shows the whole mark
    HANDLE file = OpenForReading(path, FILE_FLAG_SEQUENTIAL_SCAN);
    if (file == INVALID_HANDLE_VALUE) return out;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[chunk]);
    if (!buffer) {
        CloseHandle(file);
        out.end = StreamEnd::OutOfMemory;
        return out;
    }
    Utf8ScanState scan;
    uint64_t done = 0;
    out.end = StreamEnd::Text;
    while (done < size) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            out.end = StreamEnd::Cancelled;
            break;
        }
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(chunk, size - done));
        DWORD got = 0;
        if (!ReadPiece(file, buffer.get(), want, got) || got == 0) {
            out.end = StreamEnd::Unreadable;
            break;
        }
        const uint8_t* data = buffer.get();
        size_t length = got;
        const bool first = done == 0;
        if (first) {
            if (length >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
                out.end = StreamEnd::NotText;
                break;
            }
            const bool mark = length >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF;
            out.encodingSeen = true;
            out.encoding = mark ? kEncUtf8Bom : kEncUtf8;
            if (mark) {
                data += 3;
                length -= 3;
            }
        }
        done += got;
        ScanUtf8Chunk(scan, data, length);
        if (!scan.result.valid) {
            out.end = StreamEnd::NotText;
            break;
        }
        if (first && to.begin) {
            const LineBreakCounts& seen = scan.result.breaks;
            if (!to.begin(size, length, seen.crlf + seen.lf + seen.cr)) {
                out.end = StreamEnd::OutOfMemory;
                break;
            }
        }
        if (length > 0 && !to.append(reinterpret_cast<const char*>(data), length)) {
            out.end = StreamEnd::OutOfMemory;
            break;
        }
        if (progress) progress(done, size);
    }
    CloseHandle(file);
    if (out.end != StreamEnd::Text) return out;
    const Utf8Scan result = FinishUtf8Scan(scan);
    if (!result.valid) {
        out.end = StreamEnd::NotText;  // the text ends inside a character
        return out;
    }
    out.lineEnding = DecideLineEnding(result.breaks.crlf, result.breaks.lf, result.breaks.cr);
    return out;
}

namespace {
std::atomic<bool> readsPaused{false};
}  // namespace

void PauseBackgroundReadsForTesting(bool pause) { readsPaused = pause; }

// The component's loader interface (ILoader): its document, filled from any thread.
struct BackgroundTextLoad::Loader {
    virtual int __stdcall Release() = 0;
    virtual int __stdcall AddData(const char* data, ptrdiff_t length) = 0;
    virtual void* __stdcall ConvertToDocument() = 0;
};

namespace {

// Where loaders come from. SCI_CREATELOADER makes the room for the whole text at once (growing the
// buffer chunk by chunk would copy it again and again and briefly hold it twice), and making that
// room clears every byte of it: on the interface thread a large file would cost the window its
// answers for as long as that takes. So the room is made on the worker: an editor window that
// nothing else uses (message-only, never shown, on the interface thread like every window) is
// asked straight through the component's function rather than through a message, which reaches no
// window of another thread and waits for none. Only one worker at a time asks it; its own
// document is never touched, so nothing on the interface thread shares state with the call.
struct LoaderSource {
    using Direct = LRESULT (*)(LONG_PTR, UINT, WPARAM, LPARAM);
    HWND window = nullptr;
    Direct call = nullptr;
    LONG_PTR target = 0;
    std::mutex asking;
};

// Made on the interface thread at the first background read; it lasts as long as the program.
LoaderSource* TheLoaderSource() {
    static LoaderSource source;
    if (!source.window) {
        source.window = CreateWindowExW(0, L"Scintilla", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
        if (!source.window) return nullptr;
        source.call = reinterpret_cast<LoaderSource::Direct>(editor::Send(source.window, editor::kGetDirectFunction));
        source.target = editor::Send(source.window, editor::kGetDirectPointer);
        if (!source.call || !source.target) {
            DestroyWindow(source.window);
            source.window = nullptr;
            return nullptr;
        }
    }
    return &source;
}

}  // namespace

std::unique_ptr<BackgroundTextLoad> BackgroundTextLoad::Start(const std::wstring& path, uint64_t size,
                                                              ProgressFn progress, std::function<void()> done,
                                                              size_t chunk) {
    LoaderSource* source = TheLoaderSource();
    if (!source) return nullptr;
    std::unique_ptr<BackgroundTextLoad> load(new BackgroundTextLoad());
    BackgroundTextLoad* self = load.get();
    load->worker = std::thread([self, source, path, size, progress = std::move(progress), done = std::move(done),
                                chunk] {
        // The loader is taken once the first chunk has shown text: a file that goes to the hex view
        // instead costs no buffer of its size.
        const auto takeLoader = [self, source](uint64_t total) {
            constexpr int kStylesNone = 0x1, kTextLarge = 0x100;
            const int options = kStylesNone | (total >= 0x7FFFFFFF ? kTextLarge : 0);
            std::lock_guard<std::mutex> one(source->asking);
            const LRESULT made = source->call(source->target, editor::kCreateLoader,
                                              static_cast<WPARAM>(LargeTextRoom(total)), options);
            self->loader = reinterpret_cast<Loader*>(made);
            return self->loader != nullptr;
        };
        TextReceiver to;
        to.begin = [takeLoader](uint64_t total, uint64_t, uint64_t) { return takeLoader(total); };
        to.append = [self](const char* data, size_t length) {
            while (readsPaused && !self->cancel) Sleep(10);
            return self->loader->AddData(data, static_cast<ptrdiff_t>(length)) == 0;
        };
        self->result = StreamUtf8Text(path, size, to, progress, &self->cancel, chunk);
        if (!self->loader && self->result.end == StreamEnd::Text && !takeLoader(0)) {
            self->result.end = StreamEnd::OutOfMemory;  // an empty file: no chunk asked for the loader
        }
        if (self->loader && self->result.end != StreamEnd::Text) {
            self->loader->Release();  // a text that will not be shown is let go here, off the window's thread
            self->loader = nullptr;
        }
        if (done) done();
    });
    return load;
}

BackgroundTextLoad::~BackgroundTextLoad() {
    cancel = true;
    if (worker.joinable()) worker.join();
    if (loader) loader->Release();
}

StreamedText BackgroundTextLoad::Finish(void** document) {
    if (worker.joinable()) worker.join();
    *document = nullptr;
    if (loader && result.end == StreamEnd::Text) {
        *document = loader->ConvertToDocument();
    } else if (loader) {
        loader->Release();
    }
    loader = nullptr;
    return result;
}
