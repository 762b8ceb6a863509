#include "stream/AtomicFile.h"

#include "stream/AtomicFileWriter.h"

bool WriteFileAtomically(const std::string& hostPath, const void* data, size_t size,
                         std::string& error, bool sync) {
    error.clear();
    AtomicFileWriter file;
    return file.Open(hostPath, error) && file.Write(data, size, error) &&
           file.Finish(error, sync) && file.Commit(error, sync);
}
