#include "platform/file_sync.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace orp {

bool SyncToStorage(const std::string& path) {
    // fsync acts on the file, not on the descriptor, so a descriptor of our own will do; a
    // read-only one is enough and works for directories too.
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    int rc;
    do {
        rc = ::fsync(fd);
    } while (rc != 0 && errno == EINTR);
    ::close(fd);
    return rc == 0;
}

}  // namespace orp
