#pragma once
#include <string>

// Writes bytes to a temporary file beside `path`, flushes it and then replaces `path` with it, so
// that a failure at any point leaves the previous file intact. Returns false on failure (no
// temporary file is left behind).
bool AtomicWriteBytes(const std::wstring& path, const void* data, size_t size);

// Saves the tab at `index`; with saveAs = 1 (or when the tab has no path) the user picks the
// target first. Success shows as `modified` = 0, failure as a message.
void SaveDocument(int index, int saveAs);
