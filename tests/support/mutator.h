#pragma once
// Random damage for the robustness tests of the program's file readers: each call takes one of the
// seed files (or its UTF-16 twin) and applies a few edits: flipped bytes, truncation, junk, tokens
// the scanners look for, duplicated and dropped fragments. The sequence is fixed by the seed.
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "persist/json_text.h"

namespace testing_support {

// clang-format off
inline const char* const kSharedTokens[] = {
    "\"", "\\", "\\u", "\\u12", "\\ud800", "[", "]", "{", "}", ":", ": ", ",", "-", "=", "1", "0", "9999999999999",
    "-2147483649", "\xEF\xBB\xBF", "\xFF\xFE", "\xC3", "\xED\xA0\x80", "\r\n", "\"fontSize\": ", "\"recent\": [",
    "\"fontFace\": \"", "\"wrap\": true", "lang=", "sidebar=", "\"tabs\": [", "{ \"path\": \"", "\"text\": \"",
    "\"active\": ", "\"file\": \"tab-", "\"caret\": ", "]}"};
// clang-format on

// The bytes of a UTF-16 LE file with its mark holding a UTF-8 text (also for tests of other readers).
inline std::string Utf16Le(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : WideFromUtf8(utf8)) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

class Mutator {
public:
    // Every seed starts with the UTF-8 byte-order mark; its UTF-16 twin joins the seeds. `extraTokens`
    // add texts that matter to a particular reader to the shared ones.
    explicit Mutator(std::vector<std::string> seeds, std::vector<std::string> extraTokens = {})
        : seeds_(std::move(seeds)), tokens_(std::begin(kSharedTokens), std::end(kSharedTokens)) {
        tokens_.insert(tokens_.end(), extraTokens.begin(), extraTokens.end());
        const size_t count = seeds_.size();
        for (size_t i = 0; i < count; ++i) seeds_.push_back(Utf16Le(seeds_[i].substr(3)));
    }

    // For a binary format: the seeds as they are (no mark, no UTF-16 twin), and only `tokens`.
    static Mutator ForBytes(std::vector<std::string> seeds, std::vector<std::string> tokens) {
        Mutator mutator;
        mutator.seeds_ = std::move(seeds);
        mutator.tokens_ = std::move(tokens);
        return mutator;
    }

    std::string Next() {
        std::string bytes = seeds_[Below(seeds_.size())];
        const size_t edits = 1 + Below(4);
        for (size_t e = 0; e < edits; ++e) Edit(bytes);
        return bytes;
    }

private:
    Mutator() = default;

    size_t Below(size_t n) { return n == 0 ? 0 : rng_() % n; }

    void Edit(std::string& bytes) {
        const size_t pos = Below(bytes.size() + 1);
        switch (Below(6)) {
            case 0:  // flip
                if (!bytes.empty()) bytes[Below(bytes.size())] = static_cast<char>(rng_());
                break;
            case 1:  // truncate
                bytes.resize(pos);
                break;
            case 2: {  // random bytes
                std::string junk(1 + Below(4), '\0');
                for (char& c : junk) c = static_cast<char>(rng_());
                bytes.insert(pos, junk);
                break;
            }
            case 3:  // a token that matters to the scanners
                if (!tokens_.empty()) bytes.insert(pos, tokens_[Below(tokens_.size())]);
                break;
            case 4: {  // duplicate a fragment
                const size_t from = Below(bytes.size() + 1);
                bytes.insert(pos, bytes.substr(from, Below(40)));
                break;
            }
            default:  // drop a fragment
                bytes.erase(pos, Below(20));
                break;
        }
    }

    std::vector<std::string> seeds_;
    std::vector<std::string> tokens_;
    std::mt19937 rng_{12345};
};

}  // namespace testing_support

using testing_support::Mutator;
using testing_support::Utf16Le;
