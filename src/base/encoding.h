#pragma once
// Text encodings of edited files and the UTF-8/UTF-16 conversions used throughout the program.
// The numeric values of both enumerations are stored in settings; never renumber them.
#include <cstdint>
#include <functional>
#include <string>

#include "base/utf8_scan.h"

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

LineEnding DecideLineEnding(uint64_t crlf, uint64_t lf, uint64_t cr);

struct DetectedEncoding {
    TextEncoding encoding = kEncUtf8;
    LineEnding lineEnding = kEolCrlf;
};
// By byte-order mark, then by UTF-8 validity: invalid UTF-8 without a mark is ANSI. Invalid UTF-8
// after a UTF-8 mark stays UTF-8 with mark, so that saving keeps the mark and the UTF-8 text.
DetectedEncoding DetectEncoding(const uint8_t* bytes, size_t length);
// The same over `length` bytes that `read(offset, buffer, count)` supplies a piece at a time (at
// most `piece` bytes each), so that a file of any size is looked at through one buffer. False, with
// `result` unchanged, when a piece cannot be read.
using PieceReader = std::function<bool(uint64_t offset, uint8_t* buffer, size_t count)>;
bool DetectEncodingInPieces(uint64_t length, const PieceReader& read, DetectedEncoding& result,
                            size_t piece = 16u << 20);

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

// Where encoded bytes go; false when they could not be taken (a failed write), which stops the work.
using ByteSink = std::function<bool(const char* data, size_t size)>;
// A pointer to `size` bytes of a text from `offset`, valid until the next call.
using TextRange = std::function<const char*(uint64_t offset, size_t size)>;

constexpr size_t kEncodeChunk = size_t(16) << 20;

// The body a save writes after ByteOrderMark(encoding), for `length` bytes of the editor's UTF-8
// text, made piece by piece so that no copy of the whole text is ever held: UTF-8 tabs pass the
// bytes on as they are, the others convert pieces of at most `chunk` bytes (cut at a character
// start; never more than kEncodeChunk) through UTF-16. `breaks` gets the text's line-break counts. False when the text
// does not convert, or the sink refuses bytes: the save must fail then, never write something else.
bool EncodeEditorText(uint64_t length, uint32_t encoding, const TextRange& text, const ByteSink& sink,
                      LineBreakCounts& breaks, size_t chunk = kEncodeChunk);
// The same for a text at hand, collecting the body in `body`.
bool EncodeEditorText(const std::string& utf8, uint32_t encoding, std::string& body, size_t chunk = kEncodeChunk);

// A file is binary when it is not empty, has no UTF-16 mark and holds a zero byte.
bool LooksBinary(const uint8_t* bytes, size_t length);

// How a whole file is shown so that saving it without an edit writes exactly the bytes read:
// as text under the detected encoding when that encodes back to the same bytes, else as ANSI text
// when that does (never for a UTF-16 mark), else as bytes in the hex view. An empty file keeps the
// tab's encoding unless that would add a byte-order mark.
struct TextPlan {
    bool asText = false;
    uint32_t encoding = kEncUtf8;
    uint32_t lineEnding = kEolCrlf;
    std::string utf8;  // the editor's text, zero bytes included
};
TextPlan PlanFileText(const uint8_t* bytes, size_t length, uint32_t currentEncoding, uint32_t currentLineEnding);
