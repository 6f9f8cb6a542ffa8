#pragma once
// Reading and writing whole files. Every file is opened for reading with read, write and delete
// sharing, so that other programs may keep it open or replace it.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/encoding.h"

constexpr uint64_t kSmallFileLimit = 8ull * 1024 * 1024;  // read whole up to this size
constexpr uint64_t kChunkSize = 16ull * 1024 * 1024;      // every read, append and write
constexpr uint64_t kInPlaceLimit = 200ull * 1024 * 1024;
constexpr wchar_t kTempSuffix[] = L".testmp";

// Told how far a long piece of work has got, `done` of `total` bytes, between its pieces.
using ProgressFn = std::function<void(uint64_t done, uint64_t total)>;

enum class ReadStatus { Ok, NotFound, Failed };

struct ReadResult {
    ReadStatus status = ReadStatus::Failed;
    std::vector<uint8_t> bytes;
    DWORD error = 0;  // the system's reason when status is Failed
};

// The whole file; NotFound only when the file or its folder does not exist.
ReadResult ReadFileBytes(const std::wstring& path);
// The whole file, or nothing when it cannot be opened or read completely.
std::vector<uint8_t> ReadAllBytes(const std::wstring& path);
// 0 when the file cannot be opened or its size cannot be read.
uint64_t FileSizeOf(const std::wstring& path);
struct FileStamp {
    uint64_t time = 0;
    uint64_t size = 0;
};
// Last-write time (0 when the file cannot be opened) and size.
FileStamp FileTimeAndSize(const std::wstring& path);
// Which file a path reaches: its volume and its index there (see FileIdOf).
struct FileId {
    uint32_t volume = 0;
    uint64_t index = 0;
    bool valid = false;
};
inline bool SameFileId(const FileId& a, const FileId& b) {
    return a.valid && b.valid && a.volume == b.volume && a.index == b.index;
}
bool PathExists(const std::wstring& path);
// An existing file, not a folder.
bool IsFile(const std::wstring& path);

// The form of a path the file functions accept at any length: a full path of MAX_PATH characters
// or more gets the \\?\ prefix (\\?\UNC\ for network paths).
std::wstring ExtendedPath(const std::wstring& path);

HANDLE OpenForReading(const std::wstring& path, DWORD flags = FILE_ATTRIBUTE_NORMAL);
// True when `path` names the file that `file` is open on (under this or any other name).
bool IsSameFile(HANDLE file, const std::wstring& path);

// What a write that replaces a file through a temporary one keeps of it: the attributes it had.
// Every replacing writer takes them before it writes and puts them back after the move.
struct ReplacedFile {
    DWORD attributes = INVALID_FILE_ATTRIBUTES;  // of the old file; invalid when there was none
    // A read-only file is never replaced (not every file system refuses the move by itself).
    bool ReadOnly() const { return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY); }
};
ReplacedFile BeforeReplacing(const std::wstring& path);
// Gives the new file at `path` the hidden, system and not-indexed attributes the old one had.
void AfterReplacing(const std::wstring& path, const ReplacedFile& old);

// Writes in chunks of at most 16 MiB; true when every chunk was written completely.
bool WriteAll(HANDLE file, const void* bytes, uint64_t length);
// Writes `prefix` then `bytes` to the temporary file beside `path`, flushes it and moves it over
// `path`, keeping the old file's hidden/system/archive attributes. On any failure the old file is
// untouched and no temporary file is left behind.
bool AtomicWriteBytes(const std::wstring& path, const void* bytes, uint64_t length, bool withUtf8Mark);
bool AtomicWriteParts(const std::wstring& path, const std::string& prefix, const void* bytes, uint64_t length);
// The same with a body that `write` produces piece by piece into the sink it is given; the body
// fails the write by returning false (or by a sink call that failed).
bool AtomicWriteStream(const std::wstring& path, const std::string& prefix,
                       const std::function<bool(const ByteSink& sink)>& write);
// Encodes the text (with its byte-order mark) and writes it atomically.
bool WriteTextFileAtomic(const std::wstring& path, const std::wstring& text, uint32_t encoding);

// Copies `count` bytes out of a view of a mapped file without faulting. Once the volume under the
// file is gone (a network share lost, a removable disk pulled), touching the view raises an
// in-page error; here that becomes a false return, and the bytes that were not copied are 0.
bool CopyFromMapping(const uint8_t* from, uint8_t* to, size_t count);

// A seam for tests: the function every file write goes through.
using WriteFileFn = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
void SetWriteFileForTesting(WriteFileFn fn);  // nullptr restores WriteFile
// The same for reads of file contents: every whole-file and chunked read goes through ReadPiece.
using ReadFileFn = BOOL(WINAPI*)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
void SetReadFileForTesting(ReadFileFn fn);  // nullptr restores ReadFile
bool ReadPiece(HANDLE file, void* to, DWORD want, DWORD& got);

// "The system cannot find..." and the like, for messages.
std::wstring SystemErrorText(DWORD error);

// Directory part of a module path, keeping its trailing separator; empty when there is none.
std::wstring DirectoryWithSeparator(const std::wstring& modulePath);
// Folder of the running executable, ending with its separator; empty when it cannot be known.
std::wstring ProgramDirectory();
