#include "io/encoding.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TESSARY_SSE2 1
#endif

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;
constexpr uint8_t kCr = 0x0D;
constexpr uint8_t kLf = 0x0A;
constexpr unsigned kGbkCodePage = 936;
constexpr unsigned kGb2312CodePage = 20936;

// Bytes a lead byte claims, itself included; 0 for a byte that cannot start a sequence.
size_t SequenceLength(uint8_t lead) {
    if (lead < 0x80) return 1;
    if ((lead & 0xE0) == 0xC0) return 2;
    if ((lead & 0xF0) == 0xE0) return 3;
    if ((lead & 0xF8) == 0xF0) return 4;
    return 0;
}

bool AllContinuations(const uint8_t* bytes, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        if ((bytes[k] & 0xC0) != 0x80) return false;
    }
    return true;
}

// A whole sequence of `size` bytes (the size its lead claims) is well-formed.
bool SequenceWellFormed(const uint8_t* sequence, size_t size) {
    return AllContinuations(sequence + 1, size - 1) && Utf8SecondByteOk(sequence[0], sequence[1]);
}

// Sum of the eight byte lanes.
uint64_t LaneSum(uint64_t lanes) {
    const uint64_t pairs = (lanes & 0x00FF00FF00FF00FFull) + (lanes >> 8 & 0x00FF00FF00FF00FFull);
    return pairs * 0x0001000100010001ull >> 48;
}

// Per-lane tallies over at most 255 ASCII words.
struct LaneCounts {
    uint64_t nonCr = 0, nonLf = 0, nonPairs = 0;
};

// For a byte below 0x80, adding 0x7F sets its high bit exactly when it is not zero, and never
// carries into the next byte; so after XOR with the wanted byte the high bits, moved down to bit
// 0 of each byte, mark the others. Byte k of a word sits in bits 8k..8k+7 (Windows is
// little-endian), so `nonCr << 8` lines each byte up with the one before it; `nonCrBefore` brings
// in the last byte of the previous word.
inline void CountWord(uint64_t word, uint64_t& nonCrBefore, LaneCounts& lanes) {
    const uint64_t nonCr = ((word ^ (kCr * kOnes)) + ~kHighBits) >> 7 & kOnes;
    const uint64_t nonLf = ((word ^ (kLf * kOnes)) + ~kHighBits) >> 7 & kOnes;
    lanes.nonCr += nonCr;
    lanes.nonLf += nonLf;
    lanes.nonPairs += nonLf | nonCr << 8 | nonCrBefore;  // an LF after a CR leaves a zero
    nonCrBefore = nonCr >> 56;
}

// Counts line breaks over whole 8-byte words from bytes[i] while they are all ASCII and end at or
// before `blockEnd`; returns where it stopped. In ASCII the walk sees every CR and LF, so lone
// ones are the totals less the CRLF pairs, and counting needs no branch per line.
size_t AsciiRun(const uint8_t* bytes, size_t i, size_t blockEnd, size_t length, LineBreakCounts& n) {
    const size_t start = i;
    uint64_t nonCrs = 0, nonLfs = 0, nonPairs = 0;
    uint64_t nonCrBefore = 1;  // the walk has dealt with the byte before
    bool more = true;
    while (more) {
        // Four words a step; 63 steps put at most 252 in a lane, which holds 255.
        LaneCounts lanes;
        const size_t steps = std::min<size_t>(63, (blockEnd - i) / 32);
        const uint8_t* p = bytes + i;
        const uint8_t* const end = p + steps * 32;
        for (; p != end; p += 32) {
            uint64_t w0, w1, w2, w3;
            std::memcpy(&w0, p, 8);
            std::memcpy(&w1, p + 8, 8);
            std::memcpy(&w2, p + 16, 8);
            std::memcpy(&w3, p + 24, 8);
            if (((w0 | w1 | w2 | w3) & kHighBits) != 0) break;
            CountWord(w0, nonCrBefore, lanes);
            CountWord(w1, nonCrBefore, lanes);
            CountWord(w2, nonCrBefore, lanes);
            CountWord(w3, nonCrBefore, lanes);
        }
        more = p == end && steps == 63;
        i = static_cast<size_t>(p - bytes);
        if (!more) {
            // Non-ASCII ahead or fewer than 32 bytes left: the plain words before it.
            for (uint64_t word; i + 8 <= blockEnd; i += 8) {
                std::memcpy(&word, bytes + i, sizeof word);
                if ((word & kHighBits) != 0) break;
                CountWord(word, nonCrBefore, lanes);
            }
        }
        nonCrs += LaneSum(lanes.nonCr);
        nonLfs += LaneSum(lanes.nonLf);
        nonPairs += LaneSum(lanes.nonPairs);
    }
    const uint64_t seen = i - start;
    uint64_t crs = seen - nonCrs, lfs = seen - nonLfs, pairs = seen - nonPairs;
    // A CR ending the run takes an LF just after it.
    if (nonCrBefore == 0 && i < length && bytes[i] == kLf) {
        ++pairs;
        ++lfs;
        ++i;
    }
    n.crlf += pairs;
    n.cr += crs - pairs;
    n.lf += lfs - pairs;
    return i;
}

