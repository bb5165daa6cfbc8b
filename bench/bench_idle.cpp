// What the running program costs while nobody uses it: CPU time as a share of one core and
// resident size over a stretch of 1-second updates, first with the window hidden in the tray,
// then with it shown on the Monitor page. The references are two Qt programs started beside it
// and measured over the same seconds (an empty event loop, and one that also wakes once a
// second), and the goals (0.2 % of a core, 50 MiB).
//
// It runs a copy of the real ORPRAM with its own XDG directories on the desktop in $DISPLAY,
// which must have a notification area (e.g. Xvfb with openbox and tint2), and drives it with
// xdotool as a user would:
//   bench_idle [--program PATH] [--seconds N] [--shots DIR]
// PATH defaults to the ORPRAM built beside this benchmark; N to 60.
#include <QApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QString>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr double kCpuGoalPercent = 0.2;
constexpr double kRssGoalMiB = 50.0;
constexpr char kWindowTitle[] = "^ Orrindo Pro 2.2$";

// ---- reading a process ----

struct Usage {
    double cpuSeconds = 0;  // user + system time of every thread, from /proc/PID/stat
    double runSeconds = 0;  // the same to the nanosecond: run time of every thread (schedstat)
    double rssMiB = 0;      // VmRSS
    double peakMiB = 0;     // VmHWM
    double anonMiB = 0;     // RssAnon: what the process itself allocated
};

std::optional<Usage> ReadUsage(pid_t pid) {
    const std::string dir = "/proc/" + std::to_string(pid);
    std::ifstream stat(dir + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return std::nullopt;
    // The command name in brackets may hold blanks; the fields after it are plain.
    const auto close = line.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(line.substr(close + 2));
    std::vector<std::string> f;
    for (std::string s; fields >> s;) f.push_back(s);
    if (f.size() < 13) return std::nullopt;
    Usage u;
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    u.cpuSeconds = (std::stod(f[11]) + std::stod(f[12])) / tick;  // utime, stime

    // Clock ticks are 10 ms; an idle minute is a handful of them, so the scheduler's own
    // nanosecond count of each thread gives the ratios their precision.
    std::error_code ec;
    for (const auto& task : fs::directory_iterator(dir + "/task", ec)) {
        std::ifstream sched(task.path() / "schedstat");
        double ns = 0;
        if (sched >> ns) u.runSeconds += ns / 1e9;
    }

    std::ifstream status(dir + "/status");
    for (std::string l; std::getline(status, l);) {
        auto kib = [&](const char* key, double& out) {
            if (l.rfind(key, 0) == 0) out = std::stod(l.substr(std::strlen(key))) / 1024.0;
        };
        kib("VmRSS:", u.rssMiB);
        kib("VmHWM:", u.peakMiB);
        kib("RssAnon:", u.anonMiB);
    }
    return u;
}

// ---- children ----

std::vector<std::string> Environment(const fs::path& root) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string s = *e;
        if (s.rfind("XDG_CONFIG_HOME=", 0) == 0 || s.rfind("XDG_RUNTIME_DIR=", 0) == 0 ||
            s.rfind("QT_QPA_PLATFORM=", 0) == 0)
            continue;
        env.push_back(s);
    }
    env.push_back("XDG_CONFIG_HOME=" + (root / "config").string());
    env.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    return env;
}

