// The operating system's file calls: the one place where the program talks to
// the system directly. Each call returns 0 on success or the system's error
// code, so that a failure is told with the reason that very call met.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace tamber::platform {

// 0 when the user may write the existing file Path.
int MayWrite(const std::filesystem::path& path) noexcept;

// Waits until every byte written to the file Path is on the disk.
int FlushFile(const std::filesystem::path& path) noexcept;

// Waits until the entries of the folder Path (a file renamed into it) are
// on the disk. A file system that cannot flush a folder counts as done.
int FlushFolder(const std::filesystem::path& path) noexcept;

// A file opened with the system's calls, closed when it goes. Reads and
// writes go straight to the system, unbuffered.
class TFile {
public:
    TFile() = default;
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    ~TFile();

    // Path emptied, or made when missing, for writing.
    int Create(const std::filesystem::path& path) noexcept;
    // The existing file Path for reading and writing; a missing one is not made.
    int OpenExisting(const std::filesystem::path& path) noexcept;
    // Up to Size bytes from Offset into Data; Got says how many (fewer only at
    // the end of the file).
    int ReadAt(int64_t offset, void* data, std::size_t size, std::size_t& got) noexcept;
    // All Size bytes of Data at Offset, or after what was written before.
    int WriteAt(int64_t offset, const void* data, std::size_t size) noexcept;
    int Append(const void* data, std::size_t size) noexcept;
    // Waits until what was written is on the disk.
    int Sync() noexcept;
    // Closes the file (0 when it is not open); a write the system held back
    // may fail here.
    int Close() noexcept;

private:
    int Open(const std::filesystem::path& path, int flags) noexcept;

    int Fd_ = -1;
};

}  // namespace tamber::platform