#ifdef TESSARY_SSE2

inline __m128i Bytes(uint8_t value) { return _mm_set1_epi8(static_cast<char>(value)); }

inline __m128i Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Lanes of 16 bytes that break the rules that involve lead bytes with few uses: C0 and C1
// (overlong), F5 and up (beyond U+10FFFF), and the second bytes after E0, ED, F0 and F4 that make
// overlong forms, surrogates or values beyond U+10FFFF. Unsigned comparisons are signed ones on
// the bytes with the top bit flipped.
__m128i RareLeadFlaws(__m128i bytes, __m128i back1) {
    const __m128i flipped = _mm_xor_si128(bytes, Bytes(0x80));
    const __m128i above9F = _mm_cmpgt_epi8(flipped, Bytes(0x9F ^ 0x80)),
                  above8F = _mm_cmpgt_epi8(flipped, Bytes(0x8F ^ 0x80));
    __m128i bad = _mm_cmpeq_epi8(_mm_and_si128(back1, Bytes(0xFE)), Bytes(0xC0));
    bad = _mm_or_si128(bad, _mm_cmpgt_epi8(_mm_xor_si128(back1, Bytes(0x80)), Bytes(0xF4 ^ 0x80)));
    bad = _mm_or_si128(bad, _mm_andnot_si128(above9F, _mm_cmpeq_epi8(back1, Bytes(0xE0))));
    bad = _mm_or_si128(bad, _mm_and_si128(above9F, _mm_cmpeq_epi8(back1, Bytes(0xED))));
    bad = _mm_or_si128(bad, _mm_andnot_si128(above8F, _mm_cmpeq_epi8(back1, Bytes(0xF0))));
    return _mm_or_si128(bad, _mm_and_si128(above8F, _mm_cmpeq_epi8(back1, Bytes(0xF4))));
}

// Lanes of 16 bytes that cannot be where they are in well-formed UTF-8, given the 16 bytes that
// start one, two and three places earlier. A lead byte is judged by the lanes after it, so one in
// the last lane is not judged yet.
inline __m128i IllFormed(__m128i bytes, __m128i back1, __m128i back2, __m128i back3) {
    // A continuation byte (80 to BF, below -64 as a signed byte) exactly where a lead one, two or
    // three places back expects one (a lead of two or more, three or more, four bytes).
    const __m128i continuation = _mm_cmplt_epi8(bytes, Bytes(0xC0));
    const __m128i expected =
        _mm_or_si128(_mm_subs_epu8(back1, Bytes(0xBF)),
                     _mm_or_si128(_mm_subs_epu8(back2, Bytes(0xDF)), _mm_subs_epu8(back3, Bytes(0xEF))));
    const __m128i bad = _mm_cmpeq_epi8(_mm_cmpeq_epi8(expected, _mm_setzero_si128()), continuation);
    const __m128i rare =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_and_si128(back1, Bytes(0xFE)), Bytes(0xC0)),
                                  _mm_cmpeq_epi8(back1, Bytes(0xE0))),
                     _mm_or_si128(_mm_cmpeq_epi8(back1, Bytes(0xED)),
                                  _mm_cmpgt_epi8(_mm_xor_si128(back1, Bytes(0x80)), Bytes(0xEF ^ 0x80))));
    return _mm_movemask_epi8(rare) == 0 ? bad : _mm_or_si128(bad, RareLeadFlaws(bytes, back1));
}

inline uint64_t SumLanes(__m128i counts) {
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return static_cast<uint64_t>(_mm_cvtsi128_si64(sums)) + static_cast<uint64_t>(_mm_extract_epi16(sums, 4));
}

