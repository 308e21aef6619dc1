#include "Platform.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace tamber::platform {
namespace {

// Opens Path with Flags, runs fsync on it and closes it, keeping the first error.
bool Sync(const std::filesystem::path& path, int flags) noexcept {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    const bool closed = ::close(fd) == 0;
    if (!synced) errno = error;
    return synced && closed;
}

}  // namespace

bool MayWrite(const std::filesystem::path& path) noexcept {
    return ::access(path.c_str(), W_OK) == 0;
}

bool FlushFile(const std::filesystem::path& path) noexcept {
    return Sync(path, O_RDONLY);
}

bool FlushFolder(const std::filesystem::path& path) noexcept {
    if (Sync(path.empty() ? std::filesystem::path(".") : path, O_RDONLY | O_DIRECTORY)) return true;
    // Some file systems take no fsync of a folder; the rename is then as safe as they make it.
    return errno == EINVAL || errno == ENOTSUP;
}

}  // namespace tamber::platform
