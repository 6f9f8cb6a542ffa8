#include "base/file_access.h"

#include <algorithm>
#include <cstring>

#include "base/encoding.h"

namespace {

WriteFileFn writeFile = ::WriteFile;
ReadFileFn readFile = ::ReadFile;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

}  // namespace

std::wstring ExtendedPath(const std::wstring& path) {
    if (path.size() < MAX_PATH || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) {
        std::wstring extended = L"\\\\?\\" + path;
        for (wchar_t& c : extended) {
            if (c == L'/') c = L'\\';
        }
        return extended;
    }
    return path;
}

void SetWriteFileForTesting(WriteFileFn fn) { writeFile = fn ? fn : ::WriteFile; }
void SetReadFileForTesting(ReadFileFn fn) { readFile = fn ? fn : ::ReadFile; }

bool ReadPiece(HANDLE file, void* to, DWORD want, DWORD& got) {
    got = 0;
    return readFile(file, to, want, &got, nullptr) != 0;
}

HANDLE OpenForReading(const std::wstring& path, DWORD flags) {
    return CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

bool IsSameFile(HANDLE file, const std::wstring& path) {
    // No access asked for: a file another program holds without sharing can still be identified.
    HANDLE other = CreateFileW(ExtendedPath(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
    if (other == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION a{}, b{};
    const bool same = GetFileInformationByHandle(file, &a) && GetFileInformationByHandle(other, &b) &&
                      a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
                      a.nFileIndexLow == b.nFileIndexLow;
    CloseHandle(other);
    return same;
}

ReadResult ReadFileBytes(const std::wstring& path) {
    ReadResult result;
    HANDLE file = OpenForReading(path, FILE_FLAG_SEQUENTIAL_SCAN);
    if (file == INVALID_HANDLE_VALUE) {
        result.error = GetLastError();
        const bool missing = result.error == ERROR_FILE_NOT_FOUND || result.error == ERROR_PATH_NOT_FOUND;
        result.status = missing ? ReadStatus::NotFound : ReadStatus::Failed;
        return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) {
        result.error = GetLastError();
        CloseHandle(file);
        return result;
    }
    try {
        result.bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        CloseHandle(file);
        result.error = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
    uint64_t done = 0;
    const uint64_t total = result.bytes.size();
    while (done < total) {
        const DWORD want = static_cast<DWORD>(std::min<uint64_t>(kChunkSize, total - done));
        DWORD got = 0;
        if (!ReadPiece(file, result.bytes.data() + done, want, got) || got == 0) {
            // A failed read, or a file that shrank since its size was taken.
            result.error = got == 0 ? ERROR_HANDLE_EOF : GetLastError();
            result.bytes.clear();
            CloseHandle(file);
            return result;
        }
        done += got;
    }
    CloseHandle(file);
    result.status = ReadStatus::Ok;
    return result;
}

std::vector<uint8_t> ReadAllBytes(const std::wstring& path) {
    ReadResult r = ReadFileBytes(path);
    return r.status == ReadStatus::Ok ? std::move(r.bytes) : std::vector<uint8_t>{};
}

uint64_t FileSizeOf(const std::wstring& path) { return FileTimeAndSize(path).size; }

FileStamp FileTimeAndSize(const std::wstring& path) {
    FileStamp stamp;
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) return stamp;
    FILETIME written{};
    if (GetFileTime(file, nullptr, nullptr, &written))
        stamp.time = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0) stamp.size = static_cast<uint64_t>(size.QuadPart);
    CloseHandle(file);
    return stamp;
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteAll(HANDLE file, const void* bytes, uint64_t length) {
    const auto* p = static_cast<const uint8_t*>(bytes);
    while (length > 0) {
        const DWORD chunk = static_cast<DWORD>(std::min<uint64_t>(kChunkSize, length));
        DWORD written = 0;
        if (!writeFile(file, p, chunk, &written, nullptr) || written != chunk) return false;
        p += chunk;
        length -= chunk;
    }
    return true;
}

ReplacedFile BeforeReplacing(const std::wstring& path) {
    ReplacedFile old;
    old.attributes = GetFileAttributesW(ExtendedPath(path).c_str());
    return old;
}

void AfterReplacing(const std::wstring& path, const ReplacedFile& old) {
    if (old.attributes != INVALID_FILE_ATTRIBUTES && (old.attributes & kKeptAttributes & ~FILE_ATTRIBUTE_ARCHIVE))
        SetFileAttributesW(ExtendedPath(path).c_str(), (old.attributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE);
}

bool AtomicWriteParts(const std::wstring& path, const std::string& prefix, const void* bytes, uint64_t length) {
    return AtomicWriteStream(path, prefix, [&](const ByteSink& sink) {
        const auto* data = static_cast<const char*>(bytes);
        for (uint64_t done = 0; done < length; done += kChunkSize) {
            if (!sink(data + done, static_cast<size_t>(std::min<uint64_t>(kChunkSize, length - done)))) return false;
        }
        return true;
    });
}

bool AtomicWriteStream(const std::wstring& path, const std::string& prefix,
                       const std::function<bool(const ByteSink& sink)>& write) {
    const ReplacedFile old = BeforeReplacing(path);
    if (old.ReadOnly()) return false;
    const std::wstring temp = path + kTempSuffix;
    HANDLE file = CreateFileW(ExtendedPath(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const ByteSink sink = [file](const char* data, size_t size) { return WriteAll(file, data, size); };
    bool ok = WriteAll(file, prefix.data(), prefix.size()) && write(sink) && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok)
        ok = MoveFileExW(ExtendedPath(temp).c_str(), ExtendedPath(path).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        DeleteFileW(ExtendedPath(temp).c_str());
        return false;
    }
    AfterReplacing(path, old);
    return true;
}

bool AtomicWriteBytes(const std::wstring& path, const void* bytes, uint64_t length, bool withUtf8Mark) {
    return AtomicWriteParts(path, withUtf8Mark ? std::string("\xEF\xBB\xBF") : std::string(), bytes, length);
}

bool WriteTextFileAtomic(const std::wstring& path, const std::wstring& text, uint32_t encoding) {
    std::string encoded;
    if (!EncodeText(text, encoding, encoded)) return false;
    return AtomicWriteParts(path, ByteOrderMark(encoding), encoded.data(), encoded.size());
}

bool CopyFromMapping(const uint8_t* from, uint8_t* to, size_t count) {
    // Pages that are not there at all are refused before any copy.
    for (const uint8_t* at = from; at < from + count;) {
        MEMORY_BASIC_INFORMATION info{};
        const bool readable = VirtualQuery(at, &info, sizeof info) == sizeof info && info.State == MEM_COMMIT &&
                              !(info.Protect & (PAGE_NOACCESS | PAGE_GUARD));
        if (!readable) {
            std::memset(to, 0, count);
            return false;
        }
        at = static_cast<const uint8_t*>(info.BaseAddress) + info.RegionSize;
    }
    // The system's copy between address spaces turns a page that cannot be brought in into a
    // failure instead of an exception.
    SIZE_T copied = 0;
    if (ReadProcessMemory(GetCurrentProcess(), from, to, count, &copied) && copied == count) return true;
    std::memset(to + copied, 0, count - copied);
    return false;
}

std::wstring SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : L"Error " + std::to_wstring(error);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    return text;
}

std::wstring DirectoryWithSeparator(const std::wstring& modulePath) {
    const auto pos = modulePath.find_last_of(L"/\\");
    return pos == std::wstring::npos ? std::wstring() : modulePath.substr(0, pos + 1);
}

std::wstring ProgramDirectory() {
    // Grow the buffer until the whole module path fits: paths of 260 characters and more exist.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) {
            buffer.resize(n);
            return DirectoryWithSeparator(buffer);
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}
