// Writes the program icon as hicolor PNGs: <dir>/<n>x<n>/apps/<name>.png for every size.
// Usage: orp_render_icon <output-directory> <icon-name>
#include <QDir>
#include <QGuiApplication>
#include <cstdio>

#include "ui/app_icon.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <output-directory> <icon-name>\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (int s : orp::AppIconSizes()) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(s);
        if (!QDir().mkpath(dir)) {
            std::fprintf(stderr, "cannot create %s\n", qPrintable(dir));
            return 1;
        }
        const QString file = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!orp::AppIconPixmap(s).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
