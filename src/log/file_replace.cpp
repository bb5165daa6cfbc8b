#include "log/file_replace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <utility>

#include "log/grid_file.h"

namespace orp {

namespace {

FileSyncer& Syncer() {
    static FileSyncer syncer;
    return syncer;
}

bool Sync(const std::string& path) {
    if (!Syncer()) return true;
    try {
        return Syncer()(path);
    } catch (...) {
        return false;
    }
}

std::string RandomTail() {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    static std::mt19937_64 gen{std::random_device{}()};
    std::string tail(10, '0');
    for (char& c : tail) c = kDigits[gen() % (sizeof(kDigits) - 1)];
    return tail;
}

std::string IoError(const std::string& fileName, int err) {
    std::string message = "I/O error writing " + fileName;
    if (err != 0) message += std::string(": ") + std::strerror(err);
    return message;
}

// Creates a new, not yet existing temporary file beside the target ("x": never reuses or
// follows something that is already there, so two instances saving at once do not collide).
std::FILE* CreateTemporary(const std::string& fileName, std::string& tempName) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        tempName = TemporaryPrefixFor(fileName) + RandomTail();
        errno = 0;
        if (std::FILE* f = std::fopen(tempName.c_str(), "wbx")) return f;
        if (errno != EEXIST) return nullptr;
    }
    return nullptr;
}

std::string DirectoryOf(const std::string& fileName) {
    const std::string dir = std::filesystem::path(fileName).parent_path().string();
    return dir.empty() ? std::string(".") : dir;
}

}  // namespace

void SetFileSyncer(FileSyncer syncer) {
    Syncer() = std::move(syncer);
}

std::string TemporaryPrefixFor(const std::string& fileName) {
    return fileName + ".tmp-";
}

void ReplaceFile(const std::string& fileName, std::string_view bytes,
                 const std::string& cannotCreate) {
    // Renaming over a file needs no write access to it, only to its directory; a file that
    // cannot be written (made read-only by its owner) must stay as it is all the same. Only a
    // plain file is replaced: opening a FIFO to probe it would block.
    std::error_code ec;
    if (std::filesystem::exists(fileName, ec)) {
        if (!std::filesystem::is_regular_file(fileName, ec))
            throw GridFileError(cannotCreate + fileName);
        std::FILE* probe = std::fopen(fileName.c_str(), "ab");
        if (!probe) throw GridFileError(cannotCreate + fileName);
        std::fclose(probe);
    }

    std::string tempName;
    std::FILE* f = CreateTemporary(fileName, tempName);
    if (!f) throw GridFileError(cannotCreate + fileName);

    errno = 0;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && std::fflush(f) == 0;
    int err = errno;
    // Closing can be where a delayed write error shows up, so its result counts too.
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && !Sync(tempName)) {
        ok = false;
        err = 0;
    }
    if (!ok) {
        std::remove(tempName.c_str());
        throw GridFileError(IoError(fileName, err));
    }

    std::filesystem::rename(tempName, fileName, ec);
    if (ec) {
        std::remove(tempName.c_str());
        throw GridFileError(cannotCreate + fileName);
    }
    // The new name reaches storage with its directory; the contents are already in place, so
    // a failure here costs durability at worst and is not reported.
    Sync(DirectoryOf(fileName));
}

}  // namespace orp
