#pragma once
// Replacing a file as a whole: the new bytes go to a temporary file beside the target, which is
// flushed, forced to storage and renamed over the target. A reader (or the next start after a
// crash or power loss) sees either the old file or the new one, never a torn mixture, and a
// write that fails half-way (disk full) leaves the old file as it was.
#include <functional>
#include <string>
#include <string_view>

namespace orp {

// Forces the data of the file or directory at `path` to stable storage; false when it could not.
// The core has no way to reach the operating system, so the platform layer installs its own
// (SetFileSyncer(SyncToStorage) at start-up). Without one, files are only handed to the system.
using FileSyncer = std::function<bool(const std::string& path)>;
void SetFileSyncer(FileSyncer syncer);

// Writes `bytes` as the new contents of `fileName`, replacing any file of that name.
// Throws GridFileError with `cannotCreate` + fileName when the file cannot be created or put in
// place, or when the existing one may not be written or is no plain file; with
// "I/O error writing " + fileName (and the system's reason) when a write, the flush or the sync
// fails. On every failure the previous file is untouched and no temporary is left.
void ReplaceFile(const std::string& fileName, std::string_view bytes,
                 const std::string& cannotCreate);

// The temporary files ReplaceFile uses for `fileName` are named this prefix plus a random tail.
std::string TemporaryPrefixFor(const std::string& fileName);

}  // namespace orp
