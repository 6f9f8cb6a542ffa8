#include "base/encoding.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include <gtest/gtest.h>

namespace {

const std::string kUtf8Mark = "\xEF\xBB\xBF";

const uint8_t* Data(const std::string& bytes) { return reinterpret_cast<const uint8_t*>(bytes.data()); }

// One line per scan, so a mismatch shows every field at once.
std::string Show(const Utf8Scan& s) {
    return "valid=" + std::to_string(s.valid) + " crlf=" + std::to_string(s.breaks.crlf) +
           " lf=" + std::to_string(s.breaks.lf) + " cr=" + std::to_string(s.breaks.cr);
}

std::string Show(bool valid, uint64_t crlf, uint64_t lf, uint64_t cr) {
    Utf8Scan s;
    s.valid = valid;
    s.breaks = {crlf, lf, cr};
    return Show(s);
}

std::string Show(uint32_t encoding, uint32_t lineEnding) {
    return "enc=" + std::to_string(encoding) + " eol=" + std::to_string(lineEnding);
}

std::string Show(const DetectedEncoding& d) { return Show(d.encoding, d.lineEnding); }

std::string Detect(const std::string& bytes) { return Show(DetectEncoding(Data(bytes), bytes.size())); }

// Mostly ASCII runs, so blocks of 8 occur, mixed with line breaks and (unless asciiOnly) with
// well-formed, broken and stray multi-byte pieces; cut to `length`, which may leave a truncated
// sequence at the end.
std::string RandomText(std::mt19937& rng, size_t length, bool asciiOnly = false) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto byte = [&](int lo, int hi) { return static_cast<char>(pick(lo, hi)); };
    std::string s;
    while (s.size() < length) {
        const int kind = pick(0, 15);
        switch (asciiOnly && kind >= 3 && kind <= 10 ? 15 : kind) {
            case 0: s += '\r'; break;
            case 1: s += '\n'; break;
            case 2: s += "\r\n"; break;
            case 3: s += {byte(0xC2, 0xDF), byte(0x80, 0xBF)}; break;
            case 4: s += {byte(0xE0, 0xEF), byte(0x80, 0xBF), byte(0x80, 0xBF)}; break;
            case 5: s += {byte(0xF0, 0xF4), byte(0x80, 0xBF), byte(0x80, 0xBF), byte(0x80, 0xBF)}; break;
            case 6: s += {byte(0xC0, 0xF7), pick(0, 1) ? '\r' : '\n', '\n'}; break;  // breaks swallowed by a lead
            case 7: s += {byte(0xE0, 0xF7), byte(0x80, 0xBF)}; break;                // cut short
            case 8: s += byte(0x80, 0xBF); break;                                    // stray continuation
            case 9: s += byte(0xF8, 0xFF); break;
            case 10: s += byte(0, 255); break;
            default:
                for (int n = pick(1, 24); n > 0; --n) s += byte(0x20, 0x7E);
        }
    }
    s.resize(length);
    return s;
}

Utf8Scan ScanInChunks(const std::string& bytes, std::vector<size_t> cuts) {
    std::sort(cuts.begin(), cuts.end());
    Utf8ScanState state;
    size_t from = 0;
    for (size_t cut : cuts) {
        ScanUtf8Chunk(state, Data(bytes) + from, cut - from);
        from = cut;
    }
    ScanUtf8Chunk(state, Data(bytes) + from, bytes.size() - from);
    return FinishUtf8Scan(state);
}

}  // namespace

