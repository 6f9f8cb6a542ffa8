// Large texts read piece by piece, on the calling thread into an editor and on a worker into the
// component's loader: both must give exactly what one look at the whole file gives.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/file_access.h"
#include "io/open.h"
#include "io/text_stream.h"
#include "support/component.h"

namespace {

std::wstring ScratchPath() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    return std::wstring(base) + L"tessary stream " + std::to_wstring(GetCurrentProcessId()) + L".txt";
}

// What the whole file says: text or not, the line ending and the bytes an editor must hold.
struct Expected {
    bool text = false;
    uint32_t lineEnding = kEolCrlf;
    std::string body;
};
Expected WholeFile(const std::string& bytes) {
    Expected e;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (bytes.size() >= 2 && ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) return e;
    const size_t mark = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    const Utf8Scan scan = ScanUtf8(data + mark, bytes.size() - mark);
    e.text = scan.valid;
    e.lineEnding = DecideLineEnding(scan.breaks.crlf, scan.breaks.lf, scan.breaks.cr);
    e.body = bytes.substr(mark);
    return e;
}

// Texts made of line breaks of every kind and characters of every length, so that any chunk size
// cuts some CR LF pair and some multi-byte character; now and then a mark, or a broken byte.
std::string RandomText(std::mt19937& random, size_t pieces, bool allowBroken) {
    static const char* const kPieces[] = {"a", "xyz", "\r", "\n", "\r\n", "\xC3\xA9", "\xE2\x82\xAC",
                                          "\xF0\x9F\x98\x80", " "};
    static const char* const kBroken[] = {"\xFF", "\x80", "\xC3", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
    std::string text;
    const unsigned start = random() % 12;
    if (start == 0) text = "\xEF\xBB\xBF";
    if (start == 1) text = "\xFF\xFE";
    for (size_t i = 0; i < pieces; ++i) {
        if (allowBroken && random() % 400 == 0)
            text += kBroken[random() % 6];
        else
            text += kPieces[random() % 9];
    }
    return text;
}

void WriteScratch(const std::wstring& path, const std::string& bytes) {
    ASSERT_TRUE(AtomicWriteBytes(path, bytes.data(), bytes.size(), false));
}

class TextStream : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadComponentForTests()); }
    void SetUp() override {
        for (HWND& ed : editors) {
            ed = CreateWindowExW(0, L"Scintilla", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
            ASSERT_NE(nullptr, ed);
        }
    }
    void TearDown() override {
        for (HWND ed : editors) DestroyWindow(ed);
        DeleteFileW(path.c_str());
    }

    // The background read with chunks of `chunk` bytes; the editor gets the document it made.
    StreamedText InBackground(uint64_t size, size_t chunk, bool& gotDocument) {
        HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        auto load = BackgroundTextLoad::Start(path, size, nullptr, [ended] { SetEvent(ended); }, chunk);
        EXPECT_NE(nullptr, load);
        if (!load) return {};
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ended, 60000));
        CloseHandle(ended);
        void* document = nullptr;
        const StreamedText read = load->Finish(&document);
        gotDocument = document != nullptr;
        if (document) {
            editor::Send(editors[1], editor::kSetDocPointer, 0, reinterpret_cast<LPARAM>(document));
            editor::Send(editors[1], editor::kReleaseDocument, 0, reinterpret_cast<LPARAM>(document));
        }
        return read;
    }

    std::wstring path = ScratchPath();
    HWND editors[2] = {};
};

