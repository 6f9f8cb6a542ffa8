#pragma once
// The file list of a drop on the window: a DROPFILES block filled by another program. It is read
// with every offset and length checked against the block's size, so a damaged list gives fewer
// names, never a read past its end.
#include <cstddef>
#include <string>
#include <vector>

// The names of a DROPFILES block of `size` bytes: the list starts at the header's offset and holds
// NUL-terminated names (UTF-16 when the header says wide, else in the ANSI code page) up to an empty
// one. A name whose NUL is missing before the block ends is left out; a header that does not fit or
// points outside the block gives no names.
std::vector<std::wstring> ReadDropList(const void* block, size_t size);
