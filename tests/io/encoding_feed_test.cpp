// The encoding found on the way through pieces equals the one found over the whole bytes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "base/encoding.h"
#include "io/encoding_feed.h"

namespace {

std::string RandomBytes(std::mt19937& random) {
    static const char* const kStarts[] = {"", "", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB", "\xFF"};
    using namespace std::string_literals;
    static const std::string kPieces[] = {"a"s,    "\r"s,   "\n"s,   "\r\n"s, "\xC3\xA9"s, "\xE2\x82\xAC"s, "\0"s,
                                          "\r\0"s, "\n\0"s, "\0\r"s, "\0\n"s, "\xFF"s,    "\x80"s};
    std::string bytes = kStarts[random() % 7];
    const size_t pieces = random() % 60;
    for (size_t i = 0; i < pieces; ++i) {
        bytes += kPieces[random() % 13];
    }
    return bytes;
}

TEST(EncodingFeed, PiecesOfAnySizeGiveTheWholeBytesEncoding) {
    std::mt19937 random(2026);
    for (int round = 0; round < 3000; ++round) {
        const std::string bytes = RandomBytes(random);
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        const DetectedEncoding whole = DetectEncoding(data, bytes.size());
        EncodingFeed feed;
        for (size_t at = 0; at < bytes.size();) {
            const size_t n = std::min<size_t>(bytes.size() - at, random() % 5);
            feed.Add(data + at, n);
            at += n;
        }
        const DetectedEncoding pieces = feed.Finish();
        ASSERT_EQ(whole.encoding, pieces.encoding) << "round " << round;
        ASSERT_EQ(whole.lineEnding, pieces.lineEnding) << "round " << round;
    }
}

}  // namespace