pid_t Spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env,
            const fs::path& output) {
    std::vector<char*> a, e;
    for (const auto& s : argv) a.push_back(const_cast<char*>(s.c_str()));
    a.push_back(nullptr);
    for (const auto& s : env) e.push_back(const_cast<char*>(s.c_str()));
    e.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    if (posix_spawnp(&pid, a[0], &actions, nullptr, a.data(), e.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits up to `seconds` for the child to end; its exit status, or nullopt while it still runs.
std::optional<int> WaitFor(pid_t pid, double seconds) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    do {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (Clock::now() < end);
    return std::nullopt;
}

void End(pid_t pid) {
    if (pid <= 0) return;
    ::kill(pid, SIGTERM);
    if (!WaitFor(pid, 10)) {
        ::kill(pid, SIGKILL);
        WaitFor(pid, 5);
    }
}

// Output of a short command (xdotool), trailing blank lines removed.
std::string Capture(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        ::pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

bool HaveCommand(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The ids of the visible windows titled like the main window, one a line.
std::string VisibleMainWindows() {
    return Capture(std::string("xdotool search --onlyvisible --name '") + kWindowTitle +
                   "' 2>/dev/null");
}

// ---- the Monitor page, seen from outside ----

// Share of the window's pixels that are black: the graph fills most of the Monitor page with its
// black background, no other page has a large black area.
double BlackShare(unsigned long window, const QString& saveAs) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return 0;
    const QImage image = screen->grabWindow(window).toImage();
    if (image.isNull()) return 0;
    if (!saveAs.isEmpty()) image.save(saveAs);
    long black = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qRed(c) < 8 && qGreen(c) < 8 && qBlue(c) < 8) ++black;
        }
    return static_cast<double>(black) / (static_cast<double>(image.width()) * image.height());
}

// ---- measuring ----

struct Interval {
    double cpuPercent = 0;   // of one core, from the scheduler's nanoseconds
    double tickPercent = 0;  // of one core, from the clock ticks of /proc/PID/stat
    Usage end;
};

// A child that has ended stays readable in /proc until it is reaped, with nothing resident.
bool Running(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == 0;
}

// Samples every process at the start and the end of the same stretch of seconds.
std::optional<std::vector<Interval>> Measure(const std::vector<pid_t>& pids, double seconds) {
    std::vector<Usage> start;
    for (pid_t pid : pids)
        if (auto u = ReadUsage(pid)) start.push_back(*u);
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    std::vector<Interval> out;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const auto end = ReadUsage(pids[i]);
        if (!end || start.size() != pids.size() || !Running(pids[i])) return std::nullopt;
        out.push_back({100.0 * (end->runSeconds - start[i].runSeconds) / wall,
                       100.0 * (end->cpuSeconds - start[i].cpuSeconds) / wall, *end});
    }
    return out;
}

std::string Ratio(double value, double reference) {
    if (reference <= 0) return value <= 0 ? "1.00" : "inf";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", value / reference);
    return buf;
}

// Each row against the goal, the empty loop and the loop that wakes once a second.
void PrintTable(const char* title, double seconds, const std::vector<Interval>& rows) {
    static const char* const kNames[] = {"ORPRAM", "empty Qt event loop", "Qt loop, 1 s timer"};
    std::printf("\n%s, %.0f s\n", title, seconds);
    std::printf("%-20s %9s %9s %6s %6s %6s  %10s %6s %6s %6s  %s\n", "", "CPU/core", "(ticks)",
                "xgoal", "xempty", "xtimer", "resident", "xgoal", "xempty", "xtimer", "peak, own");
    const Interval& empty = rows[1];
    const Interval& timer = rows[2];
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Interval& r = rows[i];
        std::printf(
            "%-20s %7.3f %% %7.3f %% %6s %6s %6s  %6.1f MiB %6s %6s %6s  %.1f, %.1f MiB\n",
            kNames[i], r.cpuPercent, r.tickPercent, Ratio(r.cpuPercent, kCpuGoalPercent).c_str(),
            Ratio(r.cpuPercent, empty.cpuPercent).c_str(),
            Ratio(r.cpuPercent, timer.cpuPercent).c_str(), r.end.rssMiB,
            Ratio(r.end.rssMiB, kRssGoalMiB).c_str(), Ratio(r.end.rssMiB, empty.end.rssMiB).c_str(),
            Ratio(r.end.rssMiB, timer.end.rssMiB).c_str(), r.end.peakMiB, r.end.anonMiB);
    }
}

// The references: a Qt application that only waits, and one that also wakes once a second,
// the least that any program refreshing its figures every second must pay.
int ReferenceLoop(int argc, char** argv, bool ticking) {
    QApplication app(argc, argv);
    QTimer timer;
    if (ticking) {
        QObject::connect(&timer, &QTimer::timeout, [] {});
        timer.start(1000);
    }
    return app.exec();
}

struct Options {
    fs::path program;
    double seconds = 60;
    fs::path shots;
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    o.program = fs::canonical("/proc/self/exe").parent_path().parent_path() / "bin" / "ORPRAM";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string k = argv[i];
        if (k == "--program")
            o.program = argv[i + 1];
        else if (k == "--seconds")
            o.seconds = std::stod(argv[i + 1]);
        else if (k == "--shots")
            o.shots = argv[i + 1];
    }
    return o;
}

// A private program folder: the executable, its launcher and help beside it, its own log.
fs::path MakeProgramCopy(const fs::path& program, const fs::path& root) {
    const fs::path bin = root / "bin";
    fs::create_directories(bin);
    for (const char* name : {"ORPstub", "Orrindo Pro.chm"})
        if (fs::exists(program.parent_path() / name))
            fs::copy_file(program.parent_path() / name, bin / name);
    fs::copy_file(program, bin / "ORPRAM");
    fs::create_directories(root / "config");
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);
    return bin / "ORPRAM";
}