TEST(Utf8Scan, WalkRules) {
    struct Case {
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"", Show(true, 0, 0, 0)},
        {"a\r\nb\nc\rd", Show(true, 1, 1, 1)},
        {"\r\r\n\n", Show(true, 1, 1, 1)},
        {"end\r", Show(true, 0, 0, 1)},  // a final CR is a lone CR
        {"\n\r", Show(true, 0, 1, 1)},
        {"caf\xC3\xA9 \xE4\xB8\xAD \xF0\x9F\x98\x80\r\n", Show(true, 1, 0, 0)},
        // The edges of well-formed: U+0080, U+0800, U+D7FF, U+E000, U+10000, U+10FFFF.
        {"\xC2\x80\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", Show(true, 0, 0, 0)},
        {"\xC0\x80", Show(false, 0, 0, 0)},          // overlong
        {"\xC1\xBF", Show(false, 0, 0, 0)},          // overlong
        {"\xE0\x9F\xBF", Show(false, 0, 0, 0)},      // overlong
        {"\xF0\x8F\xBF\xBF", Show(false, 0, 0, 0)},  // overlong
        {"\xED\xA0\x80", Show(false, 0, 0, 0)},      // a surrogate
        {"\xF4\x90\x80\x80", Show(false, 0, 0, 0)},  // beyond U+10FFFF
        {"\xF5\x80\x80\x80 12345678", Show(false, 0, 0, 0)},
        {"x\xC3", Show(false, 0, 0, 0)},
        {"\xE4\xB8", Show(false, 0, 0, 0)},
        {"\x80", Show(false, 0, 0, 0)},
        {"\xF8\n", Show(false, 0, 1, 0)},      // a bad byte steps over itself only
        {"\xE3\n\n\n", Show(false, 0, 1, 0)},  // the lead steps over two LFs
        {"\xC3\r\n", Show(false, 0, 1, 0)},    // the CR is swallowed, its LF stands alone
        {"\xF0\x9F\x98\r\n", Show(false, 0, 1, 0)},
        {"abcdefg\r\nhijklmn\r", Show(true, 1, 0, 1)},  // CRLF across an 8-byte block
        {"abcdefgh\r\r\r\r\r\r\r\r\n\n", Show(true, 1, 1, 7)},
        {"\n\n\n\n\n\n\n\n\r\n\r\n\r\n\r\n", Show(true, 4, 8, 0)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Show(ScanUtf8Bytewise(Data(c.bytes), c.bytes.size())), c.expected) << c.bytes;
        EXPECT_EQ(Show(ScanUtf8(Data(c.bytes), c.bytes.size())), c.expected) << c.bytes;
    }
}

TEST(Utf8Scan, FastPathMatchesBytewiseWalk) {
    std::mt19937 rng(20240611);
    std::string buffer;
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(rng, static_cast<size_t>(round % 101));
        const size_t offset = static_cast<size_t>(round / 101 % 8);  // every alignment
        buffer.assign(offset, 'x');
        buffer += text;
        const uint8_t* start = Data(buffer) + offset;
        ASSERT_EQ(Show(ScanUtf8(start, text.size())), Show(ScanUtf8Bytewise(start, text.size()))) << round;
    }
    // Long ASCII stretches, where counts pile up over many words between sums.
    const std::string crs(20000, '\r'), lfs(20000, '\n');
    std::string crlfs;
    for (int n = 0; n < 10000; ++n) crlfs += "\r\n";
    const std::string large[] = {RandomText(rng, size_t(1) << 20),
                                 RandomText(rng, (size_t(3) << 20) + 5),
                                 RandomText(rng, 300000, true),
                                 crs,
                                 lfs,
                                 crlfs,
                                 lfs + crlfs + "\r\r\n\xE4\xB8\xAD" + crs};
    for (const std::string& text : large) {
        EXPECT_EQ(Show(ScanUtf8(Data(text), text.size())), Show(ScanUtf8Bytewise(Data(text), text.size())));
    }
    // Well-formed text, wide enough for blocks of 16 bytes, with one flaw in every place: each rule
    // of well-formed, and CR and LF where a broken sequence swallows them.
    const char* const kFlaws[] = {
        "\x80", "\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5",
        "\xFF", "\xE4\xB8", "\xC3\r\n", "\xE3\n\n\n",   "\r",           "\xF0\x9F\x98"};
    for (int round = 0; round < 6; ++round) {
        std::wstring wide;
        const wchar_t* const pieces[] = {L"ab",     L"\r\n",         L"\n",         L"\r",
                                         L"\u00e9", L"\u4e2d\u6587", L"\U0001F600", L"\uD55C"};
        while (wide.size() < 60) wide += pieces[std::uniform_int_distribution<size_t>(0, 7)(rng)];
        const std::string text = WideToUtf8(wide);
        for (const char* flaw : kFlaws) {
            for (size_t at = 0; at <= text.size(); ++at) {
                const std::string bytes = text.substr(0, at) + flaw + text.substr(at);
                ASSERT_EQ(Show(ScanUtf8(Data(bytes), bytes.size())), Show(ScanUtf8Bytewise(Data(bytes), bytes.size())))
                    << round << " " << at << " " << flaw;
            }
        }
    }
}