// Scans 16 bytes at a time from bytes[i], a place at least 3 bytes in where the walk starts a
// character, while the blocks are well-formed and end at or before `blockEnd`, counting their
// line breaks as the walk would. Returns where the walk is to go on: at the last character of the
// run unless that is ASCII, or at a CR that ends the run. `flaw` becomes the start of a block with
// bytes that are not well-formed, if one stopped the run; the walk takes over there.
size_t WideRun(const uint8_t* bytes, size_t i, size_t blockEnd, LineBreakCounts& n, size_t& flaw) {
    const size_t start = i;
    // Only in text that is not UTF-8 can the walk have swallowed a CR just before an LF here; that
    // LF is the walk's to count.
    if (bytes[i] == kLf && bytes[i - 1] == kCr) {
        flaw = i;
        return i;
    }
    const __m128i cr = Bytes(kCr), lf = Bytes(kLf);
    __m128i before = Load(bytes + i - 3);
    uint64_t crs = 0, lfs = 0, pairs = 0;
    while (i + 16 <= blockEnd) {
        // Per-lane tallies for at most 255 blocks, then summed.
        __m128i crCount = _mm_setzero_si128(), lfCount = _mm_setzero_si128(), pairCount = _mm_setzero_si128();
        auto tally = [&](__m128i block, __m128i back1) {
            const __m128i isLf = _mm_cmpeq_epi8(block, lf);
            crCount = _mm_sub_epi8(crCount, _mm_cmpeq_epi8(block, cr));
            lfCount = _mm_sub_epi8(lfCount, isLf);
            pairCount = _mm_sub_epi8(pairCount, _mm_and_si128(isLf, _mm_cmpeq_epi8(back1, cr)));
        };
        const size_t stop = std::min(blockEnd, i + 255 * 16);
        while (i + 16 <= stop) {
            const __m128i block = Load(bytes + i);
            if (_mm_movemask_epi8(_mm_or_si128(block, before)) == 0) {
                // Plain ASCII after plain ASCII needs no further look; two blocks of it where it goes on.
                const __m128i next = i + 32 <= stop ? Load(bytes + i + 16) : Bytes(0x80);
                tally(block, Load(bytes + i - 1));
                if (_mm_movemask_epi8(next) == 0) {
                    tally(next, Load(bytes + i + 15));
                    before = next;
                    i += 32;
                } else {
                    before = block;
                    i += 16;
                }
                continue;
            }
            const __m128i back1 = Load(bytes + i - 1);
            if (_mm_movemask_epi8(IllFormed(block, back1, Load(bytes + i - 2), Load(bytes + i - 3))) != 0) {
                flaw = i;
                break;
            }
            tally(block, back1);
            before = block;
            i += 16;
        }
        crs += SumLanes(crCount);
        lfs += SumLanes(lfCount);
        pairs += SumLanes(pairCount);
        if (flaw != SIZE_MAX) break;
    }
    // The last character is left to the walk unless it is ASCII: the run may have cut it, and its
    // lead has not been judged. So is a CR that ends the run (the walk pairs it with what follows).
    if (i > start) {
        size_t last = i - 1;
        while (last > i - 4 && (bytes[last] & 0xC0) == 0x80) --last;
        if (bytes[last] >= 0xC0) i = last;
        if (bytes[i - 1] == kCr) {
            --i;
            --crs;
        }
    }
    n.crlf += pairs;
    n.cr += crs - pairs;
    n.lf += lfs - pairs;
    return i;
}

#endif