TEST_F(TextStream, BothReadsGiveWhatTheWholeFileSays) {
    std::mt19937 random(28);
    for (int round = 0; round < 200; ++round) {
        const std::string bytes = RandomText(random, random() % 700, round % 2 == 1);
        WriteScratch(path, bytes);
        const Expected expected = WholeFile(bytes);
        SCOPED_TRACE("round " + std::to_string(round));

        uint32_t encoding = 99, lineEnding = 99;
        editor::Send(editors[0], editor::kClearAll);
        const bool ok = LoadLargeUtf8(editors[0], path, bytes.size(), encoding, lineEnding);
        ASSERT_EQ(expected.text, ok);

        const size_t chunk = 1 + random() % 17;
        bool gotDocument = false;
        const StreamedText read = InBackground(bytes.size(), chunk, gotDocument);
        ASSERT_EQ(expected.text, read.end == StreamEnd::Text) << "chunk " << chunk;
        ASSERT_EQ(expected.text, gotDocument);
        if (!expected.text) continue;
        EXPECT_EQ(expected.lineEnding, lineEnding);
        EXPECT_EQ(expected.lineEnding, read.lineEnding);
        // An empty file shows no encoding to either read.
        EXPECT_EQ(!bytes.empty(), read.encodingSeen);
        EXPECT_EQ(read.encodingSeen ? read.encoding : 99u, encoding);
        EXPECT_EQ(bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? kEncUtf8Bom : kEncUtf8, read.encoding);
        EXPECT_EQ(expected.body, editor::GetText(editors[0]));
        EXPECT_EQ(expected.body, editor::GetText(editors[1]));
    }
}

// A bad byte anywhere in the last chunk, at its very end included, fails the whole read and
// leaves no document; the same file without it is text.
TEST_F(TextStream, ABadByteInTheLastChunkFailsTheRead) {
    std::mt19937 random(7);
    const size_t chunk = 13;
    std::string good = RandomText(random, 5 * chunk, false);
    if (good.compare(0, 2, "\xFF\xFE") == 0) good.erase(0, 2);
    ASSERT_TRUE(WholeFile(good).text);
    const size_t lastStart = (good.size() - 1) / chunk * chunk;
    for (size_t at = lastStart; at < good.size(); ++at) {
        for (const char bad : {'\xFF', '\x80'}) {
            std::string bytes = good;
            bytes[at] = bad;
            if (WholeFile(bytes).text) continue;  // a continuation byte where one belongs
            WriteScratch(path, bytes);
            bool gotDocument = true;
            const StreamedText read = InBackground(bytes.size(), chunk, gotDocument);
            EXPECT_EQ(StreamEnd::NotText, read.end) << "bad byte at " << at;
            EXPECT_FALSE(gotDocument);
            uint32_t encoding = 0, lineEnding = 0;
            EXPECT_FALSE(LoadLargeUtf8(editors[0], path, bytes.size(), encoding, lineEnding));
        }
    }
    WriteScratch(path, good);
    bool gotDocument = false;
    EXPECT_EQ(StreamEnd::Text, InBackground(good.size(), chunk, gotDocument).end);
    EXPECT_TRUE(gotDocument);
    EXPECT_EQ(good, editor::GetText(editors[1]));
}

TEST_F(TextStream, AnEmptyFileIsAnEmptyText) {
    WriteScratch(path, "");
    bool gotDocument = false;
    const StreamedText read = InBackground(0, 16, gotDocument);
    EXPECT_EQ(StreamEnd::Text, read.end);
    EXPECT_TRUE(gotDocument);
    EXPECT_EQ(0, editor::Length(editors[1]));
}

// A file that is shorter than the size it was opened with has changed under the read: no text.
TEST_F(TextStream, AFileThatShrankIsNotRead) {
    WriteScratch(path, "short text\r\n");
    bool gotDocument = true;
    EXPECT_EQ(StreamEnd::Unreadable, InBackground(40, 5, gotDocument).end);
    EXPECT_FALSE(gotDocument);
}

// A read given up half way stops at its next chunk and keeps nothing.
TEST_F(TextStream, ACancelledReadStopsAndKeepsNothing) {
    std::string bytes(64 * 1024, 'x');
    WriteScratch(path, bytes);
    HANDLE first = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE hold = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int chunksSeen = 0;
    auto load = BackgroundTextLoad::Start(
        path, bytes.size(),
        [&](uint64_t, uint64_t) {
            if (++chunksSeen == 1) {
                SetEvent(first);
                WaitForSingleObject(hold, 60000);
            }
        },
        nullptr, 1024);
    ASSERT_NE(nullptr, load);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(first, 60000));
    load->Cancel();
    SetEvent(hold);
    load.reset();  // waits for the worker
    EXPECT_EQ(1, chunksSeen);
    CloseHandle(first);
    CloseHandle(hold);
}

}  // namespace