TEST(Utf8Scan, ChunksMatchWholeScan) {
    // Every two-way and three-way split of inputs with pairs and sequences on the boundaries.
    // Overlong forms, a surrogate and a value beyond U+10FFFF stay invalid wherever the cut falls.
    for (const std::string text : {"abcdefg\r\nabc\r", "\xF0\x9F\x98\x80\r\n\xE4\xB8\xAD\n", "\xE3\r\n\n\r\xC3",
                                   "\r\n\r\n\xC3\xA9\r", "x\xF0\x9F\x98", "a\xC0\x80", "a\xE0\x9F\xBF", "a\xED\xA0\x80",
                                   "a\xF4\x90\x80\x80", "\xF4\x8F\xBF\xBF\xED\x9F\xBF"}) {
        const std::string whole = Show(ScanUtf8(Data(text), text.size()));
        for (size_t a = 0; a <= text.size(); ++a) {
            for (size_t b = a; b <= text.size(); ++b) ASSERT_EQ(Show(ScanInChunks(text, {a, b})), whole) << a << b;
        }
    }
    std::mt19937 rng(7);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = RandomText(rng, static_cast<size_t>(round % 101));
        std::vector<size_t> cuts(std::uniform_int_distribution<size_t>(0, 6)(rng));
        for (size_t& cut : cuts) cut = std::uniform_int_distribution<size_t>(0, text.size())(rng);
        ASSERT_EQ(Show(ScanInChunks(text, cuts)), Show(ScanUtf8(Data(text), text.size()))) << round;
    }
    for (bool asciiOnly : {false, true}) {
        const std::string large = RandomText(rng, size_t(1) << 20, asciiOnly);
        std::vector<size_t> cuts;
        for (size_t cut = 0; cut < large.size(); cut += std::uniform_int_distribution<size_t>(1, 70000)(rng)) {
            cuts.push_back(cut);
        }
        EXPECT_EQ(Show(ScanInChunks(large, cuts)), Show(ScanUtf8(Data(large), large.size())));
    }
}

