#pragma once

// File helpers of the tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

// Every byte of a file; empty when it cannot be read.
inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
