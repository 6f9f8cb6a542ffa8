#include "io/encoding_feed.h"

namespace {

bool Starts(const uint8_t* head, size_t length, uint8_t a, uint8_t b) {
    return length >= 2 && head[0] == a && head[1] == b;
}

}  // namespace

void EncodingFeed::Decide() {
    if (Starts(head, headLength, 0xFF, 0xFE)) {
        kind = Kind::Utf16Le;
    } else if (Starts(head, headLength, 0xFE, 0xFF)) {
        kind = Kind::Utf16Be;
    } else {
        kind = Kind::Utf8;
        utf8Mark = headLength == 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF;
    }
    // What the head holds beyond the mark is text like the rest.
    const size_t skip = kind == Kind::Utf8 ? (utf8Mark ? 3 : 0) : 2;
    if (headLength > skip) AddDecided(head + skip, headLength - skip);
}

void EncodingFeed::AddDecided(const uint8_t* bytes, size_t length) {
    if (kind == Kind::Utf8) {
        ScanUtf8Chunk(scan, bytes, length);
        return;
    }
    const bool big = kind == Kind::Utf16Be;
    for (size_t i = 0; i < length; ++i) {
        if (!haveOddByte) {
            oddByte = bytes[i];
            haveOddByte = true;
            continue;
        }
        haveOddByte = false;
        const uint16_t unit = big ? static_cast<uint16_t>(oddByte << 8 | bytes[i])
                                  : static_cast<uint16_t>(bytes[i] << 8 | oddByte);
        if (pendingCr) {
            pendingCr = false;
            if (unit == 0x0A) {
                ++units.crlf;
                continue;
            }
            ++units.cr;
        }
        if (unit == 0x0D)
            pendingCr = true;
        else if (unit == 0x0A)
            ++units.lf;
    }
}

void EncodingFeed::Add(const uint8_t* bytes, size_t length) {
    while (kind == Kind::Undecided && length > 0) {
        head[headLength++] = *bytes++;
        --length;
        // Two bytes tell a UTF-16 mark; a UTF-8 mark needs three.
        if (headLength == 3 || (headLength == 2 && (Starts(head, 2, 0xFF, 0xFE) || Starts(head, 2, 0xFE, 0xFF))))
            Decide();
    }
    if (length > 0) AddDecided(bytes, length);
}

DetectedEncoding EncodingFeed::Finish() {
    if (kind == Kind::Undecided) Decide();
    DetectedEncoding result;
    if (kind == Kind::Utf8) {
        const Utf8Scan whole = FinishUtf8Scan(scan);
        result.encoding = utf8Mark ? kEncUtf8Bom : whole.valid ? kEncUtf8 : kEncAnsi;
        result.lineEnding = DecideLineEnding(whole.breaks.crlf, whole.breaks.lf, whole.breaks.cr);
        return result;
    }
    LineBreakCounts n = units;
    if (pendingCr) ++n.cr;
    result.encoding = kind == Kind::Utf16Le ? kEncUtf16Le : kEncUtf16Be;
    result.lineEnding = DecideLineEnding(n.crlf, n.lf, n.cr);
    return result;
}