// Detection over the whole, and a piece at a time wherever the pieces end, gives the label and
// line ending the table names (the plain cases of each encoding and line ending are the end-to-end
// test's, test_files_roundtrip.sh); random texts give the same both ways.
TEST(Detect, WholeAndInPieces) {
    using namespace std::string_literals;
    std::vector<std::pair<std::string, std::string>> cases = {
        {"", Show(kEncUtf8, kEolCrlf)},
        {"\xEF\xBB\xBF", Show(kEncUtf8Bom, kEolCrlf)},
        {kUtf8Mark + "x\xFFy\n", Show(kEncUtf8Bom, kEolLf)},  // invalid UTF-8 after the mark keeps the mark
        {"a\rb\r\n", Show(kEncUtf8, kEolMixed)},
        {"a\nb\r", Show(kEncUtf8, kEolMixed)},  // the final CR counts
        {"caf\xC3", Show(kEncAnsi, kEolCrlf)},
        {"\xEF\xBB", Show(kEncAnsi, kEolCrlf)},  // half a mark is just bad UTF-8
        {"\xFF\xFE", Show(kEncUtf16Le, kEolCrlf)},
        {"\xFF\xFE\x0A", Show(kEncUtf16Le, kEolCrlf)},  // half a unit is ignored
        {"\xFF\xFE\x0A\x00\x0A"s, Show(kEncUtf16Le, kEolLf)},
        {"\xFF\xFE"s + "a\0\r\0\n\0\r\0"s, Show(kEncUtf16Le, kEolMixed)},
        {"\xFE\xFF\0a\0\r\0\n\0b\0\r\0\n"s, Show(kEncUtf16Be, kEolCrlf)},
        {"\xFE\xFF\x0A\x00"s, Show(kEncUtf16Be, kEolCrlf)},  // unit 0A00 is no LF
        {"\xFE\xFF\0\r"s, Show(kEncUtf16Be, kEolCr)}};
    std::mt19937 rng(7);
    for (int i = 0; i < 20; ++i) {
        const std::string text = RandomText(rng, 1 + rng() % 200);
        cases.emplace_back(text, Detect(text));
    }
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(Detect(bytes), expected) << bytes;
        for (const size_t piece : {1, 2, 3, 5, 8, 64}) {
            const auto read = [&, piece = piece](uint64_t at, uint8_t* to, size_t count) {
                EXPECT_LE(count, std::max<size_t>(piece, 3));
                std::memcpy(to, bytes.data() + at, count);
                return true;
            };
            DetectedEncoding pieces;
            ASSERT_TRUE(DetectEncodingInPieces(bytes.size(), read, pieces, piece));
            EXPECT_EQ(expected, Show(pieces)) << bytes << ", pieces of " << piece;
        }
    }
    DetectedEncoding kept;
    kept.encoding = kEncGbk;
    const auto fails = [](uint64_t, uint8_t*, size_t) { return false; };
    EXPECT_FALSE(DetectEncodingInPieces(10, fails, kept));
    EXPECT_EQ(kEncGbk, kept.encoding);
}

// Either output may be left out; an empty input leaves both as they were; a bad byte after the mark
// decodes to a replacement character.
TEST(Decode, OutputsAreOptional) {
    uint32_t encoding = 77, lineEnding = 77;
    EXPECT_EQ(DecodeBytes(Data(""), 0, &encoding, &lineEnding), L"");
    EXPECT_EQ(Show(encoding, lineEnding), Show(77, 77));
    EXPECT_EQ(DecodeBytes(Data("a\nb"), 3, &encoding, nullptr), L"a\nb");
    EXPECT_EQ(encoding, kEncUtf8);
    EXPECT_EQ(DecodeBytes(Data("a\nb"), 3, nullptr, &lineEnding), L"a\nb");
    EXPECT_EQ(lineEnding, kEolLf);
    EXPECT_EQ(DecodeBytes(Data("\xEF\xBB\xBFx\xFFy"), 6, nullptr, nullptr), L"x\uFFFDy");
}

TEST(Decode, AnsiFallbackIgnoresGbk) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252";
    uint32_t encoding = 0;
    EXPECT_EQ(DecodeBytes(Data("caf\xE9\r\n"), 6, &encoding, nullptr), L"caf\u00e9\r\n");
    EXPECT_EQ(encoding, kEncAnsi);
    std::string gbk;
    ASSERT_TRUE(EncodeText(L"\u4e2d\u6587", kEncGbk, gbk));
    EXPECT_EQ(DecodeBytes(Data(gbk), gbk.size(), nullptr, nullptr), L"\u00d6\u00d0\u00ce\u00c4");
}