// The walk behind ScanUtf8 and the chunked scanner. Unless `final`, it stops before a CR in the
// last byte or a sequence running past the end and returns that offset, so that the caller can
// join those bytes with the next chunk; otherwise it returns `length`.
size_t Walk(const uint8_t* bytes, size_t length, bool final, Utf8Scan& scan) {
    LineBreakCounts& n = scan.breaks;
    // A run of words must leave one byte to look at for its last CR unless the data ends there.
    const size_t blockEnd = final ? length : (length > 0 ? length - 1 : 0);
    size_t i = 0;
#ifdef TESSARY_SSE2
    size_t wideFrom = 0;  // after bytes that are not well-formed, the next wide run starts past them
#endif
    while (i < length) {
#ifdef TESSARY_SSE2
        if (i >= 3 && i >= wideFrom && i + 16 <= blockEnd) {
            size_t flaw = SIZE_MAX;
            const size_t next = WideRun(bytes, i, blockEnd, n, flaw);
            if (flaw != SIZE_MAX) wideFrom = flaw + 16;
            if (next != i) {
                i = next;
                continue;
            }
        }
#endif
        const uint8_t b = bytes[i];
        if (b < 0x80) {
#ifdef TESSARY_SSE2
            // Wide runs take over three bytes in; until then, and after a flaw, words of 8 bytes.
            const bool words = i + 8 <= blockEnd && (i < wideFrom || i + 16 > blockEnd);
#else
            const bool words = i + 8 <= blockEnd;
#endif
            if (words) {
                uint64_t word;
                std::memcpy(&word, bytes + i, sizeof word);
                if ((word & kHighBits) == 0) {
                    i = AsciiRun(bytes, i, blockEnd, length, n);
                    continue;
                }
            }
            if (b == kCr) {
                if (i + 1 < length) {
                    if (bytes[i + 1] == kLf) {
                        ++n.crlf;
                        i += 2;
                        continue;
                    }
                    ++n.cr;
                } else if (final) {
                    ++n.cr;
                } else {
                    return i;
                }
            } else if (b == kLf) {
                ++n.lf;
            }
            ++i;
            continue;
        }
        const size_t size = SequenceLength(b);
        if (size == 0) {
            scan.valid = false;
            ++i;
            continue;
        }
        if (length - i < size) {
            if (!final) return i;
            scan.valid = false;
            return length;
        }
        if (length - i >= 4) {
            // One look at the lead and the next three bytes; byte k is bits 8k..8k+7.
            static const uint32_t kMasks[5] = {0, 0, 0xC000, 0xC0C000, 0xC0C0C000};
            uint32_t head;
            std::memcpy(&head, bytes + i, sizeof head);
            if ((head & kMasks[size]) != (kMasks[size] & 0x80808080u) || !Utf8SecondByteOk(b, bytes[i + 1]))
                scan.valid = false;
        } else if (!SequenceWellFormed(bytes + i, size)) {
            scan.valid = false;
        }
        i += size;
    }
    return length;
}

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

bool Utf8SecondByteOk(uint8_t lead, uint8_t second) {
    if ((second & 0xC0) != 0x80) return false;
    switch (lead) {
        case 0xE0: return second >= 0xA0;              // shorter forms are overlong
        case 0xED: return second <= 0x9F;              // above that, the encoded surrogates
        case 0xF0: return second >= 0x90;              // overlong
        case 0xF4: return second <= 0x8F;              // beyond U+10FFFF
        default: return lead >= 0xC2 && lead <= 0xF4;  // C0 and C1 are overlong, F5 and up too large
    }
}

Utf8Scan ScanUtf8(const uint8_t* bytes, size_t length) {
    Utf8Scan scan;
    Walk(bytes, length, true, scan);
    return scan;
}

Utf8Scan ScanUtf8Bytewise(const uint8_t* bytes, size_t length) {
    Utf8Scan scan;
    LineBreakCounts& n = scan.breaks;
    size_t i = 0;
    while (i < length) {
        const uint8_t b = bytes[i];
        if (b < 0x80) {
            if (b == kCr) {
                if (i + 1 < length && bytes[i + 1] == kLf) {
                    ++n.crlf;
                    ++i;
                } else {
                    ++n.cr;
                }
            } else if (b == kLf) {
                ++n.lf;
            }
            ++i;
            continue;
        }
        const size_t size = SequenceLength(b);
        if (size == 0) {
            scan.valid = false;
            ++i;
            continue;
        }
        if (length - i < size || !SequenceWellFormed(bytes + i, size)) scan.valid = false;
        i += size;
    }
    return scan;
}

void ScanUtf8Chunk(Utf8ScanState& state, const uint8_t* bytes, size_t length) {
    Utf8Scan& scan = state.result;
    size_t start = 0;
    if (state.pendingCr && length > 0) {
        state.pendingCr = false;
        if (bytes[0] == kLf) {
            ++scan.breaks.crlf;
            start = 1;
        } else {
            ++scan.breaks.cr;
        }
    }
    if (state.pendingCount > 0) {
        const int size = static_cast<int>(SequenceLength(state.pending[0]));
        while (state.pendingCount < size && start < length) state.pending[state.pendingCount++] = bytes[start++];
        if (state.pendingCount < size) return;
        if (!SequenceWellFormed(state.pending, static_cast<size_t>(size))) scan.valid = false;
        state.pendingCount = 0;
    }
    const size_t stop = start + Walk(bytes + start, length - start, false, scan);
    if (stop == length) return;
    if (bytes[stop] == kCr) {
        state.pendingCr = true;
        return;
    }
    // Shorter than the sequence its lead claims, so at most 3 bytes.
    state.pendingCount = static_cast<int>(length - stop);
    std::memcpy(state.pending, bytes + stop, length - stop);
}

Utf8Scan FinishUtf8Scan(Utf8ScanState& state) {
    if (state.pendingCr) ++state.result.breaks.cr;
    if (state.pendingCount > 0) state.result.valid = false;
    state.pendingCr = false;
    state.pendingCount = 0;
    return state.result;
}

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
