#pragma once
// The real main window, offscreen, over fake ports and a temporary program folder.
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/main_window.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_heap.h"
#include "fakes/fake_hot_key.h"
#include "fakes/fake_memory_status.h"
#include "fakes/fake_process_source.h"
#include "fakes/fake_processor_times.h"
#include "fakes/fake_registry.h"
#include "fakes/fake_run_entries.h"

namespace orp {

struct WindowFixture {
    static constexpr std::int64_t kMiB = 1048576;

    QTemporaryDir dir;
    FakeMemoryStatus memory;
    testing::FakeHeap heap;
    FakeRegistry registry;
    FakeProcessorTimes processor;
    FakeProcessSource processes;
    FakeRunEntries runEntries;
    FakeDialogs dialogs;
    FakeHotKey hotKey;
    std::vector<std::string> params;
    std::string fileVersion = "2.2.0.1";
    bool trayAvailable = true;
    QDateTime now = QDateTime(QDate(2026, 12, 11), QTime(10, 15, 30));
    std::unique_ptr<TfrmORmain> window;

    WindowFixture() {
        memory.status = {1024 * kMiB, 313 * kMiB, 2048 * kMiB, 1024 * kMiB};
        processor.usages = {0.2, 0.4, 0.3};
        processor.hasTotal = true;
        processes.processes = {{"bash", 4 << 20, 8 << 20, 0},
                               {"Xorg", 90 << 20, 120 << 20, 1 << 20}};
    }

    // The program's folder: the temporary folder, or a folder inside it when `programFolder`
    // names one (created by Create).
    std::string programFolder;
    std::string Folder() const {
        return dir.path().toStdString() + (programFolder.empty() ? "" : "/" + programFolder);
    }
    std::string ExePath() const { return Folder() + "/ORPRAM"; }
    std::string LogPath() const { return Folder() + "/orpram.orl"; }

    ~WindowFixture() {
        window.reset();
        if (auto* app = OrpApplication::Instance()) app->SetDialogs(nullptr);
    }

    TfrmORmain& Create() {
        // Errors that reach the application-wide handler land in this fixture's dialogs.
        if (auto* app = OrpApplication::Instance()) app->SetDialogs(&dialogs);
        QDir().mkpath(QString::fromStdString(Folder()));
        WindowPorts p;
        p.memory = &memory;
        p.heap = &heap;
        p.registry = &registry;
        p.processor = &processor;
        p.processes = &processes;
        p.runEntries = &runEntries;
        p.dialogs = &dialogs;
        p.hotKey = &hotKey;
        p.exeName = ExePath();
        p.params = params;
        p.fileVersion = fileVersion;
        p.trayAvailable = [this] { return trayAvailable; };
        p.now = [this] { return now; };
        window = std::make_unique<TfrmORmain>(std::move(p));
        return *window;
    }

    // The window's timers keep running while a test drives its handlers, and a run's message
    // processing would deliver their ticks once a second has passed; a day-long interval leaves
    // every tick to the test (runs restart the timers with the interval they hold).
    void QuietTimers() {
        for (const char* name : {"tmrUsage", "tmrCheckCPU", "tmr_Process"})
            if (auto* t = window->findChild<QTimer*>(QString::fromLatin1(name)))
                t->setInterval(24 * 3600 * 1000);
    }

    template <typename T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }
};

}  // namespace orp