TEST(Encode, RoundTripsThroughDecode) {
    const std::wstring text = L"int x = 1;\r\nca\u00e9 \u4e2d\u6587 \U0001F600\n";
    for (uint32_t encoding : {kEncUtf8, kEncUtf8Bom, kEncUtf16Le, kEncUtf16Be}) {
        std::string body;
        ASSERT_TRUE(EncodeText(text, encoding, body)) << encoding;
        std::string bytes = ByteOrderMark(encoding) + body;
        if (encoding == kEncUtf16Le || encoding == kEncUtf16Be) bytes += 'z';  // an odd last byte is ignored
        uint32_t detected = 99, lineEnding = 99;
        EXPECT_EQ(DecodeBytes(Data(bytes), bytes.size(), &detected, &lineEnding), text) << encoding;
        EXPECT_EQ(Show(detected, lineEnding), Show(encoding, kEolMixed));
    }
}

TEST(Encode, Bytes) {
    using namespace std::string_literals;
    std::string out;
    ASSERT_TRUE(EncodeText(L"A\u00e9\U0001F600", kEncUtf16Le, out));
    EXPECT_EQ(out, "A\0\xE9\0\x3D\xD8\x00\xDE"s);
    ASSERT_TRUE(EncodeText(L"A\u00e9\U0001F600", kEncUtf16Be, out));
    EXPECT_EQ(out, "\0A\0\xE9\xD8\x3D\xDE\x00"s);
    ASSERT_TRUE(EncodeText(L"A\u00e9\U0001F600", kEncUtf8, out));
    EXPECT_EQ(out, "A\xC3\xA9\xF0\x9F\x98\x80");
    ASSERT_TRUE(EncodeText(L"\u00e9", kEncUtf8Bom, out));
    EXPECT_EQ(out, "\xC3\xA9");  // the mark is the caller's
    ASSERT_TRUE(EncodeText(L"\u4e2d\u6587", kEncGbk, out));
    EXPECT_EQ(out, "\xD6\xD0\xCE\xC4");
    // GB2312 characters have the same bytes as in GBK, with or without the system's GB2312 table.
    ASSERT_TRUE(EncodeText(L"\u4e2d\u6587", kEncGb2312, out));
    EXPECT_EQ(out, "\xD6\xD0\xCE\xC4");
    for (uint32_t encoding = 0; encoding <= 6; ++encoding) {
        out = "stale";
        EXPECT_TRUE(EncodeText(L"", encoding, out));
        EXPECT_EQ(out, "");
    }
    if (GetACP() == 1252) {
        ASSERT_TRUE(EncodeText(L"caf\u00e9 \u20ac \u4e2d", kEncAnsi, out));
        EXPECT_EQ(out, "caf\xE9 \x80 ?");  // unmappable becomes the default character
    }
}

namespace {

struct Pieces {
    bool ok = false;
    std::string body;
    LineBreakCounts breaks;
    size_t calls = 0;
};

// The body of a save of `utf8`, made in pieces of at most `chunk` bytes.
Pieces EncodeInPieces(const std::string& utf8, uint32_t encoding, size_t chunk) {
    Pieces p;
    p.ok = EncodeEditorText(
        utf8.size(), encoding, [&](uint64_t offset, size_t) { return utf8.data() + offset; },
        [&](const char* data, size_t size) {
            ++p.calls;
            p.body.append(data, size);
            return true;
        },
        p.breaks, chunk);
    return p;
}

}  // namespace

// Pieces cut inside two-, three- and four-byte characters and between CR and LF encode to the same
// bytes as the whole text, in every encoding, and count the line breaks as a scan of the whole does.
TEST(SaveEncoding, PiecesMakeTheSameBytesAsTheWhole) {
    const std::string utf8 = "a\r\n\xC3\xA9\r\r\n\xE4\xB8\xAD\xF0\x9F\x98\x80\n\xE2\x82\xAC\r\nz\r";
    const Utf8Scan scan = ScanUtf8(Data(utf8), utf8.size());
    for (uint32_t encoding = 0; encoding <= 6; ++encoding) {
        std::string whole;
        ASSERT_TRUE(EncodeText(Utf8ToWide(utf8), encoding, whole)) << encoding;
        for (size_t chunk = 1; chunk <= utf8.size() + 1; ++chunk) {
            const Pieces p = EncodeInPieces(utf8, encoding, chunk);
            ASSERT_TRUE(p.ok) << encoding << " " << chunk;
            EXPECT_EQ(p.body, whole) << encoding << " " << chunk;
            EXPECT_EQ(Show(p.ok, p.breaks.crlf, p.breaks.lf, p.breaks.cr), Show(scan)) << encoding << " " << chunk;
        }
    }
    const Pieces empty = EncodeInPieces("", kEncUtf16Le, 3);
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.body, "");
    EXPECT_EQ(empty.breaks.crlf + empty.breaks.lf + empty.breaks.cr, 0u);
}

