#pragma once
// Well-formed UTF-8 and the line breaks of a text, counted in one walk over its bytes, whole or a
// piece at a time.
#include <cstddef>
#include <cstdint>

// The characters line breaks are made of (the same values as bytes and as UTF-16 units).
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;

// crlf: CR directly followed by LF (one per pair); lf: LF not preceded by CR; cr: CR not followed
// by LF, including a CR at the very end.
struct LineBreakCounts {
    uint64_t crlf = 0, lf = 0, cr = 0;
};

// valid: well-formed UTF-8 in the strict sense, the same that the system's strict decoder accepts:
// overlong forms, encoded surrogates and values above U+10FFFF are invalid. Line breaks are counted
// only where the walk sees single bytes, so a CR or LF swallowed by a broken multi-byte sequence is
// not counted.
struct Utf8Scan {
    bool valid = true;
    LineBreakCounts breaks;
};

// Whether `second` may follow the lead byte `lead` in well-formed UTF-8.
bool Utf8SecondByteOk(uint8_t lead, uint8_t second);

// 16 bytes at a time (SSE2) where the text is well-formed, else 8 ASCII bytes at a time where it can.
Utf8Scan ScanUtf8(const uint8_t* bytes, size_t length);
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
