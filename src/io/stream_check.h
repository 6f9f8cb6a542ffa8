#pragma once
// Validation and line-ending tracking for a large UTF-8 file read in chunks.
#include <cstddef>
#include <cstdint>

struct StreamCheck {
    int pendingContinuations = 0;  // continuation bytes a multi-byte sequence still expects
    uint8_t lead = 0;              // the lead byte of that sequence, while its second byte is awaited
    bool valid = true;
    bool crAtChunkEnd = false;  // a CR ended the previous chunk; the next byte decides its kind
    bool crBeforeThat = false;  // the byte before that CR was a CR too
    uint8_t previous = 0;       // the last byte seen, in any chunk
    bool hasPrevious = false;
    uint32_t lineEnding = 0;  // the kind of the last line break seen (CRLF until one is seen)
};

// Feeds the next chunk; returns false once the data is not UTF-8.
bool FeedStreamCheck(StreamCheck& check, const uint8_t* bytes, size_t length);
// End of data: true when the whole file was well-formed UTF-8; settles a CR at the very end.
bool FinishStreamCheck(StreamCheck& check);
