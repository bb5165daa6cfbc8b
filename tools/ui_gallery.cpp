// Renders the window's custom widgets, in the application style, to PNG files: a quick way to
// look at them without the window. Usage: orp_ui_gallery [output-directory]
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>

#include "log/string_table.h"
#include "ui/app_icon.h"
#include "ui/controls.h"
#include "ui/gradient_bar.h"
#include "ui/panel_colours.h"
#include "ui/scope_graph.h"
#include "ui/string_table_model.h"
#include "ui/style.h"

namespace {

QString g_out;

void Save(QWidget* w, const QString& name) {
    w->ensurePolished();
    QApplication::processEvents();
    const QString path = g_out + QLatin1Char('/') + name + QStringLiteral(".png");
    if (!w->grab().save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

QWidget* MemoryPage() {
    auto* page = new QWidget;
    page->resize(551, 330);
    auto* outer = new QVBoxLayout(page);
    outer->setContentsMargins(4, 4, 4, 4);
    auto* total = new orp::TsuiPanel(QStringLiteral("Total RAM: 1024 MiB"));
    auto* grid = new QGridLayout(total);
    grid->setHorizontalSpacing(10);
    struct Row {
        const char* label;
        const char* value;
        QColor from, to;
        int percent;
    };
    const Row rows[] = {
        {"Memory now in use:", "712 MiB", QColor(0, 255, 0), QColor(255, 0, 0), 69},
        {"Memory currenty free:", "313 MiB", QColor(255, 0, 0), QColor(0, 255, 0), 31},
        {"CPU Usage:", "12%", QColor(0, 255, 0), QColor(255, 0, 0), 12},
        {"Virtual Memory:", "Used: 1480 MiB", QColor(0, 255, 0), QColor(255, 0, 0), 48},
    };
    int r = 0;
    for (const Row& row : rows) {
        grid->addWidget(new orp::TJvLabel(QString::fromUtf8(row.label)), r, 0);
        auto* value = new orp::TJvLabel(QString::fromUtf8(row.value));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(value, r, 1);
        auto* bar = new orp::GradientBar(row.from, row.to);
        bar->setValue(row.percent);
        grid->addWidget(bar, r, 2);
        ++r;
    }
    grid->setColumnStretch(2, 1);
    outer->addWidget(total, 1);
    auto* free = new orp::TsuiPanel(QStringLiteral("RAM to free: 20% (205 MiB)"));
    auto* fl = new QHBoxLayout(free);
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 100);
    slider->setValue(20);
    fl->addWidget(slider, 2);
    auto* target = new orp::GradientBar(QColor(40, 90, 200), QColor(120, 190, 255));
    target->setValue(20);
    fl->addWidget(target, 1);
    fl->addWidget(new QPushButton(QStringLiteral("Free RAM")));
    outer->addWidget(free);
    return page;
}

QWidget* MonitorPage() {
    auto* panel = new orp::TsuiPanel(QStringLiteral("RAM Usage Monitor"));
    panel->resize(551, 330);
    auto* v = new QVBoxLayout(panel);
    auto* axes = new QHBoxLayout;
    axes->addWidget(new orp::TJvLabel(QStringLiteral("100%")));
    axes->addStretch();
    axes->addWidget(new orp::TJvLabel(QStringLiteral("Total RAM: 1024 MiB")));
    v->addLayout(axes);
    auto* graph = new orp::ScopeGraph;
    for (int i = 0; i < 600; ++i) {
        const int free = 30 + static_cast<int>(8 * std::sin(i / 23.0) + 3 * std::sin(i / 5.0));
        graph->AddSample(1, 100 - free);
        graph->AddSample(0, free);
        graph->AddSample(
            2, static_cast<int>(15 + 12 * std::fabs(std::sin(i / 11.0)) + (i % 97 < 6 ? 50 : 0)));
    }
    graph->SetBaseLine(70);
    graph->SetActive(true);
    v->addWidget(graph, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(new orp::TJvLabel(QStringLiteral("0%")));
    bottom->addStretch();
    bottom->addWidget(new orp::TJvLabel(QStringLiteral("0 Mb")));
    v->addLayout(bottom);
    auto* boxes = new QHBoxLayout;
    auto* used = new orp::TsuiCheckBox(QStringLiteral("Used RAM"));
    used->setChecked(true);
    auto* freeBox = new orp::TsuiCheckBox(QStringLiteral("Free RAM"));
    freeBox->setChecked(true);
    auto* cpu = new orp::TsuiCheckBox(QStringLiteral("CPU"));
    cpu->setChecked(true);
    boxes->addWidget(used);
    boxes->addWidget(freeBox);
    boxes->addWidget(cpu);
    boxes->addStretch();
    v->addLayout(boxes);
    return panel;
}

QWidget* SettingsPage() {
    auto* page = new QWidget;
    page->resize(551, 330);
    auto* v = new QVBoxLayout(page);
    auto* general = new orp::TsuiPanel(QStringLiteral("General Settings"));
    auto* g = new QGridLayout(general);
    g->addWidget(new orp::TsuiCheckBox(QStringLiteral("Start Orrindo Pro when you login ")), 0, 0);
    auto* dlls = new orp::TsuiCheckBox(QStringLiteral("Unload unused DLLs from memory (RAM)"));
    dlls->setChecked(true);
    g->addWidget(dlls, 1, 0);
    auto* row = new QHBoxLayout;
    row->addWidget(new orp::TJvLabel(QStringLiteral("Update RAM statistics every ")));
    auto* spin = new QSpinBox;
    spin->setRange(1, 30);
    spin->setValue(1);
    row->addWidget(spin);
    row->addWidget(new orp::TJvLabel(QStringLiteral("second.")));
    row->addStretch();
    g->addLayout(row, 2, 0);
    auto* iec = new orp::TsuiRadioButton(QStringLiteral("IEC (MiB)"));
    iec->setChecked(true);
    g->addWidget(iec, 0, 1);
    g->addWidget(new orp::TsuiRadioButton(QStringLiteral("SI (MB)")), 1, 1);
    v->addWidget(general);
    auto* automatic = new orp::TsuiPanel(QStringLiteral("Automatic RAM Freeing"));
    auto* a = new QGridLayout(automatic);
    a->addWidget(new orp::TsuiCheckBox(QStringLiteral(" Enable automatic RAM freeing")), 0, 0, 1,
                 2);
    const char* names[] = {"Auto RAM to Free:", "RAM Trigger Level:", "CPU Threshold:"};
    const int values[] = {15, 15, 75};
    for (int i = 0; i < 3; ++i) {
        a->addWidget(new orp::TJvLabel(QString::fromUtf8(names[i])), i + 1, 0);
        auto* s = new QSlider(Qt::Horizontal);
        s->setRange(0, 100);
        s->setValue(values[i]);
        s->setTickPosition(QSlider::TicksBelow);
        s->setTickInterval(5);
        a->addWidget(s, i + 1, 1);
        a->addWidget(new orp::TJvLabel(QString::number(values[i]) + QLatin1Char('%')), i + 1, 2);
    }
    auto* test = new QPushButton(QStringLiteral("Test Auto Free"));
    a->addWidget(test, 4, 0);
    auto* disabled = new QPushButton(QStringLiteral("Disabled"));
    disabled->setEnabled(false);
    a->addWidget(disabled, 4, 1, Qt::AlignLeft);
    a->setColumnStretch(1, 1);
    v->addWidget(automatic);
    return page;
}

orp::StringTable g_processes(4, 1);

QWidget* ProcessPage() {
    auto* panel = new orp::TsuiPanel(QStringLiteral("Processes Memory Usage Log"));
    panel->resize(551, 330);
    auto* v = new QVBoxLayout(panel);
    auto& t = g_processes;
    const char* header[] = {"Process Name", "Used RAM", "Max. Used RAM", "Pagefile Used"};
    for (int c = 0; c < 4; ++c) t.SetCell(c, 0, header[c]);
    const char* names[] = {"bash",   "dbus-daemon", "firefox-esr", "gnome-shell",
                           "orpram", "pulseaudio",  "systemd",     "thunderbird",
                           "xorg",   "xterm",       "zsh"};
    int r = 1;
    for (const char* n : names) {
        t.InsertRow(t.RowCount());
        t.SetCell(0, r, n);
        t.SetCell(1, r, std::to_string(1000 + r * 7919 % 90000) + " K");
        t.SetCell(2, r, std::to_string(2000 + r * 6007 % 120000) + " K");
        t.SetCell(3, r, std::to_string(r * 311 % 5000) + " K");
        ++r;
    }
    const int widths[] = {187, 115, 111, 100};
    for (int c = 0; c < 4; ++c) t.SetColWidth(c, widths[c]);
    auto* view = new QTableView;
    auto* model = new orp::StringTableModel(t, view);
    orp::BindGrid(view, model);
    view->selectRow(2);
    v->addWidget(view);
    return panel;
}

orp::StringTable g_log(5, 2);

QWidget* ReportPage() {
    auto* panel = new orp::TsuiPanel(QStringLiteral("Memory Cleaning Log"));
    auto* v = new QVBoxLayout(panel);
    auto& t = g_log;
    const char* header[] = {"Date & Time", "Free RAM", "Used RAM", "Target RAM", "RAM Cleared"};
    const int widths[] = {172, 90, 90, 82, 80};
    for (int c = 0; c < 5; ++c) {
        t.SetCell(c, 0, header[c]);
        t.SetColWidth(c, widths[c]);
    }
    const char* rows[][5] = {{"11/12/2026 09:41:07", "313 MiB", "712 MiB", "205 MiB", "188 MiB"},
                             {"10/12/2026 17:02:55", "402 MiB", "623 MiB", "205 MiB", "97 MiB"},
                             {"10/12/2026 08:15:30", "120 MiB", "905 MiB", "820 MiB", "431 MiB"}};
    for (const auto& row : rows) {
        if (!t.Cell(1, 1).empty()) t.InsertRow(1);
        for (int c = 0; c < 5; ++c) t.SetCell(c, 1, row[c]);
    }
    auto* view = new QTableView;
    auto* model = new orp::StringTableModel(t, view);
    orp::BindGrid(view, model);
    v->addWidget(view);
    return panel;
}

QWidget* AboutPage() {
    auto* panel = new orp::TsuiPanel(QStringLiteral("About Orrindo Pro (version 2.2.0.1)"));
    auto* v = new QVBoxLayout(panel);
    auto* logo = new QLabel;
    logo->setPixmap(orp::LogoPixmap());
    logo->setCursor(Qt::PointingHandCursor);
    v->addWidget(logo, 0, Qt::AlignHCenter);
    auto* memo = new orp::TsuiMemo(QStringLiteral(
        "\nOrrindo Pro presented by Kestovar\n\nVisit our websites for patches, updates and "
        "other software, services and information."));
    v->addWidget(memo, 1);
    auto* links = new QHBoxLayout;
    for (const char* text : {"Kestovar's Website", "Orrindo Pro Website"}) {
        auto* link = new QLabel(QString::fromUtf8(text));
        QFont f(QStringLiteral("Times New Roman"));
        f.setPixelSize(19);
        f.setUnderline(true);
        link->setFont(f);
        QPalette p = link->palette();
        p.setColor(QPalette::WindowText, QColor(192, 192, 192));
        link->setPalette(p);
        links->addWidget(link);
        if (links->count() == 1) links->addStretch();
    }
    v->addLayout(links);
    return panel;
}

QWidget* FreeingPanel() {
    auto* panel = new orp::TsuiPanel(QStringLiteral("Orrindo is Freeing RAM"));
    panel->resize(540, 110);
    auto* g = new QGridLayout(panel);
    g->addWidget(new orp::TJvLabel(QStringLiteral("Attempting to free RAM.  Please wait ...")), 0,
                 0, 1, 3);
    g->addWidget(new orp::TJvLabel(QStringLiteral("Pass 2 of 3")), 1, 0);
    auto* bar = new orp::GradientBar(QColor(40, 90, 200), QColor(120, 190, 255));
    bar->setValue(64);
    g->addWidget(bar, 1, 1);
    g->addWidget(new QPushButton(QStringLiteral("Abort")), 1, 2);
    g->setColumnStretch(1, 1);
    return panel;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/orp_gallery");
    QDir().mkpath(g_out);
    orp::ApplyApplicationStyle(app);

    QWidget window;
    window.resize(551, 382);
    auto* wl = new QVBoxLayout(&window);
    wl->setContentsMargins(4, 4, 4, 4);
    auto* tabs = new QTabWidget;
    tabs->addTab(MemoryPage(), QStringLiteral(" Memory "));
    tabs->addTab(MonitorPage(), QStringLiteral(" Monitor "));
    tabs->addTab(ProcessPage(), QStringLiteral("Processes"));
    tabs->addTab(ReportPage(), QStringLiteral("   Report   "));
    tabs->addTab(SettingsPage(), QStringLiteral("Settings"));
    tabs->addTab(AboutPage(), QStringLiteral("   About   "));
    wl->addWidget(tabs);
    orp::ApplyPanelColours(&window, orp::kSchemeGrey, {});
    window.show();
    const char* names[] = {"memory", "monitor", "processes", "report", "settings", "about"};
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        Save(&window, QStringLiteral("page_") + QLatin1String(names[i]));
        if (i == 4) {
            const QPixmap page = window.grab();
            page.copy(QRect(20, 120, 280, 40))
                .scaled(280 * 3, 40 * 3)
                .save(g_out + QStringLiteral("/spin_zoom.png"));
        }
    }

    QWidget* freeing = FreeingPanel();
    orp::ApplyPanelColours(freeing, orp::kSchemeGrey, {});
    orp::SetBackgroundColour(freeing, orp::kSchemeGrey);
    orp::SetTextColour(freeing, orp::kSchemeText);
    freeing->show();
    Save(freeing, QStringLiteral("freeing_panel"));

    QMenu tray;
    auto* clean = tray.addMenu(QStringLiteral("Cleam RAM"));
    for (const char* p : {"95", "90", "85", "80"}) clean->addAction(QLatin1String(p));
    tray.addSeparator();
    tray.addAction(QStringLiteral("Light Clean"));
    QAction* medium = tray.addAction(QStringLiteral("Medium Clean"));
    tray.addAction(QStringLiteral("Heavy Clean"));
    tray.addSeparator();
    tray.addAction(QStringLiteral("Show Main Window"));
    tray.addSeparator();
    tray.addAction(QStringLiteral("Exit Orrindo Pro"));
    orp::StylePopupMenu(&tray);
    tray.popup(QPoint(20, 20));
    tray.setActiveAction(medium);
    Save(&tray, QStringLiteral("popup_menu"));
    tray.grab().scaled(tray.size() * 3).save(g_out + QStringLiteral("/popup_menu_zoom.png"));
    tray.hide();

    QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
    QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
    QLabel tipOwner(QStringLiteral("hover"));
    tipOwner.setToolTip(QStringLiteral("Use this trackbar to set how much RAM to try and free."));
    tipOwner.show();
    QApplication::processEvents();  // activation first: it would close a tip shown before it
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), tipOwner.mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(&tipOwner, &help);
    QApplication::processEvents();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowType() == Qt::ToolTip && w->isVisible()) {
            // Render what the mask leaves, over a contrasting backdrop, as a screen shows it.
            QPixmap pm(w->size() + QSize(8, 8));
            pm.fill(QColor(40, 100, 160));
            QPainter p(&pm);
            p.setClipRegion(w->mask().isEmpty() ? QRegion(w->rect()).translated(4, 4)
                                                : w->mask().translated(4, 4));
            w->render(&p, QPoint(4, 4), QRegion(), QWidget::DrawChildren);
            p.end();
            pm.save(g_out + QStringLiteral("/tooltip.png"));
            std::printf("%s/tooltip.png\n", qPrintable(g_out));
        }

    QPixmap icons(8 + 16 + 8 + 22 + 8 + 32 + 8 + 48 + 8 + 64 + 8 + 128 + 8, 128 + 16);
    icons.fill(QColor(81, 81, 81));
    {
        QPainter p(&icons);
        int x = 8;
        for (int s : {16, 22, 32, 48, 64, 128}) {
            p.drawPixmap(x, 8 + (128 - s), orp::AppIconPixmap(s));
            x += s + 8;
        }
    }
    icons.save(g_out + QStringLiteral("/icons.png"));
    QPixmap zoom(3 * (32 * 6 + 8) + 8, 32 * 6 + 16);
    zoom.fill(QColor(81, 81, 81));
    {
        QPainter p(&zoom);
        int x = 8;
        for (int s : {16, 22, 32}) {
            p.drawPixmap(x, 8, orp::AppIconPixmap(s).scaled(s * 6, s * 6));
            x += 32 * 6 + 8;
        }
    }
    zoom.save(g_out + QStringLiteral("/icons_zoom.png"));
    orp::HelpGlyphPixmap(16).save(g_out + QStringLiteral("/help_glyph.png"));
    orp::LogoPixmap().save(g_out + QStringLiteral("/logo.png"));
    return 0;
}
