#include "shell/single_instance.h"

#include <gtest/gtest.h>

#include <random>

TEST(SingleInstance, KeyIgnoresCaseOnlyAndTellsFoldersApart) {
    EXPECT_EQ(InstanceKey(L"C:\\Program Files\\Tessary\\"), InstanceKey(L"c:\\PROGRAM FILES\\tessary\\"));
    EXPECT_NE(InstanceKey(L"C:\\Program Files\\Tessary\\"), InstanceKey(L"D:\\Portable\\Tessary\\"));
    EXPECT_NE(InstanceKey(L"C:\\a\\"), InstanceKey(L"C:\\b\\"));
}

// Any list of paths (blanks, quotes, non-ASCII, surrogate pairs, long ones) comes back as it was sent.
TEST(SingleInstance, PathsSurviveTheHandOff) {
    std::mt19937 random(7);
    const std::wstring alphabet = L"abc XYZ\\:.\"'\u00FC\u6587\U0001F600-_";
    for (int round = 0; round < 200; ++round) {
        std::vector<std::wstring> paths;
        const int count = static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            std::wstring path = L"Z:\\";
            const int length = 1 + static_cast<int>(random() % 300);
            for (int c = 0; c < length; ++c) path += alphabet[random() % alphabet.size()];
            paths.push_back(path);
        }
        const std::vector<wchar_t> block = PackPaths(paths);
        std::vector<std::wstring> back;
        ASSERT_TRUE(UnpackPaths(block.data(), block.size() * sizeof(wchar_t), back));
        EXPECT_EQ(paths, back);
    }
}

TEST(SingleInstance, ABlockThatIsNotWholeIsRefused) {
    std::vector<std::wstring> back;
    EXPECT_TRUE(UnpackPaths(nullptr, 0, back));  // a plain start: no paths, the window comes to the front
    EXPECT_TRUE(back.empty());
    const wchar_t cut[] = {L'a', L'b'};
    EXPECT_FALSE(UnpackPaths(cut, sizeof cut, back));  // no terminating zero
    const wchar_t empty[] = {L'a', L'\0', L'\0'};
    EXPECT_FALSE(UnpackPaths(empty, sizeof empty, back));  // an empty path
    const wchar_t whole[] = {L'a', L'\0'};
    EXPECT_FALSE(UnpackPaths(whole, sizeof whole - 1, back));  // half a unit
    EXPECT_FALSE(UnpackPaths(nullptr, 4, back));
}
