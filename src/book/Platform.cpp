#include "book/Platform.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

namespace tamber::platform {
namespace {

// The error code a call that returned Result left: 0 unless it failed.
int ErrorOf(int result) noexcept {
    return result == 0 ? 0 : errno;
}

// Opens Path with Flags, runs fsync on it and closes it, keeping the first error.
int Sync(const std::filesystem::path& path, int flags) noexcept {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return errno;
    const int synced = ErrorOf(::fsync(fd));
    const int closed = ErrorOf(::close(fd));
    return synced != 0 ? synced : closed;
}

// Writes Size bytes of Data with Write(data, size, done), which writes some
// of them and returns how many or -1; interrupted calls are made again.
template <class F>
int WriteAll(const void* data, std::size_t size, F&& write) noexcept {
    const auto* bytes = static_cast<const char*>(data);
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = write(bytes + done, size - done, done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) return EIO;  // a device that takes nothing would loop for ever
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

int MayWrite(const std::filesystem::path& path) noexcept {
    return ErrorOf(::access(path.c_str(), W_OK));
}

int FlushFile(const std::filesystem::path& path) noexcept {
    return Sync(path, O_RDONLY);
}

int FlushFolder(const std::filesystem::path& path) noexcept {
    const int error = Sync(path.empty() ? std::filesystem::path(".") : path, O_RDONLY | O_DIRECTORY);
    // Some file systems take no fsync of a folder; the rename is then as safe as they make it.
    return error == EINVAL || error == ENOTSUP ? 0 : error;
}

TFile::~TFile() {
    Close();
}

int TFile::Open(const std::filesystem::path& path, int flags) noexcept {
    Close();
    Fd_ = ::open(path.c_str(), flags | O_CLOEXEC, 0666);
    return Fd_ >= 0 ? 0 : errno;
}

int TFile::Create(const std::filesystem::path& path) noexcept {
    return Open(path, O_WRONLY | O_CREAT | O_TRUNC);
}

int TFile::OpenExisting(const std::filesystem::path& path) noexcept {
    return Open(path, O_RDWR);
}

int TFile::ReadAt(int64_t offset, void* data, std::size_t size, std::size_t& got) noexcept {
    got = 0;
    while (got < size) {
        const ssize_t n =
            ::pread(Fd_, static_cast<char*>(data) + got, size - got, static_cast<off_t>(offset) + static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return 0;
}

int TFile::WriteAt(int64_t offset, const void* data, std::size_t size) noexcept {
    return WriteAll(data, size, [&](const char* bytes, std::size_t left, std::size_t done) {
        return ::pwrite(Fd_, bytes, left, static_cast<off_t>(offset) + static_cast<off_t>(done));
    });
}

int TFile::Append(const void* data, std::size_t size) noexcept {
    return WriteAll(data, size, [&](const char* bytes, std::size_t left, std::size_t) { return ::write(Fd_, bytes, left); });
}

int TFile::Sync() noexcept {
    return ErrorOf(::fsync(Fd_));
}

int TFile::Close() noexcept {
    if (Fd_ < 0) return 0;
    return ErrorOf(::close(std::exchange(Fd_, -1)));
}

}  // namespace tamber::platform
