// Which encoding a file's bytes are in, the conversions between them and the editor's UTF-8, and
// how a file is shown so that an unedited save writes the bytes read.
#include "base/encoding.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr unsigned kGbkCodePage = 936;
constexpr unsigned kGb2312CodePage = 20936;

bool HasMark(const uint8_t* bytes, size_t length, const std::string& mark) {
    return length >= mark.size() && std::memcmp(bytes, mark.data(), mark.size()) == 0;
}

uint16_t Utf16Unit(const uint8_t* p, bool bigEndian) {
    return bigEndian ? static_cast<uint16_t>(p[0] << 8 | p[1]) : static_cast<uint16_t>(p[1] << 8 | p[0]);
}

LineEnding Utf16LineEnding(const uint8_t* units, size_t unitCount, bool bigEndian) {
    LineBreakCounts n;
    for (size_t k = 0; k < unitCount; ++k) {
        const uint16_t unit = Utf16Unit(units + 2 * k, bigEndian);
        if (unit == kCr) {
            if (k + 1 < unitCount && Utf16Unit(units + 2 * (k + 1), bigEndian) == kLf) {
                ++n.crlf;
                ++k;
            } else {
                ++n.cr;
            }
        } else if (unit == kLf) {
            ++n.lf;
        }
    }
    return DecideLineEnding(n.crlf, n.lf, n.cr);
}

std::wstring Utf16Text(const uint8_t* units, size_t unitCount, bool bigEndian) {
    std::wstring text(unitCount, L'\0');
    for (size_t k = 0; k < unitCount; ++k) text[k] = static_cast<wchar_t>(Utf16Unit(units + 2 * k, bigEndian));
    return text;
}

// False for empty input, input beyond the API's int range, or a failed conversion.
bool BytesToWide(UINT codePage, DWORD flags, const uint8_t* bytes, size_t length, std::wstring& out) {
    out.clear();
    if (length == 0 || length > INT_MAX) return false;
    const auto* data = reinterpret_cast<const char*>(bytes);
    const int size = static_cast<int>(length);
    const int count = MultiByteToWideChar(codePage, flags, data, size, nullptr, 0);
    if (count <= 0) return false;
    out.resize(static_cast<size_t>(count));
    if (MultiByteToWideChar(codePage, flags, data, size, out.data(), count) != count) {
        out.clear();
        return false;
    }
    return true;
}

bool WideToBytes(UINT codePage, const std::wstring& text, std::string& out) {
    out.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int size = static_cast<int>(text.size());
    const int count = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return false;
    out.resize(static_cast<size_t>(count));
    if (WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), count, nullptr, nullptr) != count) {
        out.clear();
        return false;
    }
    return true;
}

}  // namespace

LineEnding DecideLineEnding(uint64_t crlf, uint64_t lf, uint64_t cr) {
    if (crlf >= 1 && lf >= 1) return kEolMixed;
    if (cr >= 1) return crlf >= 1 || lf >= 1 ? kEolMixed : kEolCr;
    return lf > crlf ? kEolLf : kEolCrlf;
}

DetectedEncoding DetectEncoding(const uint8_t* bytes, size_t length) {
    DetectedEncoding result;
    if (HasMark(bytes, length, ByteOrderMark(kEncUtf16Le))) {
        result.encoding = kEncUtf16Le;
        result.lineEnding = Utf16LineEnding(bytes + 2, (length - 2) / 2, false);
        return result;
    }
    if (HasMark(bytes, length, ByteOrderMark(kEncUtf16Be))) {
        result.encoding = kEncUtf16Be;
        result.lineEnding = Utf16LineEnding(bytes + 2, (length - 2) / 2, true);
        return result;
    }
    const bool mark = HasMark(bytes, length, ByteOrderMark(kEncUtf8Bom));
    const size_t skip = mark ? 3 : 0;
    const Utf8Scan scan = ScanUtf8(bytes + skip, length - skip);
    // Invalid bytes after a UTF-8 mark stay UTF-8: as ANSI, the next save would drop the mark and
    // push every non-ASCII character through the ANSI code page.
    if (mark) {
        result.encoding = kEncUtf8Bom;
    } else {
        result.encoding = scan.valid ? kEncUtf8 : kEncAnsi;
    }
    result.lineEnding = DecideLineEnding(scan.breaks.crlf, scan.breaks.lf, scan.breaks.cr);
    return result;
}

