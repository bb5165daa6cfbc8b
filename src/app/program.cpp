#include "app/program.h"

#include <QApplication>

namespace orp {
int RunProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
}  // namespace orp
