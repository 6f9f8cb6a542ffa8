// Well-formed UTF-8 and line breaks, counted in one walk over the bytes.
#include "base/utf8_scan.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TESSARY_SSE2 1
#endif

namespace {

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighBits = 0x8080808080808080ull;

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
