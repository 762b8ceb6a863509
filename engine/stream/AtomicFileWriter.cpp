#include "stream/AtomicFileWriter.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

AtomicFileWriter::FlushFunction g_flush = nullptr;

int Flush(int fd) {
    return g_flush ? g_flush(fd) : ::fsync(fd);
}

} // namespace

AtomicFileWriter::FlushFunction AtomicFileWriter::SetFlush(FlushFunction flush) {
    return std::exchange(g_flush, flush);
}

AtomicFileWriter::~AtomicFileWriter() {
    Abandon();
}

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : m_target(std::move(other.m_target)), m_temporary(std::move(other.m_temporary)),
      m_fd(std::exchange(other.m_fd, -1)), m_finished(other.m_finished), m_failed(other.m_failed) {
    other.m_temporary.clear();
}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
    if (this != &other) {
        Abandon();
        m_target = std::move(other.m_target);
        m_temporary = std::move(other.m_temporary);
        m_fd = std::exchange(other.m_fd, -1);
        m_finished = other.m_finished;
        m_failed = other.m_failed;
        other.m_temporary.clear();
    }
    return *this;
}

bool AtomicFileWriter::Open(const std::string& hostPath, std::string& error) {
    Abandon();
    m_failed = false;
    m_finished = false;
    m_target = hostPath;
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
    int openError = 0;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary = folder + "." + name + ".part" + std::to_string(::getpid()) + "-" +
                      std::to_string(counter++) + "-" + std::to_string(stamp);
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        openError = errno;
        if (m_fd < 0 && openError != EEXIST)
            break;
    }
    if (m_fd < 0) {
        m_temporary.clear();
        error = "cannot create a file beside " + hostPath + ": " + std::strerror(openError);
        return false;
    }
    return true;
}

bool AtomicFileWriter::Write(const void* data, size_t size, std::string& error) {
    if (m_fd < 0 || m_failed) {
        error = m_target + ": the file is not open for writing";
        return false;
    }
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t count = ::write(m_fd, bytes, size);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            m_failed = true;
            error = m_target + " not written: " + std::strerror(count < 0 ? errno : EIO);
            return false;
        }
        bytes += count;
        size -= static_cast<size_t>(count);
    }
    return true;
}

bool AtomicFileWriter::Finish(std::string& error, bool sync) {
    if (m_finished && !m_failed)
        return true;
    if (m_fd < 0 || m_failed) {
        error = m_target + " not written: an earlier write failed";
        return false;
    }
    std::string why;
    if (sync && Flush(m_fd) != 0)
        why = std::string("cannot flush: ") + std::strerror(errno);
    if (::close(m_fd) != 0 && why.empty())
        why = std::string("cannot close: ") + std::strerror(errno);
    m_fd = -1;
    if (!why.empty()) {
        m_failed = true;
        error = m_target + " not written: " + why;
        return false;
    }
    m_finished = true;
    return true;
}

bool AtomicFileWriter::Commit(std::string& error, bool durable) {
    if (!m_finished && !Finish(error, durable))
        return false;
    if (m_failed || m_temporary.empty()) {
        error = m_target + " not written: an earlier write failed";
        return false;
    }
    struct stat info {};
    if (::stat(m_target.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        ::chmod(m_temporary.c_str(), info.st_mode & 07777);
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        error = m_target + " not written: cannot replace the file: " + std::strerror(errno);
        return false;
    }
    m_temporary.clear();
    if (!durable)
        return true;
    // The rename is an entry of the folder: it reaches the disk with the folder.
    const size_t slash = m_target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : m_target.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool flushed = fd >= 0 && Flush(fd) == 0;
    const int flushError = errno;
    if (fd >= 0)
        ::close(fd);
    if (!flushed) {
        error = m_target + " written, but its folder cannot be flushed to the disk: " +
                std::strerror(flushError);
        return false;
    }
    return true;
}

void AtomicFileWriter::Abandon() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
    m_finished = false;
}
