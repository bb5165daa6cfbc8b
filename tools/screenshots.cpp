// Renders every page of the main window offscreen to PNG files, so anyone can look at the pages
// without a desktop:  orp_screenshots [OUTDIR]   (default: screenshots/)
#include <QDir>
#include <QTabWidget>

#include <cstdio>

#include "app/application.h"
#include "fakes/window_fixture.h"
#include "ui/style.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    orp::OrpApplication app(argc, argv);
    orp::ApplyApplicationStyle(app);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);

    // A plausible machine: 16 GiB, a third free, some swap in use, a few runs in the log.
    orp::WindowFixture f;
    const std::int64_t M = orp::WindowFixture::kMiB;
    f.memory.status = {16384 * M - 300 * M, 5400 * M, 20480 * M, 9100 * M};
    f.processes.processes = {{"systemd", 12 << 20, 14 << 20, 0},
                             {"Xorg", 96 << 20, 130 << 20, 4 << 20},
                             {"firefox-esr", 812ll << 20, 990ll << 20, 33 << 20},
                             {"bash", 5 << 20, 6 << 20, 0},
                             {"pulseaudio", 19 << 20, 22 << 20, 1 << 20}};
    orp::TfrmORmain& w = f.Create();
    for (int i = 0; i < 120; ++i) {
        f.memory.status.availPhys = (5400 + 900 * ((i / 20) % 3) - 7 * (i % 20)) * M;
        f.processor.usages = {0.05 + 0.004 * (i % 40), 0.1, 0.07};
        w.UpdateCPULoad();
        w.tmrUsageTimer();
    }
    w.CleanRAM(20);
    w.resize(640, 408);
    w.show();

    auto* pages = w.findChild<QTabWidget*>(QStringLiteral("pg_RAM"));
    const char* names[] = {"memory", "monitor", "processes", "report", "settings", "about"};
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        app.processEvents();
        const QString file = QStringLiteral("%1/%2-%3.png").arg(out).arg(i + 1).arg(names[i]);
        if (!w.grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
        std::printf("%s\n", qPrintable(file));
    }

    // A run in progress: the pass panel over the target slider, the freeing panel over the rows.
    pages->setCurrentIndex(0);
    const QString running = out + QStringLiteral("/7-memory-freeing.png");
    bool saved = false;
    const std::int64_t half = f.heap.obtainCalls + w.TargetBlocks(20) / 2;
    f.heap.onObtain = [&] {
        if (saved || f.heap.obtainCalls != half) return;
        saved = w.grab().save(running);
    };
    w.CleanRAM(20);
    if (!saved) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(running));
        return 1;
    }
    std::printf("%s\n", qPrintable(running));
    return 0;
}