bool WaitUntil(double seconds, const auto& condition) {
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return condition();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--empty-loop") == 0)
        return ReferenceLoop(argc, argv, false);
    if (argc > 1 && std::strcmp(argv[1], "--timer-loop") == 0)
        return ReferenceLoop(argc, argv, true);

    const Options opt = ParseOptions(argc, argv);
    if (!std::getenv("DISPLAY") || !HaveCommand("xdotool")) {
        std::fprintf(stderr,
                     "bench_idle needs a desktop with a notification area in $DISPLAY and "
                     "xdotool (e.g. Xvfb + openbox + tint2).\n");
        return 2;
    }
    if (!fs::exists(opt.program)) {
        std::fprintf(stderr, "no program at %s (--program PATH)\n", opt.program.c_str());
        return 2;
    }
    // The harness reads the screen through Qt; it is not measured.
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication harness(argc, argv);

    char tmpl[] = "/tmp/orp-idle-XXXXXX";
    if (!::mkdtemp(tmpl)) return 1;
    const fs::path root = tmpl;
    const fs::path exe = MakeProgramCopy(opt.program, root);
    const std::vector<std::string> env = Environment(root);
    const fs::path out = root / "output.txt";
    if (!opt.shots.empty()) fs::create_directories(opt.shots);

    const std::string self = fs::canonical("/proc/self/exe").string();
    const pid_t program = Spawn({exe.string()}, env, out);
    const pid_t reference = Spawn({self, "--empty-loop"}, env, out);
    const pid_t ticking = Spawn({self, "--timer-loop"}, env, out);
    const std::vector<pid_t> measured = {program, reference, ticking};
    int rc = 0;
    auto fail = [&](const char* why) {
        std::fprintf(stderr, "bench_idle: %s (program output in %s)\n", why, out.c_str());
        rc = 1;
    };

    std::printf(
        "program %s; references started beside it: an empty Qt event loop, and one "
        "with a 1-second timer\n",
        opt.program.c_str());
    const fs::path userFile = root / "config" / "orrindo-pro" / "user.reg";
    do {
        if (program <= 0 || reference <= 0 || ticking <= 0) {
            fail("cannot start the program or the reference");
            break;
        }
        // The settings file is written by the start-up sequence; a few seconds more let the
        // first ticks, the first process scan and the font cache settle.
        if (!WaitUntil(30, [&] { return fs::exists(userFile); })) {
            fail("the program did not start");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(5));
        if (!Running(program)) {
            fail("the program ended at start: is another instance running with these folders?");
            break;
        }
        if (!VisibleMainWindows().empty()) {
            fail("the window is shown at start: is there a notification area?");
            break;
        }

        const auto hidden = Measure(measured, opt.seconds);
        if (!hidden) {
            fail("the program ended while it was measured");
            break;
        }
        PrintTable("Window hidden in the tray", opt.seconds, *hidden);

        // A second start without parameters brings the first forward, which is the same
        // handler as the tray menu's "Show Main Window" without depending on where the panel
        // puts the icon.
        const pid_t second = Spawn({exe.string()}, env, out);
        if (!WaitFor(second, 30)) {
            End(second);
            fail("the second start did not end");
            break;
        }
        std::string window;
        WaitUntil(10, [&] { return !(window = VisibleMainWindows()).empty(); });
        if (window.empty() || window.find('\n') != std::string::npos) {
            fail("the main window did not come forward");
            break;
        }
        // The start-up sequence selected the Memory page; Ctrl+Tab moves the page control on.
        std::system(("xdotool windowactivate --sync " + window + " >/dev/null 2>&1").c_str());
        std::system("xdotool key --clearmodifiers ctrl+Tab >/dev/null 2>&1");
        const unsigned long wid = std::stoul(window);
        const QString shot = opt.shots.empty()
                                 ? QString()
                                 : QString::fromStdString((opt.shots / "monitor.png").string());
        double black = 0;
        WaitUntil(5, [&] { return (black = BlackShare(wid, shot)) > 0.25; });
        if (black <= 0.25) {
            fail("the Monitor page did not come up");
            break;
        }
        std::this_thread::sleep_for(std::chrono::seconds(2));

        const auto shown = Measure(measured, opt.seconds);
        if (!shown) {
            fail("the program ended while it was measured");
            break;
        }
        PrintTable("Window shown on the Monitor page", opt.seconds, *shown);
        std::printf(
            "\ngoals: %.1f %% of a core, %.0f MiB resident; xempty and xtimer compare with the "
            "reference loops over the same seconds; own = RssAnon\n",
            kCpuGoalPercent, kRssGoalMiB);
    } while (false);

    End(program);
    End(reference);
    End(ticking);
    if (rc == 0) fs::remove_all(root);
    return rc;
}