TEST(SaveEncoding, TextThatDoesNotConvertFailsWhereverThePiecesEnd) {
    // Cut short, a stray continuation, a run of them longer than any character, a surrogate.
    for (const std::string bad :
         {"ab\xE4\xB8zz", "ab\x80zz", "ab\xC3\xA9\x80\x80\x80\x80\x80zz", "\xED\xA0\x80", "ab\xE4"}) {
        for (size_t chunk = 1; chunk <= bad.size() + 1; ++chunk) {
            for (uint32_t encoding : {kEncUtf16Le, kEncUtf16Be, kEncAnsi, kEncGbk}) {
                EXPECT_FALSE(EncodeInPieces(bad, encoding, chunk).ok) << encoding << " " << chunk;
            }
            // UTF-8 tabs write the editor's bytes as they are.
            EXPECT_EQ(EncodeInPieces(bad, kEncUtf8, chunk).body, bad);
        }
    }
}

TEST(SaveEncoding, ARefusedPieceStopsTheWork) {
    const std::string utf8(100, 'x');
    for (uint32_t encoding : {kEncUtf8, kEncUtf16Le}) {
        size_t calls = 0;
        LineBreakCounts breaks;
        const bool ok = EncodeEditorText(
            utf8.size(), encoding, [&](uint64_t offset, size_t) { return utf8.data() + offset; },
            [&](const char*, size_t) { return ++calls < 3; }, breaks, 10);
        EXPECT_FALSE(ok);
        EXPECT_EQ(calls, 3u);
    }
}

// A text beyond 4 GiB goes through whole: no size or offset is cut to 32 bits on the way.
TEST(SaveEncoding, TextsOver4GiBArriveWhole) {
    const uint64_t length = (uint64_t(1) << 32) + 8;
    const std::string pattern = "ab\r\n";
    std::string window;
    while (window.size() < kEncodeChunk + 8) window += pattern;
    uint64_t written = 0, sum = 0;
    LineBreakCounts breaks;
    ASSERT_TRUE(EncodeEditorText(
        length, kEncUtf8, [&](uint64_t offset, size_t) { return window.data() + offset % pattern.size(); },
        [&](const char* data, size_t size) {
            written += size;
            sum += static_cast<uint8_t>(data[size - 1]);
            return true;
        },
        breaks));
    EXPECT_EQ(written, length);
    EXPECT_EQ(breaks.crlf, length / 4);
    EXPECT_EQ(breaks.lf + breaks.cr, 0u);
}

TEST(EncodingNames, All) {
    const wchar_t* const names[] = {L"UTF-8", L"UTF-8 BOM", L"UTF-16 LE", L"ANSI", L"UTF-16 BE", L"GBK", L"GB2312"};
    for (uint32_t encoding = 0; encoding <= 6; ++encoding) EXPECT_EQ(EncodingNameFor(encoding, 1252), names[encoding]);
    EXPECT_EQ(EncodingNameFor(7, 1252), L"UTF-8");
    EXPECT_EQ(EncodingNameFor(kEncAnsi, 936), L"GBK (ANSI)");
    EXPECT_EQ(EncodingNameFor(kEncAnsi, 1251), L"ANSI (CP1251)");
    EXPECT_EQ(EncodingNameFor(kEncGbk, 936), L"GBK");
    EXPECT_EQ(EncodingName(kEncAnsi), EncodingNameFor(kEncAnsi, GetACP()));
}

