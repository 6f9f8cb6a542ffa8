#pragma once
// For tests that read a file of the source tree (the manual, the toolbar images): its path under
// TESSARY_SOURCE_DIR, which under Wine is a Unix path seen through drive Z:.
#include <fstream>
#include <iterator>
#include <string>

inline std::string SourcePath(const std::string& relative) {
    const std::string path = std::string(TESSARY_SOURCE_DIR) + "/" + relative;
    return path[0] == '/' ? "Z:" + path : path;
}

// The file's bytes, or nothing when it cannot be read.
inline std::string ReadSourceFile(const std::string& relative) {
    std::ifstream file(SourcePath(relative), std::ios::binary);
    return file ? std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>()) : std::string();
}
