#pragma once
// Port: forcing a file's data to stable storage, so that a file replaced by rename survives a
// crash or power loss with its new contents rather than as an empty or torn file.
//
// Contract
// - SyncToStorage(path) makes the data and size of the file at `path`, or the entries of the
//   directory at `path`, durable before it returns; true on success.
// - False when the path cannot be opened or the system reports a failure to write it back
//   (a disk that went bad, a full network share). Never throws.
// - It is the syncer the core's file replacement uses: install it once at start-up with
//   SetFileSyncer(SyncToStorage) (log/file_replace.h).
#include <string>

namespace orp {
bool SyncToStorage(const std::string& path);
}  // namespace orp