TEST(Utf8Conversion, StrictBothWays) {
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("h\xC3\xA9 \xF0\x9F\x98\x80"), L"h\u00e9 \U0001F600");
    EXPECT_EQ(Utf8ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
    EXPECT_EQ(Utf8ToWide("abc", 2), L"ab");
    for (const char* bad : {"\xC3", "z\x80z", "\xFF", "ok \xE4\xB8"}) EXPECT_EQ(Utf8ToWide(bad), L"") << bad;
    EXPECT_EQ(WideToUtf8(L""), "");
    EXPECT_EQ(WideToUtf8(L"h\u00e9 \U0001F600"), "h\xC3\xA9 \xF0\x9F\x98\x80");
}

namespace {

// A text of characters from every range the encodings treat differently, with every kind of line
// break, cut to about `length` characters.
std::wstring RandomWide(std::mt19937& rng, size_t length) {
    static const wchar_t* const kPieces[] = {L"a",      L"Zz 09",        L"\r\n",       L"\n",
                                             L"\r",     L"\t",           L"\u00e9",     L"\u00ff",
                                             L"\u20ac", L"\u4e2d\u6587", L"\U0001F600", L"\uFEFF"};
    std::wstring text = L"x";  // not a mark at the start
    while (text.size() < length) text += kPieces[std::uniform_int_distribution<size_t>(0, 11)(rng)];
    return text;
}

std::string Encoded(const std::wstring& text, uint32_t encoding) {
    std::string body;
    EncodeText(text, encoding, body);
    return body;
}

// What an unedited save writes for a file opened by PlanFileText, or the bytes themselves when
// the file went to the hex view (which writes what it holds).
// The save is made in pieces of `chunk` bytes.
std::string SavedUnedited(const std::string& bytes, TextPlan& plan, size_t chunk) {
    plan = PlanFileText(Data(bytes), bytes.size(), kEncUtf8Bom, kEolLf);
    if (!plan.asText) return bytes;
    std::string body;
    if (!EncodeEditorText(plan.utf8, plan.encoding, body, chunk)) return "<does not convert>";
    return ByteOrderMark(plan.encoding) + body;
}

}  // namespace