bool DetectEncodingInPieces(uint64_t length, const PieceReader& read, DetectedEncoding& result, size_t piece) {
    uint8_t head[3] = {};
    const size_t headLength = static_cast<size_t>(std::min<uint64_t>(length, 3));
    if (headLength > 0 && !read(0, head, headLength)) return false;
    const bool little = HasMark(head, headLength, ByteOrderMark(kEncUtf16Le));
    const bool big = HasMark(head, headLength, ByteOrderMark(kEncUtf16Be));
    piece = std::max<size_t>(piece & ~size_t{1}, 2);  // even: a UTF-16 unit never straddles two pieces
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(piece, length)));
    DetectedEncoding detected;
    if (little || big) {
        const uint64_t end = 2 + (length - 2) / 2 * 2;
        LineBreakCounts n;
        bool pendingCr = false;
        for (uint64_t at = 2; at < end;) {
            const size_t count = static_cast<size_t>(std::min<uint64_t>(piece, end - at));
            if (!read(at, buffer.data(), count)) return false;
            for (size_t k = 0; k < count; k += 2) {
                const uint16_t unit = Utf16Unit(buffer.data() + k, big);
                if (pendingCr) {
                    pendingCr = false;
                    if (unit == kLf) {
                        ++n.crlf;
                        continue;
                    }
                    ++n.cr;
                }
                if (unit == kCr)
                    pendingCr = true;
                else if (unit == kLf)
                    ++n.lf;
            }
            at += count;
        }
        if (pendingCr) ++n.cr;
        detected.encoding = little ? kEncUtf16Le : kEncUtf16Be;
        detected.lineEnding = DecideLineEnding(n.crlf, n.lf, n.cr);
    } else {
        const bool mark = HasMark(head, headLength, ByteOrderMark(kEncUtf8Bom));
        Utf8ScanState state;
        for (uint64_t at = mark ? 3 : 0; at < length;) {
            const size_t count = static_cast<size_t>(std::min<uint64_t>(piece, length - at));
            if (!read(at, buffer.data(), count)) return false;
            ScanUtf8Chunk(state, buffer.data(), count);
            at += count;
        }
        const Utf8Scan scan = FinishUtf8Scan(state);
        detected.encoding = mark ? kEncUtf8Bom : scan.valid ? kEncUtf8 : kEncAnsi;
        detected.lineEnding = DecideLineEnding(scan.breaks.crlf, scan.breaks.lf, scan.breaks.cr);
    }
    result = detected;
    return true;
}

std::wstring DecodeBytes(const uint8_t* bytes, size_t length, uint32_t* encodingOut, uint32_t* lineEndingOut) {
    if (length == 0) return std::wstring();
    if (encodingOut || lineEndingOut) {
        const DetectedEncoding detected = DetectEncoding(bytes, length);
        if (encodingOut) *encodingOut = detected.encoding;
        if (lineEndingOut) *lineEndingOut = detected.lineEnding;
    }
    if (HasMark(bytes, length, ByteOrderMark(kEncUtf16Le))) return Utf16Text(bytes + 2, (length - 2) / 2, false);
    if (HasMark(bytes, length, ByteOrderMark(kEncUtf16Be))) return Utf16Text(bytes + 2, (length - 2) / 2, true);
    std::wstring text;
    if (HasMark(bytes, length, ByteOrderMark(kEncUtf8Bom))) {
        BytesToWide(CP_UTF8, 0, bytes + 3, length - 3, text);
        return text;
    }
    if (BytesToWide(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, length, text)) return text;
    BytesToWide(CP_ACP, 0, bytes, length, text);
    return text;
}

