#include "io/drop_list.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/mutator.h"
#include "support/unreadable_page.h"

namespace {

using Names = std::vector<std::wstring>;

// A DROPFILES block as the shell fills it: the header, the names each with its NUL, an empty name.
std::string Block(const Names& names, bool wide) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = wide;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    for (const std::wstring& name : names) {
        for (wchar_t c : name) {
            bytes += static_cast<char>(c & 0xFF);
            if (wide) bytes += static_cast<char>(c >> 8);
        }
        bytes.append(wide ? 2 : 1, '\0');
    }
    bytes.append(wide ? 2 : 1, '\0');
    return bytes;
}

// What the platform's own reader makes of a well-formed block.
Names PlatformNames(const std::string& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    auto drop = static_cast<HDROP>(memory);
    Names names;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        names.push_back(name);
    }
    GlobalFree(memory);
    return names;
}

const wchar_t* const kPieces[] = {L"C:\\", L"dir\\", L"a b", L".txt", L"\\\\server\\share\\", L"\\\\?\\", L"x",
                                  L"\u00FC\u00F1", L"\u6587\u4EF6", L"\U0001F600"};

Names RandomNames(std::mt19937& rng, bool ascii) {
    Names names(rng() % 6);
    for (std::wstring& name : names) {
        for (int n = 1 + rng() % 5; n > 0; --n) name += kPieces[rng() % (ascii ? 7 : std::size(kPieces))];
    }
    return names;
}

TEST(DropList, AgreesWithThePlatformOnWellFormedLists) {
    std::mt19937 rng(5);
    for (int round = 0; round < 2000; ++round) {
        const bool wide = round % 2 == 0;
        const Names names = RandomNames(rng, !wide);
        const std::string block = Block(names, wide);
        ASSERT_EQ(names, ReadDropList(block.data(), block.size())) << round;
        // (Wine's DragQueryFileW misreads an empty list: it finds a first name there.)
        if (!names.empty()) {
            ASSERT_EQ(names, PlatformNames(block)) << round;
        }
    }
}

TEST(DropList, DamagedBlocksGiveOnlyWholeNamesFromInsideTheBlock) {
    EXPECT_EQ(Names{}, ReadDropList(nullptr, 100));
    EXPECT_EQ(Names{}, ReadDropList("\x14\0\0", 3));
    std::mt19937 rng(11);
    std::vector<std::string> seeds;
    for (int i = 0; i < 6; ++i) seeds.push_back(Block(RandomNames(rng, i % 2), i % 2 == 0));
    // Offsets to the list that point nowhere sensible, and the flag words.
    Mutator mutator = Mutator::ForBytes(
        seeds, {std::string("\xFF\xFF\xFF\x7F", 4), std::string("\x13\0\0\0", 4), std::string("\x01\0\0\0", 4),
                std::string(2, '\0'), std::string(1, '\0'), "C:\\"});
    HalfReadableView guard;
    ASSERT_NE(guard.view, nullptr);
    for (int round = 0; round < 100000; ++round) {
        const std::string bytes = mutator.Next();
        // Copied to the end of a readable page that an unreadable one follows: a read past the
        // block's end faults.
        ASSERT_LE(bytes.size(), guard.page) << round;
        uint8_t* at = guard.view + guard.page - bytes.size();
        std::memcpy(at, bytes.data(), bytes.size());
        const Names names = ReadDropList(at, bytes.size());
        size_t total = 0;
        for (const std::wstring& name : names) {
            ASSERT_FALSE(name.empty()) << round;
            ASSERT_EQ(name.find(L'\0'), std::wstring::npos) << round;
            total += name.size() + 1;
        }
        ASSERT_LE(total, bytes.size()) << round;
    }
}

}  // namespace
