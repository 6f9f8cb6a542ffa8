// Throughput of the UTF-8 scan against the plain byte walk and against simply reading the same
// memory, on source-like ASCII text and on CJK text.

#include <chrono>
#include <cstdio>
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "base/encoding.h"

namespace {

constexpr size_t kSize = size_t(64) << 20;
constexpr int kRepeats = 9;

volatile uint64_t sink;

std::string SourceLikeText(size_t size) {
    const char* const lines[] = {
        "#include <vector>",
        "",
        "static int CountWords(const std::string& text) {",
        "    int words = 0;",
        "    for (size_t i = 0; i < text.size(); ++i) {",
        "        if (text[i] == ' ' && i > 0 && text[i - 1] != ' ') ++words;",
        "    }",
        "    return words;  // the last word has no space after it",
        "}",
        "    const auto it = table.find(key);",
        "    if (it == table.end()) return nullptr;",
        "        result.push_back({name, offset, length});",
        "/* Keeps the cache warm between two passes over the same buffer. */",
        "    printf(\"%s: %d of %d\\n\", label, done, total);",
    };
    std::mt19937 rng(1);
    std::uniform_int_distribution<size_t> pick(0, sizeof lines / sizeof lines[0] - 1);
    std::string text;
    text.reserve(size + 256);
    while (text.size() < size) {
        text += lines[pick(rng)];
        text += "\r\n";
    }
    text.resize(size);
    return text;
}

void AppendUtf8(std::string& text, uint32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | c >> 6);
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | c >> 12);
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Ideographs with full-width punctuation, the odd ASCII digit and a line break every 20-60 characters.
std::string CjkText(size_t size) {
    std::mt19937 rng(2);
    std::uniform_int_distribution<uint32_t> ideograph(0x4E00, 0x9FA5), lineLength(20, 60), kind(0, 19);
    std::string text;
    text.reserve(size + 256);
    while (text.size() < size) {
        for (uint32_t n = lineLength(rng); n > 0; --n) {
            const uint32_t k = kind(rng);
            AppendUtf8(text, k == 0 ? 0x3002 : k == 1 ? 0xFF0C : k == 2 ? '0' + n % 10 : ideograph(rng));
        }
        text += '\n';
    }
    // End on a character boundary so both texts are valid.
    size_t end = size;
    while (end > 0 && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80) --end;
    text.resize(end);
    return text;
}

uint64_t ReadAll(const uint8_t* bytes, size_t length) {
    uint64_t sum = 0;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        sum += word;
    }
    for (; i < length; ++i) sum += bytes[i];
    return sum;
}

// Folds a scan into one number for the sink, so that no run can be optimised away.
uint64_t Summary(const Utf8Scan& scan) {
    return scan.valid + scan.breaks.crlf * 3 + scan.breaks.lf * 5 + scan.breaks.cr * 7;
}

// MB/s (10^6 bytes) of each run over `text`, the best of several rounds; the runs take turns so
// that a busy machine slows them alike.
template <typename... Runs>
std::vector<double> Throughputs(const std::string& text, Runs... runs) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    std::vector<double> best(sizeof...(runs), 1e300);
    for (int r = 0; r < kRepeats; ++r) {
        size_t k = 0;
        auto time = [&](auto run) {
            const auto start = std::chrono::steady_clock::now();
            sink = run(bytes, text.size());
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            best[k] = std::min(best[k], took.count());
            ++k;
        };
        (time(runs), ...);
    }
    for (double& seconds : best) seconds = static_cast<double>(text.size()) / 1e6 / seconds;
    return best;
}

bool Measure(const char* label, const std::string& text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const Utf8Scan fast = ScanUtf8(bytes, text.size()), slow = ScanUtf8Bytewise(bytes, text.size());
    if (fast.valid != slow.valid || fast.breaks.crlf != slow.breaks.crlf || fast.breaks.lf != slow.breaks.lf ||
        fast.breaks.cr != slow.breaks.cr) {
        std::printf("%s: ScanUtf8 and ScanUtf8Bytewise disagree\n", label);
        return false;
    }
    const std::vector<double> speeds = Throughputs(
        text, ReadAll, [](const uint8_t* b, size_t n) { return Summary(ScanUtf8(b, n)); },
        [](const uint8_t* b, size_t n) { return Summary(ScanUtf8Bytewise(b, n)); });
    const double baseline = speeds[0], scan = speeds[1], walk = speeds[2];
    std::printf("%s (%.1f MiB, valid=%d, crlf=%llu lf=%llu cr=%llu)\n", label, text.size() / 1048576.0, fast.valid,
                static_cast<unsigned long long>(fast.breaks.crlf), static_cast<unsigned long long>(fast.breaks.lf),
                static_cast<unsigned long long>(fast.breaks.cr));
    std::printf("  memory read baseline %9.0f MB/s\n", baseline);
    std::printf("  ScanUtf8             %9.0f MB/s  fast/baseline %.2f\n", scan, scan / baseline);
    std::printf("  ScanUtf8Bytewise     %9.0f MB/s  bytewise/baseline %.2f  fast/bytewise %.2f\n", walk,
                walk / baseline, scan / walk);
    return true;
}

}  // namespace

int main() {
    bool ok = Measure("ASCII source text", SourceLikeText(kSize));
    ok = Measure("CJK text", CjkText(kSize)) && ok;
    return ok ? 0 : 1;
}