bool EncodeText(const std::wstring& text, uint32_t encoding, std::string& out) {
    out.clear();
    switch (encoding) {
        case kEncUtf16Le:
        case kEncUtf16Be: {
            // Wide characters are the UTF-16 units themselves, stored low byte first.
            static_assert(sizeof(wchar_t) == 2, "wide text is UTF-16");
            out.resize(text.size() * 2);
            if (encoding == kEncUtf16Le) {
                if (!text.empty()) std::memcpy(out.data(), text.data(), out.size());
                return true;
            }
            char* at = out.data();
            for (const wchar_t unit : text) {
                *at++ = static_cast<char>(static_cast<uint16_t>(unit) >> 8);
                *at++ = static_cast<char>(unit & 0xFF);
            }
            return true;
        }
        case kEncAnsi: return WideToBytes(CP_ACP, text, out);
        case kEncGbk: return WideToBytes(kGbkCodePage, text, out);
        case kEncGb2312:
            // Every GB2312 character has the same bytes in GBK; systems without the GB2312 table
            // (some compatibility layers) write through GBK rather than fail the save.
            return WideToBytes(IsValidCodePage(kGb2312CodePage) ? kGb2312CodePage : kGbkCodePage, text, out);
        default: return WideToBytes(CP_UTF8, text, out);
    }
}

std::string ByteOrderMark(uint32_t encoding) {
    switch (encoding) {
        case kEncUtf8Bom: return "\xEF\xBB\xBF";
        case kEncUtf16Le: return "\xFF\xFE";
        case kEncUtf16Be: return "\xFE\xFF";
        default: return std::string();
    }
}

std::wstring EncodingName(uint32_t encoding) { return EncodingNameFor(encoding, GetACP()); }

std::wstring EncodingNameFor(uint32_t encoding, unsigned ansiCodePage) {
    switch (encoding) {
        case kEncUtf8Bom: return L"UTF-8 BOM";
        case kEncUtf16Le: return L"UTF-16 LE";
        case kEncAnsi:
            if (ansiCodePage == kGbkCodePage) return L"GBK (ANSI)";
            if (ansiCodePage == 1252) return L"ANSI";
            return L"ANSI (CP" + std::to_wstring(ansiCodePage) + L")";
        case kEncUtf16Be: return L"UTF-16 BE";
        case kEncGbk: return L"GBK";
        case kEncGb2312: return L"GB2312";
        default: return L"UTF-8";
    }
}

std::wstring Utf8ToWide(const std::string& text) { return Utf8ToWide(text.data(), text.size()); }

std::wstring Utf8ToWide(const char* data, size_t length) {
    std::wstring text;
    BytesToWide(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const uint8_t*>(data), length, text);
    return text;
}

std::string WideToUtf8(const std::wstring& text) {
    std::string bytes;
    WideToBytes(CP_UTF8, text, bytes);
    return bytes;
}

namespace {

bool IsContinuation(char c) { return (static_cast<uint8_t>(c) & 0xC0) == 0x80; }

// Where a piece of text starting at `data` should end: at most `chunk` bytes in, moved back to a
// character start, or on to the end of the first character when that leaves nothing. `data` holds
// the `size` bytes that are left of the text, or chunk + 3 of them when more are left. A run of more than three
// continuation bytes is cut anyway: that text is not UTF-8 and fails to convert on either side.
size_t PieceEnd(const char* data, size_t size, size_t chunk) {
    if (size <= chunk) return size;
    size_t end = chunk;
    for (int back = 0; back < 3 && end > 0 && IsContinuation(data[end]); ++back) --end;
    if (end > 0) return end;
    end = 1;
    while (end < size && end < 4 && IsContinuation(data[end])) ++end;
    return end;
}

}  // namespace

