#include "io/stream_check.h"

#include "io/encoding.h"

namespace {

void SettleCr(StreamCheck& c, bool followedByLf, bool crBefore) {
    if (followedByLf)
        c.lineEnding = kEolCrlf;
    else if (!crBefore)
        c.lineEnding = kEolCr;
}

}  // namespace

bool FeedStreamCheck(StreamCheck& c, const uint8_t* bytes, size_t length) {
    if (!c.valid) return false;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = bytes[i];
        if (c.pendingContinuations > 0) {
            if ((b & 0xC0) != 0x80) return c.valid = false;
            // The second byte rules out overlong forms, surrogates and values above U+10FFFF.
            if (c.lead != 0 && !Utf8SecondByteOk(c.lead, b)) return c.valid = false;
            c.lead = 0;
            --c.pendingContinuations;
        } else if (b >= 0x80) {
            c.lead = b;
            if ((b & 0xE0) == 0xC0)
                c.pendingContinuations = 1;
            else if ((b & 0xF0) == 0xE0)
                c.pendingContinuations = 2;
            else if ((b & 0xF8) == 0xF0)
                c.pendingContinuations = 3;
            else
                return c.valid = false;
        }
        if (c.crAtChunkEnd) {
            // A CR that ended the previous chunk is judged by the byte that follows it, so that a
            // CRLF split across chunks still counts as CRLF.
            SettleCr(c, b == '\n', c.crBeforeThat);
            c.crAtChunkEnd = false;
        }
        if (b == '\r') {
            const bool crBefore = c.hasPrevious && c.previous == '\r';
            if (i + 1 < length)
                SettleCr(c, bytes[i + 1] == '\n', crBefore);
            else {
                c.crAtChunkEnd = true;
                c.crBeforeThat = crBefore;
            }
        } else if (b == '\n') {
            if (!(c.hasPrevious && c.previous == '\r')) c.lineEnding = kEolLf;
        }
        c.previous = b;
        c.hasPrevious = true;
    }
    return true;
}

bool FinishStreamCheck(StreamCheck& c) {
    if (c.crAtChunkEnd) {
        SettleCr(c, false, c.crBeforeThat);
        c.crAtChunkEnd = false;
    }
    return c.valid && c.pendingContinuations == 0;
}
