#pragma once
// The encoding of bytes that pass by in pieces (a save copying a mapped file), found on the way:
// no second read of the file is needed afterwards.
#include <cstddef>
#include <cstdint>

#include "base/encoding.h"

// Feed the bytes in order, in pieces of any size, then finish once: the result equals
// DetectEncoding over all of them together.
class EncodingFeed {
public:
    void Add(const uint8_t* bytes, size_t length);
    DetectedEncoding Finish();

private:
    enum class Kind { Undecided, Utf16Le, Utf16Be, Utf8 };
    void Decide();
    void AddDecided(const uint8_t* bytes, size_t length);

    Kind kind = Kind::Undecided;
    uint8_t head[3] = {};  // the first bytes, held until they show which mark there is
    size_t headLength = 0;
    bool utf8Mark = false;
    Utf8ScanState scan;
    LineBreakCounts units;  // UTF-16 line breaks
    bool pendingCr = false;
    uint8_t oddByte = 0;  // the first byte of a UTF-16 unit cut by the piece end
    bool haveOddByte = false;
};
