// The operating system's file calls that the standard library lacks: the
// one place where the program talks to the system directly. Each call
// returns false on failure and leaves the system's error code in errno.
#pragma once

#include <filesystem>

namespace tamber::platform {

// Whether the user may write the existing file Path.
bool MayWrite(const std::filesystem::path& path) noexcept;

// Waits until every byte written to the file Path is on the disk.
bool FlushFile(const std::filesystem::path& path) noexcept;

// Waits until the entries of the folder Path (a file renamed into it) are
// on the disk. A file system that cannot flush a folder counts as done.
bool FlushFolder(const std::filesystem::path& path) noexcept;

}  // namespace tamber::platform
