// What a file held when the program last read or wrote it: enough to tell
// that someone else (another copy of the program, a sync tool) changed it
// since, even one that keeps the file's size and modification time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tamber {

struct TFileStamp {
    std::string Path;
    std::uintmax_t Size = 0;
    int64_t Modified = 0;  // the modification time in the file system's ticks
    uint64_t Hash = 0;     // 64-bit FNV-1a of every byte, taken in 8-byte words
    friend bool operator==(const TFileStamp&, const TFileStamp&) = default;
};

// The stamp of the file Path as it is now; nothing when it cannot be read.
std::optional<TFileStamp> StampFile(const std::filesystem::path& path);

}  // namespace tamber