bool EncodeEditorText(uint64_t length, uint32_t encoding, const TextRange& text, const ByteSink& sink,
                      LineBreakCounts& breaks, size_t chunk) {
    const bool asIs = encoding == kEncUtf8 || encoding == kEncUtf8Bom;
    // Pieces stay well within the int range of the system's conversions.
    chunk = std::min(std::max<size_t>(chunk, 1), kEncodeChunk);
    Utf8ScanState scan;
    // Reused from piece to piece: fresh buffers of tens of megabytes cost a page fault per page.
    std::wstring wide;
    std::string encoded;
    for (uint64_t offset = 0; offset < length;) {
        const uint64_t left = length - offset;
        // Three bytes more than a piece, to see where the character at its end begins.
        const size_t want = static_cast<size_t>(std::min<uint64_t>(left, asIs ? chunk : chunk + 3));
        const char* data = text(offset, want);
        if (!data) return false;
        const size_t size = asIs ? want : PieceEnd(data, want, chunk);
        ScanUtf8Chunk(scan, reinterpret_cast<const uint8_t*>(data), size);
        if (asIs) {
            if (!sink(data, size)) return false;
        } else {
            // One pass: a UTF-8 byte never makes more than one UTF-16 unit.
            wide.resize(size);
            const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, data, static_cast<int>(size),
                                                  wide.data(), static_cast<int>(size));
            if (units <= 0) return false;
            wide.resize(static_cast<size_t>(units));
            if (!EncodeText(wide, encoding, encoded) || !sink(encoded.data(), encoded.size())) return false;
        }
        offset += size;
    }
    breaks = FinishUtf8Scan(scan).breaks;
    return true;
}

bool EncodeEditorText(const std::string& utf8, uint32_t encoding, std::string& body, size_t chunk) {
    body.clear();
    LineBreakCounts breaks;
    const bool ok = EncodeEditorText(
        utf8.size(), encoding, [&](uint64_t offset, size_t) { return utf8.data() + offset; },
        [&](const char* data, size_t size) {
            body.append(data, size);
            return true;
        },
        breaks, chunk);
    if (!ok) body.clear();
    return ok;
}

bool LooksBinary(const uint8_t* bytes, size_t length) {
    if (length == 0 || HasMark(bytes, length, ByteOrderMark(kEncUtf16Le)) ||
        HasMark(bytes, length, ByteOrderMark(kEncUtf16Be)))
        return false;
    return std::memchr(bytes, 0, length) != nullptr;
}

namespace {

// The editor's text for `bytes` under `encoding`, when a save of it writes those bytes again.
bool DecodeExactly(const uint8_t* bytes, size_t length, uint32_t encoding, std::string& utf8) {
    utf8.clear();
    const std::string mark = ByteOrderMark(encoding);
    if (!HasMark(bytes, length, mark)) return false;
    const uint8_t* body = bytes + mark.size();
    const size_t size = length - mark.size();
    std::wstring text;
    switch (encoding) {
        case kEncUtf8:
        case kEncUtf8Bom:
            if (!ScanUtf8(body, size).valid) return false;
            utf8.assign(reinterpret_cast<const char*>(body), size);
            break;
        case kEncUtf16Le:
        case kEncUtf16Be:
            if (size % 2 != 0) return false;
            utf8 = WideToUtf8(Utf16Text(body, size / 2, encoding == kEncUtf16Be));
            break;
        case kEncAnsi:
            if (size > 0 && !BytesToWide(CP_ACP, 0, body, size, text)) return false;
            utf8 = WideToUtf8(text);
            break;
        default: return false;
    }
    // Lone surrogates, bytes the code page maps to one character both ways and the like only show
    // when the text is encoded back.
    std::string saved;
    return EncodeEditorText(utf8, encoding, saved) && saved.size() == size &&
           (size == 0 || std::memcmp(saved.data(), body, size) == 0);
}

}  // namespace

TextPlan PlanFileText(const uint8_t* bytes, size_t length, uint32_t currentEncoding, uint32_t currentLineEnding) {
    TextPlan plan;
    plan.encoding = currentEncoding;
    plan.lineEnding = currentLineEnding;
    if (length == 0) {
        plan.asText = true;
        if (!ByteOrderMark(currentEncoding).empty()) plan.encoding = kEncUtf8;
        return plan;
    }
    if (LooksBinary(bytes, length)) return plan;
    const DetectedEncoding detected = DetectEncoding(bytes, length);
    plan.lineEnding = detected.lineEnding;
    std::vector<uint32_t> candidates = {detected.encoding};
    if (detected.encoding == kEncUtf8 || detected.encoding == kEncUtf8Bom) candidates.push_back(kEncAnsi);
    for (const uint32_t encoding : candidates) {
        if (DecodeExactly(bytes, length, encoding, plan.utf8)) {
            plan.encoding = encoding;
            plan.asText = true;
            return plan;
        }
    }
    plan.utf8.clear();
    return plan;
}
