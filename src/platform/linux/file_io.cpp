#include "platform/linux/file_io.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace orp::fileio {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path, int err = errno) {
    throw std::system_error(err, std::generic_category(), what + " " + path);
}

// Writes everything, resuming after signals and short writes.
bool WriteAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void SyncDirectory(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // the rename is done; only its durability is at stake
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool IsAccessError(int err) {
    return err == EACCES || err == EPERM || err == EROFS;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 || errno != ENOENT;
}

std::optional<std::string> ReadFile(const std::string& path, std::size_t maxBytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return std::nullopt;
        Fail("cannot open", path);
    }
    std::string out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            Fail("cannot read", path, err);
        }
        if (n == 0) break;
        const std::size_t room = maxBytes + 1 - out.size();
        out.append(buf, std::min<std::size_t>(static_cast<std::size_t>(n), room));
        if (out.size() > maxBytes) break;
    }
    ::close(fd);
    return out;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes, mode_t mode) {
    const std::string dir = DirectoryOf(path);
    std::string temp = dir + "/." + FileNameOf(path) + ".tmp-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) Fail("cannot create a temporary file beside", path);
    int err = 0;
    if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes) || ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        Fail("cannot write", path, err);
    }
    SyncDirectory(dir);
}

bool KeepCopy(const std::string& target, const std::string& copy) {
    if (::link(target.c_str(), copy.c_str()) == 0) return true;
    if (errno == EEXIST) return false;
    const int in = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) Fail("cannot open", target);
    const int out = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        if (err == EEXIST) return false;
        Fail("cannot create", copy, err);
    }
    int err = 0;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            err = errno;
            break;
        }
        if (n == 0) break;
        if (!WriteAll(out, std::string(buf, static_cast<std::size_t>(n)))) {
            err = errno;
            break;
        }
    }
    if (err == 0 && ::fsync(out) != 0) err = errno;
    ::close(in);
    if (::close(out) != 0 && err == 0) err = errno;
    if (err != 0) {
        ::unlink(copy.c_str());
        Fail("cannot copy", target, err);
    }
    return true;
}

void MakeDirectories(const std::string& path, mode_t mode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) Fail("not a directory:", path, ENOTDIR);
        return;
    }
    if (errno != ENOENT) Fail("cannot use", path);
    const std::string parent = DirectoryOf(path);
    if (parent != path) MakeDirectories(parent, mode);
    // mkdir's mode is filtered by the umask; a private directory must end up private anyway.
    if (::mkdir(path.c_str(), mode) != 0) {
        if (errno == EEXIST) return MakeDirectories(path, mode);  // made by someone else meanwhile
        Fail("cannot create", path);
    }
    ::chmod(path.c_str(), mode);
}

ExclusiveLock::ExclusiveLock(const std::string& lockPath, mode_t mode) {
    fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, mode);
    if (fd_ < 0) Fail("cannot open the lock", lockPath);
    while (::flock(fd_, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        const int err = errno;
        ::close(fd_);
        Fail("cannot lock", lockPath, err);
    }
}

ExclusiveLock::~ExclusiveLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace orp::fileio
