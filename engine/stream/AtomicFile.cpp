#include "stream/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool WriteFileAtomically(const std::string& hostPath, const void* data, size_t size,
                         std::string& error, bool sync) {
    error.clear();
    const size_t slash = hostPath.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : hostPath.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
    if (name.empty()) {
        error = hostPath + ": not a file name";
        return false;
    }
    // A hidden name beside the target keeps the rename within one file system.
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count() % 1000000;
    std::string temporary;
    int fd = -1;
    int openError = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "." + name + ".tmp" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter++) + "-" + std::to_string(stamp);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        openError = errno;
        if (fd < 0 && openError != EEXIST)
            break;
    }
    if (fd < 0) {
        error = "cannot create a file beside " + hostPath + ": " + std::strerror(openError);
        return false;
    }
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ::fchmod(fd, info.st_mode & 07777);

    const auto* bytes = static_cast<const char*>(data);
    size_t left = size;
    while (left > 0) {
        const ssize_t count = ::write(fd, bytes, left);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            error = std::string("cannot write: ") + std::strerror(count < 0 ? errno : EIO);
            break;
        }
        bytes += count;
        left -= static_cast<size_t>(count);
    }
    if (error.empty() && sync && ::fsync(fd) != 0)
        error = std::string("cannot flush: ") + std::strerror(errno);
    if (::close(fd) != 0 && error.empty())
        error = std::string("cannot close: ") + std::strerror(errno);
    if (error.empty() && ::rename(temporary.c_str(), hostPath.c_str()) != 0)
        error = std::string("cannot replace the file: ") + std::strerror(errno);
    if (!error.empty()) {
        ::unlink(temporary.c_str());
        error = hostPath + " not saved: " + error;
        return false;
    }
    return true;
}
