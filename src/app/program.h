#pragma once

namespace orp {
// Program entry: the application object, the main window, the message loop.
int RunProgram(int argc, char** argv);
}  // namespace orp
