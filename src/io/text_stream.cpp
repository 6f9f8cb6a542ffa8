#include "io/text_stream.h"

#include <algorithm>
#include <cstddef>

#include "base/editor.h"
#include "base/encoding.h"

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

std::unique_ptr<BackgroundTextLoad> BackgroundTextLoad::Start(HWND ed, const std::wstring& path, uint64_t size,
                                                              ProgressFn progress, std::function<void()> done,
                                                              size_t chunk) {
    constexpr int kStylesNone = 0x1, kTextLarge = 0x100;
    const int options = kStylesNone | (size >= 0x7FFFFFFF ? kTextLarge : 0);
    // The room for the whole text is taken at once: growing the buffer chunk by chunk would copy it
    // again and again.
    const LRESULT made = editor::Send(ed, editor::kCreateLoader, static_cast<WPARAM>(size + size / 16 + 1), options);
    if (!made) {
        editor::Send(ed, editor::kSetStatus, 0);
        return nullptr;
    }
    std::unique_ptr<BackgroundTextLoad> load(new BackgroundTextLoad());
    load->loader = reinterpret_cast<Loader*>(made);
    BackgroundTextLoad* self = load.get();
    load->worker = std::thread([self, path, size, progress = std::move(progress), done = std::move(done), chunk] {
        TextReceiver to;
        to.append = [self](const char* data, size_t length) {
            while (readsPaused && !self->cancel) Sleep(10);
            return self->loader->AddData(data, static_cast<ptrdiff_t>(length)) == 0;
        };
        self->result = StreamUtf8Text(path, size, to, progress, &self->cancel, chunk);
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
