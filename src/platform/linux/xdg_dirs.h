#pragma once
// Where per-user configuration lives on a freedesktop system.
#include <string>

namespace orp {

// $XDG_CONFIG_HOME when it is set to an absolute path (a relative one must be ignored), else
// $HOME/.config, with the home directory from the password database when HOME is unset.
std::string XdgConfigHome();

}  // namespace orp
