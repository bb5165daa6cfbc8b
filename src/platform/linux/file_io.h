#pragma once
// Small POSIX file helpers shared by the adapters that keep state in files: whole-file reads
// with a size cap, atomic replacement, directory creation with a mode, and an exclusive lock.
// Every failure throws std::system_error carrying errno, so callers can tell "may not" (EACCES,
// EPERM, EROFS) from "could not".
#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>

namespace orp::fileio {

// The whole file, or nullopt when it does not exist. A file longer than maxBytes is read only up
// to maxBytes + 1 bytes, so the caller sees that it is too long without holding all of it.
std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes);

// False only when nothing is at `path`; any other trouble is left for the real access to report.
bool Exists(const std::string& path);

// Replaces `path` with `bytes` so that a reader sees either the old file or the new one, never
// a mixture, and a failure (disk full, no rights) leaves the old file as it was: the bytes go to
// a temporary file in the same directory, which is flushed to disk, given `mode` and renamed over
// the target; then the directory is flushed so the rename survives a crash.
void WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t mode);

// Gives `target` a second name `copy` (a hard link, or a copy where the file system has no
// links); false when `copy` exists already. The copy is made private (mode 0600).
bool KeepCopy(const std::string& target, const std::string& copy);

// Creates the directory and any missing parents; the ones it creates get `mode`.
void MakeDirectories(const std::string& path, mode_t mode);

std::string DirectoryOf(const std::string& path);
std::string FileNameOf(const std::string& path);

// An exclusive advisory lock (flock) on a lock file, held for the object's life. The lock file
// is created when absent and never removed, since removing it would let two holders lock two
// different files.
class ExclusiveLock {
public:
    ExclusiveLock(const std::string& lockPath, mode_t mode);
    ~ExclusiveLock();
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    int fd_ = -1;
};

// True for the errno values that mean this account may not write there.
bool IsAccessError(int err);

}  // namespace orp::fileio
