#pragma once

// A file written piece by piece that appears under its name only when it is complete.
// Every file Sparv writes goes through here (FX files, pictures, animations, snapshots).
//
// Bytes go to a hidden temporary file beside the target; Commit renames it over the
// target. Until then the target is untouched, and a writer destroyed without a commit (a
// failed write, a cancelled export, an exception) removes its temporary file. Several
// writers may be finished first and committed together, so that a set of files (a
// numbered picture sequence) replaces the old one only when every file is written.

#include <cstddef>
#include <string>

class AtomicFileWriter {
public:
    // How a file's data, or a folder's entries, are flushed to the disk (fsync). Tests put
    // in one that fails, to see that a failed flush leaves the old file whole.
    using FlushFunction = int (*)(int fd);
    // Replaces the flush; null: the system's fsync again. Returns the one it replaces.
    static FlushFunction SetFlush(FlushFunction flush);

    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&& other) noexcept;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Creates the temporary file beside hostPath. False, with a reason naming the target
    // and the system's error, when the folder is missing or not writable.
    bool Open(const std::string& hostPath, std::string& error);
    // Appends bytes. False, with a reason, when the disk is full or the write fails; the
    // writer is then failed and every later call fails too.
    bool Write(const void* data, size_t size, std::string& error);
    // Flushes and closes the temporary file (sync: to the disk first). False, with a
    // reason, when that fails or a write failed before.
    bool Finish(std::string& error, bool sync = false);
    // Renames the finished temporary file over the target, keeping the old target's
    // permissions. False, with a reason, when the rename fails; the target is then as it
    // was. durable: the data is flushed before the rename (if Finish did not already) and
    // the folder after it, so the new file is on the disk when Commit returns true; a
    // failed flush of the data leaves the target as it was.
    bool Commit(std::string& error, bool durable = false);
    // Removes the temporary file; the target is untouched. Nothing after this succeeds.
    void Abandon();

    const std::string& TargetPath() const { return m_target; }
    bool IsOpen() const { return m_fd >= 0; }

private:
    std::string m_target;
    std::string m_temporary;
    int m_fd = -1;
    bool m_finished = false;
    bool m_failed = false;
};
