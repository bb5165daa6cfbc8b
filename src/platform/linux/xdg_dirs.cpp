#include "platform/linux/xdg_dirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace orp {

std::string XdgConfigHome() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return config;
    const char* home = std::getenv("HOME");
    std::string base;
    if (home && home[0] == '/') {
        base = home;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        base = pw->pw_dir;
    } else {
        base = "/";
    }
    if (base.size() > 1 && base.back() == '/') base.pop_back();
    return (base == "/" ? "" : base) + "/.config";
}

}  // namespace orp
