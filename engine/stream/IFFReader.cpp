#include "stream/IFFReader.h"

#include "stream/FilePath.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr size_t kHeaderBytes = 8; // tag and size
constexpr size_t kFormTypeBytes = 4;

std::string OffsetText(size_t offset) {
    return "at byte " + std::to_string(offset);
}

} // namespace

std::string IFFTagText(IFFTag tag) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<unsigned char>(tag >> shift);
        if (byte >= 0x20 && byte <= 0x7E) {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        }
    }
    return text;
}

bool IsValidIFFTag(IFFTag tag) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<unsigned char>(tag >> shift);
        if (byte < 0x20 || byte > 0x7E)
            return false;
    }
    return true;
}

bool IFFReader::openFile(const char* path) {
    m_file.clear();
    m_data = nullptr;
    m_size = 0;
    m_attached = false;
    m_errorMessage.clear();
    m_errorOffset = 0;
    std::string host;
    if (!path || !FilePath::ConvertFromAlias(path, host, FilePath::kModeRelative)) {
        m_errorMessage = std::string("cannot resolve path ") + (path ? path : "(null)");
        return false;
    }
    // Non-blocking, so that a FIFO cannot hold the open; it is refused below.
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        m_errorMessage = std::string("cannot open ") + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    std::string failure;
    if (::fstat(fd, &info) != 0)
        failure = std::strerror(errno);
    else if (!S_ISREG(info.st_mode))
        failure = "not a file";
    else if (static_cast<unsigned long long>(info.st_size) > kIFFMaxFileBytes)
        failure = "larger than " + std::to_string(kIFFMaxFileBytes >> 20) + " MiB";
    if (failure.empty()) {
        m_file.resize(static_cast<size_t>(info.st_size));
        size_t done = 0;
        while (done < m_file.size()) {
            const ssize_t count = ::read(fd, m_file.data() + done, m_file.size() - done);
            if (count > 0) {
                done += static_cast<size_t>(count);
            } else if (count < 0 && errno == EINTR) {
                continue;
            } else {
                // The file shrank while being read: what was read is all there is.
                if (count < 0)
                    failure = std::strerror(errno);
                break;
            }
        }
        m_file.resize(done);
    }
    ::close(fd);
    if (!failure.empty()) {
        m_file.clear();
        m_errorMessage = std::string("cannot read ") + path + ": " + failure;
        return false;
    }
    m_data = m_file.data();
    m_size = m_file.size();
    m_attached = true;
    return true;
}

void IFFReader::attachMemory(const void* data, size_t size) {
    m_file.clear();
    m_data = static_cast<const uint8_t*>(data);
    m_size = data ? size : 0;
    m_attached = true;
    m_errorMessage.clear();
    m_errorOffset = 0;
}

void IFFReader::addChunkHandler(IFFTag formType, IFFTag tag, Handler handler) {
    m_chunkHandlers[{formType, tag}] = std::move(handler);
}

void IFFReader::addFormEndHandler(IFFTag formType, Handler handler) {
    m_formEndHandlers[formType] = std::move(handler);
}

int IFFReader::fail(int error, size_t offset, const std::string& message) {
    m_errorOffset = offset;
    m_errorMessage = message + " " + OffsetText(offset);
    return error;
}

int IFFReader::parse() {
    m_errorMessage.clear();
    m_errorOffset = 0;
    m_refusalReason.clear();
    if (!m_attached) {
        m_errorMessage = "nothing to read";
        return kIFFErrorNoData;
    }
    if (m_size == 0)
        return fail(kIFFErrorTruncated, 0, "no FORM");
    return parseChunks(0, m_size, 0, 0);
}

// Reads the chunks in [begin, end): the whole data at depth 0 (where only FORMs may
// stand), or the contents of a form of formType at depth >= 1.
int IFFReader::parseChunks(size_t begin, size_t end, IFFTag formType, int depth) {
    size_t at = begin;
    while (at < end) {
        if (end - at < kHeaderBytes)
            return fail(kIFFErrorTruncated, at, "chunk header cut short");
        const IFFTag tag = IFFLoadU32(m_data + at);
        const size_t size = IFFLoadU32(m_data + at + 4);
        if (!IsValidIFFTag(tag))
            return fail(kIFFErrorMalformed, at, "chunk tag '" + IFFTagText(tag) + "' not text");
        const size_t room = end - at - kHeaderBytes;
        if (size > room) {
            return fail(kIFFErrorSizePastEnd, at,
                        "chunk '" + IFFTagText(tag) + "' of " + std::to_string(size) +
                            " bytes runs past the end of its " + (depth ? "form" : "data"));
        }
        const size_t padded = size + (size & 1);
        if (padded > room)
            return fail(kIFFErrorTruncated, at,
                        "pad byte of chunk '" + IFFTagText(tag) + "' missing");
        const size_t dataAt = at + kHeaderBytes;
        if (tag == kIFFForm) {
            if (depth >= kIFFMaxDepth) {
                return fail(kIFFErrorTooDeep, at,
                            "forms nested deeper than " + std::to_string(kIFFMaxDepth));
            }
            if (size < kFormTypeBytes)
                return fail(kIFFErrorMalformed, at, "FORM too small for its type");
            const IFFTag type = IFFLoadU32(m_data + dataAt);
            if (!IsValidIFFTag(type))
                return fail(kIFFErrorMalformed, at,
                            "form type '" + IFFTagText(type) + "' not text");
            const int result = parseChunks(dataAt + kFormTypeBytes, dataAt + size, type, depth + 1);
            if (result != kIFFOk)
                return result;
            const auto handler = m_formEndHandlers.find(type);
            if (handler != m_formEndHandlers.end()) {
                const IFFChunk form{
                    type, kIFFForm, m_data + dataAt + kFormTypeBytes, size - kFormTypeBytes,
                    at,   depth + 1};
                if (!handler->second(form)) {
                    return fail(kIFFErrorRefused, at,
                                "form '" + IFFTagText(type) + "' refused" +
                                    (m_refusalReason.empty() ? "" : ": " + m_refusalReason));
                }
            }
        } else if (depth == 0) {
            return fail(kIFFErrorMalformed, at, "'" + IFFTagText(tag) + "' outside a FORM");
        } else {
            const auto handler = m_chunkHandlers.find({formType, tag});
            if (handler != m_chunkHandlers.end()) {
                const IFFChunk chunk{formType, tag, m_data + dataAt, size, at, depth};
                if (!handler->second(chunk)) {
                    return fail(kIFFErrorRefused, at,
                                "chunk '" + IFFTagText(formType) + "/" + IFFTagText(tag) +
                                    "' refused" +
                                    (m_refusalReason.empty() ? "" : ": " + m_refusalReason));
                }
            }
        }
        at = dataAt + padded;
    }
    return kIFFOk;
}
