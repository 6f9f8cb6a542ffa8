#pragma once

#include <cstdint>
#include <string>

// Text encodings of edited files and the UTF-8/UTF-16 conversions used throughout the program.
// The numeric values of both enumerations are stored in settings; never renumber them.

enum TextEncoding : uint32_t {
    kEncUtf8 = 0,
    kEncUtf8Bom = 1,
    kEncUtf16Le = 2,
    kEncAnsi = 3,  // the system's active code page
    kEncUtf16Be = 4,
    kEncGbk = 5,     // only ever chosen by the user, never detected
    kEncGb2312 = 6,  // likewise
};

enum LineEnding : uint32_t { kEolCrlf = 0, kEolLf = 1, kEolMixed = 2, kEolCr = 3 };

// crlf: CR directly followed by LF (one per pair); lf: LF not preceded by CR; cr: CR not followed
// by LF, including a CR at the very end.
struct LineBreakCounts {
    uint64_t crlf = 0, lf = 0, cr = 0;
};

// valid: well-formed by lead byte and continuation bytes only; overlong forms, surrogates and
// values above U+10FFFF pass. Line breaks are counted only where the walk sees single bytes, so a
// CR or LF swallowed by a broken multi-byte sequence is not counted.
struct Utf8Scan {
    bool valid = true;
    LineBreakCounts breaks;
};

Utf8Scan ScanUtf8(const uint8_t* bytes, size_t length);          // 8 ASCII bytes at a time where it can
Utf8Scan ScanUtf8Bytewise(const uint8_t* bytes, size_t length);  // the plain walk; same results

// Scanning in chunks, for files read piecewise: the result over any split equals ScanUtf8 over the
// whole. Start from a default state, feed the chunks in order, then finish once.
struct Utf8ScanState {
    Utf8Scan result;
    uint8_t pending[4] = {};  // start of a multi-byte sequence cut by the chunk end
    int pendingCount = 0;
    bool pendingCr = false;  // a CR cut off from a possible LF
};
void ScanUtf8Chunk(Utf8ScanState& state, const uint8_t* bytes, size_t length);
Utf8Scan FinishUtf8Scan(Utf8ScanState& state);  // a sequence still pending is truncated: invalid

LineEnding DecideLineEnding(uint64_t crlf, uint64_t lf, uint64_t cr);

struct DetectedEncoding {
    TextEncoding encoding = kEncUtf8;
    LineEnding lineEnding = kEolCrlf;
};
// By byte-order mark, then by UTF-8 validity: invalid UTF-8 without a mark is ANSI. Invalid UTF-8
// after a UTF-8 mark stays UTF-8 with mark, so that saving keeps the mark and the UTF-8 text.
DetectedEncoding DetectEncoding(const uint8_t* bytes, size_t length);

// Wide text of a file's bytes. The decoder goes by the mark and strict UTF-8 validity only: GBK
// and GB2312 files come through the ANSI code page. When an output pointer is given, detection runs
// first and fills every non-null output; empty input leaves them unchanged.
std::wstring DecodeBytes(const uint8_t* bytes, size_t length, uint32_t* encodingOut, uint32_t* lineEndingOut);

// Bytes to write after ByteOrderMark(encoding). Characters the code page lacks become its default
// character. False on a failed conversion (out is then empty). Unknown values encode as UTF-8.
bool EncodeText(const std::wstring& text, uint32_t encoding, std::string& out);
std::string ByteOrderMark(uint32_t encoding);

// Display name for the status bar; unknown values show as "UTF-8".
std::wstring EncodingName(uint32_t encoding);  // with the system ANSI code page
std::wstring EncodingNameFor(uint32_t encoding, unsigned ansiCodePage);

// Strict: empty or invalid UTF-8 gives "".
std::wstring Utf8ToWide(const std::string& text);
std::wstring Utf8ToWide(const char* data, size_t length);
std::string WideToUtf8(const std::wstring& text);
