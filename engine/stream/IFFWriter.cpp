#include "stream/IFFWriter.h"

#include "diag/Diag.h"
#include "stream/AtomicFile.h"
#include "stream/FilePath.h"

#include <limits>

namespace {

void StoreU32(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value >> 24);
    p[1] = static_cast<uint8_t>(value >> 16);
    p[2] = static_cast<uint8_t>(value >> 8);
    p[3] = static_cast<uint8_t>(value);
}

void CheckTag(IFFTag tag, const char* operation) {
    if (!IsValidIFFTag(tag))
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::%s: tag '%s' is not printable ASCII", operation,
                 IFFTagText(tag).c_str());
}

} // namespace

void IFFWriter::openHeader(IFFTag tag) {
    m_open.push_back(m_bytes.size());
    m_bytes.resize(m_bytes.size() + 8);
    StoreU32(m_bytes.data() + m_open.back(), tag);
}

void IFFWriter::closeHeader() {
    const size_t header = m_open.back();
    m_open.pop_back();
    const size_t size = m_bytes.size() - header - 8;
    if (size > std::numeric_limits<uint32_t>::max())
        m_overflow = true;
    StoreU32(m_bytes.data() + header + 4, static_cast<uint32_t>(size));
    if (size & 1)
        m_bytes.push_back(0);
}

void IFFWriter::beginForm(IFFTag formType) {
    CheckTag(formType, "beginForm");
    if (m_chunkOpen)
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::beginForm: a chunk is open");
    openHeader(kIFFForm);
    m_bytes.resize(m_bytes.size() + 4);
    StoreU32(m_bytes.data() + m_bytes.size() - 4, formType);
}

void IFFWriter::endForm() {
    if (m_chunkOpen)
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::endForm: a chunk is open");
    if (m_open.empty())
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::endForm: no form open");
    closeHeader();
}

void IFFWriter::addChunk(IFFTag tag, const void* data, size_t size) {
    beginChunk(tag);
    write(data, size);
    endChunk();
}

void IFFWriter::beginChunk(IFFTag tag) {
    CheckTag(tag, "beginChunk");
    if (tag == kIFFForm)
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::beginChunk: a FORM is begun with beginForm");
    if (m_chunkOpen || m_open.empty())
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::beginChunk: chunks belong inside a form");
    openHeader(tag);
    m_chunkOpen = true;
}

void IFFWriter::write(const void* data, size_t size) {
    if (!m_chunkOpen)
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::write: no chunk open");
    if (size == 0)
        return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), bytes, bytes + size);
}

void IFFWriter::writeU32(uint32_t value) {
    uint8_t bytes[4];
    StoreU32(bytes, value);
    write(bytes, sizeof bytes);
}

void IFFWriter::writeFloat(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    writeU32(bits);
}

void IFFWriter::endChunk() {
    if (!m_chunkOpen)
        DB_FATAL(__FILE__, __LINE__, "IFFWriter::endChunk: no chunk open");
    m_chunkOpen = false;
    closeHeader();
}

bool IFFWriter::saveFile(const char* path, std::string* error) const {
    std::string reason;
    std::string host;
    if (!isComplete())
        reason = m_overflow ? "data too large for an IFF chunk" : "forms or chunks left open";
    else if (!path || !FilePath::ConvertFromAlias(path, host, FilePath::kModeAbsolute))
        reason = std::string("cannot resolve path ") + (path ? path : "(null)");
    else
        WriteFileAtomically(host, m_bytes.data(), m_bytes.size(), reason);
    if (error)
        *error = reason;
    return reason.empty();
}