// Opening any file and saving it without an edit writes exactly the bytes that were read, and the
// editor only ever gets well-formed UTF-8.
TEST(Lossless, UneditedSaveWritesTheBytesRead) {
    using namespace std::string_literals;
    std::mt19937 rng(97);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    std::vector<std::pair<std::string, std::string>> corpus;  // class, bytes
    auto add = [&](const std::string& kind, const std::string& bytes) { corpus.emplace_back(kind, bytes); };

    for (int n = 0; n < 200; ++n) {
        std::string bytes;
        for (int k = pick(0, 64); k > 0; --k) bytes += static_cast<char>(pick(0, 255));
        add("random bytes", bytes);
        add("random text", RandomText(rng, static_cast<size_t>(pick(0, 120))));
    }
    for (int n = 0; n < 40; ++n) {
        const std::wstring text = RandomWide(rng, static_cast<size_t>(pick(0, 80)));
        for (uint32_t encoding : {kEncUtf8, kEncUtf16Le, kEncUtf16Be, kEncGbk}) {
            add("encoding " + std::to_string(encoding), Encoded(text, encoding));
            if (!ByteOrderMark(encoding).empty()) {
                add("encoding " + std::to_string(encoding) + " with mark",
                    ByteOrderMark(encoding) + Encoded(text, encoding));
            }
        }
        add("UTF-8 mark", kUtf8Mark + Encoded(text, kEncUtf8));
        add("ANSI", Encoded(text, kEncAnsi));
        const std::string utf16 = "\xFF\xFE"s + Encoded(text, kEncUtf16Le);
        add("UTF-16 odd length", utf16 + "x");
        add("UTF-16 with NUL", utf16 + "a\0\0\0b\0"s);
        add("UTF-16 lone surrogate", utf16 + "\x00\xD8\x41\x00"s);
        add("UTF-16 reversed pair", "\xFE\xFF"s + "\xDC\x00\xD8\x00"s + Encoded(text, kEncUtf16Be));
    }
    const char* const kBroken[] = {
        "\xC0\x80",         "\xC1\xBF",         "\xE0\x80\x80", "\xED\xA0\x80", "\xED\xBF\xBF", "\xF0\x80\x80\x80",
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF",         "\x80",         "\xC3",         "\xE4\xB8",
        "\xF0\x9F\x98"};
    for (const char* broken : kBroken) {
        for (int n = 0; n < 12; ++n) {
            const std::string text = Encoded(RandomWide(rng, static_cast<size_t>(pick(0, 40))), kEncUtf8);
            const std::string bytes = text.substr(0, text.size() / 2) + broken + text.substr(text.size() / 2);
            add("invalid UTF-8", bytes);
            add("invalid UTF-8 after a mark", kUtf8Mark + bytes);
            add("invalid UTF-8 at the end", text + broken);
        }
    }
    for (int n = 0; n < 30; ++n) {
        const std::string text = Encoded(RandomWide(rng, 30), kEncUtf8);
        add("UTF-8 with NUL", text + "\0"s + text);
        add("lone CR at the end", text + "\r");
    }
    for (const char* eol : {"\n", "\r\n", "\r"}) {
        std::string lines;
        for (int n = 0; n < 50; ++n) lines += "line " + std::to_string(n) + eol;
        add("line breaks", lines);
        add("line breaks", lines + "\n\r\n");
    }
    for (uint32_t encoding : {kEncUtf8, kEncUtf8Bom, kEncUtf16Le, kEncUtf16Be})
        add("empty or mark only", ByteOrderMark(encoding));
    add("long line", Encoded(std::wstring(300000, L'\u00e9') + L"\r\n", kEncUtf8));
    add("long line", "\xFF\xFE"s + Encoded(std::wstring(200000, L'x'), kEncUtf16Le));
    ASSERT_GE(corpus.size(), 1000u);

    std::map<std::string, std::map<std::string, int>> routes;  // class -> route -> files
    for (const auto& [kind, bytes] : corpus) {
        TextPlan plan;
        ASSERT_EQ(SavedUnedited(bytes, plan, kEncodeChunk), bytes) << kind;
        // Saves of large files come in pieces; small ones cut every file in many places.
        const size_t chunk = static_cast<size_t>(bytes.size() > 4096 ? pick(1000, 5000) : pick(1, 9));
        ASSERT_EQ(SavedUnedited(bytes, plan, chunk), bytes) << kind << ", pieces of " << chunk;
        // The system's strict decoder is the judge of well-formed.
        if (plan.asText) {
            ASSERT_EQ(Utf8ToWide(plan.utf8).empty(), plan.utf8.empty()) << kind;
        }
        ++routes[kind][plan.asText ? "text " + std::to_string(plan.encoding) : "hex"];
    }
    // Where the labels are not in doubt they stay as detection gives them.
    const std::map<std::string, std::string> sure = {
        {"encoding 0", "text 0"}, {"UTF-8 mark", "text 1"}, {"encoding 2 with mark", "text 2"},
        {"encoding 4 with mark", "text 4"}, {"UTF-16 with NUL", "text 2"}, {"UTF-16 odd length", "hex"},
        {"UTF-16 lone surrogate", "hex"}, {"UTF-8 with NUL", "hex"}};
    for (const auto& [kind, expected] : sure) {
        EXPECT_EQ(routes[kind].size(), 1u) << kind;
        EXPECT_EQ(routes[kind].begin()->first, expected) << kind;
    }
}
