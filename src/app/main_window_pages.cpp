// The six pages and their controls. Every control carries its design name as objectName, so
// tests and the screenshot tool find it by that name.
#include <algorithm>

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/main_window.h"
#include "ui/app_icon.h"
#include "ui/controls.h"
#include "ui/gradient_bar.h"
#include "ui/hyperlink_label.h"
#include "ui/panel_colours.h"
#include "ui/scope_graph.h"
#include "ui/string_table_model.h"
#include "ui/style.h"

namespace orp {

namespace {
const QColor kLime(0, 255, 0), kRed(255, 0, 0), kBlue(0, 90, 255), kNavy(0, 30, 120);

template <typename T>
T* Named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

template <typename T>
T* Hinted(T* w, const char* name, const char* hint) {
    Named(w, name);
    if (hint) w->setToolTip(QString::fromUtf8(hint));
    return w;
}

TJvLabel* FixedLabel(const char* text, QWidget* parent, const char* name = nullptr) {
    auto* l = new TJvLabel(parent);
    l->setText(QString::fromUtf8(text));
    if (name) l->setObjectName(QString::fromLatin1(name));
    return l;
}

TsuiPanel* Panel(const char* name, const char* caption, QWidget* parent) {
    auto* p = Named(new TsuiPanel(parent), name);
    p->setCaption(QString::fromUtf8(caption));
    return p;
}

QSlider* Slider(const char* name, const char* hint, QWidget* parent) {
    auto* s = Hinted(new QSlider(Qt::Horizontal, parent), name, hint);
    s->setRange(0, 100);
    s->setSingleStep(1);
    return s;
}

// A rounded outline around its contents, in silver like the About page's links.
class RoundedFrame : public QWidget {
public:
    RoundedFrame(int pen, QWidget* parent) : QWidget(parent), pen_(pen) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(QColor(192, 192, 192), pen_));
        p.setBrush(Qt::NoBrush);
        const qreal half = pen_ / 2.0;
        p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), 6, 6);
    }

private:
    int pen_;
};

QSpinBox* Spin(const char* name, const char* hint, int lo, int hi, int value, QWidget* parent) {
    auto* s = Hinted(new QSpinBox(parent), name, hint);
    s->setRange(lo, hi);
    s->setValue(value);
    s->setKeyboardTracking(true);
    return s;
}
}  // namespace

void TfrmORmain::BuildPages() {
    // The skin's colours and font come with the window, whatever the application's style;
    // ApplyPanelColours takes its grey from the page control, which inherits it from here.
    QPalette skin = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        skin.setColor(group, QPalette::Window, kSchemeGrey);
        skin.setColor(group, QPalette::WindowText, kSchemeText);
    }
    skin.setColor(QPalette::Disabled, QPalette::Window, kSchemeGrey);
    setPalette(skin);
    setFont(WindowFont());
    setMinimumWidth(603);
    setFixedHeight(408);
    resize(603, 408);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 6);
    pg_RAM = Named(new QTabWidget(this), "pg_RAM");
    root->addWidget(pg_RAM);

    btn_Help = Hinted(new QToolButton(this), "btn_Help", "Display the help manual");
    btn_Help->setIcon(HelpIcon());
    btn_Help->setIconSize(QSize(16, 16));
    btn_Help->setToolButtonStyle(Qt::ToolButtonIconOnly);
    btn_Help->setCursor(Qt::PointingHandCursor);
    btn_Help->setAutoRaise(true);
    btn_Help->setFixedSize(32, 22);
    pg_RAM->setCornerWidget(btn_Help, Qt::TopRightCorner);

    tab_FreeMemory = BuildMemoryPage();
    tab_Monitor = BuildMonitorPage();
    tab_Process = BuildProcessPage();
    tab_Report = BuildReportPage();
    tab_Settings = BuildSettingsPage();
    tab_About = BuildAboutPage();
    pg_RAM->addTab(tab_FreeMemory, QStringLiteral(" Memory "));
    pg_RAM->addTab(tab_Monitor, QStringLiteral(" Monitor "));
    pg_RAM->addTab(tab_Process, QStringLiteral("Processes"));
    pg_RAM->addTab(tab_Report, QStringLiteral("   Report   "));
    pg_RAM->addTab(tab_Settings, QStringLiteral("Settings"));
    pg_RAM->addTab(tab_About, QStringLiteral("   About   "));
}

QWidget* TfrmORmain::BuildMemoryPage() {
    auto* page = Named(new QWidget, "tab_FreeMemory");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);

    pnlTotal = Panel("pnlTotal", "Total RAM:", page);
    auto* g = new QGridLayout(pnlTotal);
    g->setContentsMargins(10, 4, 10, 8);
    g->setHorizontalSpacing(10);
    g->setColumnStretch(2, 1);
    struct Row {
        const char* label;
        QLabel*& value;
        const char* valueName;
        GradientBar*& bar;
        const char* barName;
        QColor from, to;
        const char* hint;
    };
    Row rows[] = {
        {"Memory now in use:", lblUsedRAM, "lblUsedRAM", pbrUsedRAM, "pbrUsedRAM", kLime, kRed,
         "Displays how much RAM is currently is use."},
        {"Memory currenty free:", lblFreeRAM, "lblFreeRAM", pbrFreeRAM, "pbrFreeRAM", kRed, kLime,
         "Displays how RAM is currently free (not used)."},
        {"CPU Usage:", lbl_Used_CPU, "lbl_Used_CPU", pbrCPU, "pbrCPU", kLime, kRed,
         "Displays how much load your CPU(s) are taking in real time."},
    };
    int r = 0;
    for (Row& row : rows) {
        g->addWidget(FixedLabel(row.label, pnlTotal), r, 0);
        row.value = Hinted(new TJvLabel(pnlTotal), row.valueName, row.hint);
        row.value->setText(QStringLiteral("0"));
        row.value->setMinimumWidth(80);
        g->addWidget(row.value, r, 1);
        row.bar = Hinted(new GradientBar(row.from, row.to, pnlTotal), row.barName, row.hint);
        g->addWidget(row.bar, r, 2);
        ++r;
    }
    g->addWidget(FixedLabel("Virtual Memory:", pnlTotal), r, 0);
    lbl_Page =
        Hinted(new TJvLabel(pnlTotal), "lbl_Page", "Commit charge: memory promised to programs.");
    lbl_Page->setText(QStringLiteral("0"));
    g->addWidget(lbl_Page, r, 1);
    pbrVirtualMemory = Hinted(new GradientBar(kLime, kRed, pnlTotal), "pbrVirtualMemory",
                              "Share of the commit limit (RAM plus swap) already promised.");
    g->addWidget(pbrVirtualMemory, r, 2);
    ++r;
    lbl_Virtual_Memory_Total = Hinted(new TJvLabel(pnlTotal), "lbl_Virtual_Memory_Total",
                                      "Commit limit: RAM plus swap that programs may be promised.");
    lbl_Virtual_Memory_Total->setText(QStringLiteral("0"));
    lbl_Virtual_Memory_Total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g->addWidget(lbl_Virtual_Memory_Total, r, 0, 1, 3);

    pnlFreeing_RAM = Panel("pnlFreeing_RAM", "Orrindo is Freeing RAM", pnlTotal);
    auto* abortHint = new QVBoxLayout(pnlFreeing_RAM);
    auto* hint = FixedLabel("Press Esc to stop the run early.", pnlFreeing_RAM, "lblAbortHint");
    hint->setAlignment(Qt::AlignCenter);
    abortHint->addWidget(hint);
    pnlFreeing_RAM->hide();
    pnlTotal->installEventFilter(this);

    pnlFree = Panel("pnlFree", "Targeted RAM to free: 0%", page);
    auto* f = new QGridLayout(pnlFree);
    f->setContentsMargins(10, 4, 10, 8);
    tbrTarget =
        Slider("tbrTarget", "Use this trackbar to set how much RAM to try and free.", pnlFree);
    tbrTarget->setTickPosition(QSlider::NoTicks);
    tbrTarget->installEventFilter(this);
    f->addWidget(tbrTarget, 0, 0, 1, 2);
    pbrTargetRAM = Hinted(new GradientBar(kNavy, kBlue, pnlFree), "pbrTargetRAM",
                          "Percentage of RAM to free.");
    f->addWidget(pbrTargetRAM, 1, 0);
    btnFreeRAM = Hinted(new QPushButton(QStringLiteral("Free RAM"), pnlFree), "btnFreeRAM",
                        "Click here to free up RAM.");
    f->addWidget(btnFreeRAM, 1, 1);
    f->setColumnStretch(0, 1);

    pnlPass = Named(new TsuiPanel(pnlFree), "pnlPass");
    auto* pv = new QGridLayout(pnlPass);
    pv->setContentsMargins(8, 4, 8, 4);
    pv->addWidget(FixedLabel("Attempting to free RAM.  Please wait ...", pnlPass), 0, 0, 1, 2);
    lblPass = Named(new TJvLabel(pnlPass), "lblPass");
    pv->addWidget(lblPass, 0, 2);
    pbrWorking = Named(new QProgressBar(pnlPass), "pbrWorking");
    pbrWorking->setTextVisible(false);
    pv->addWidget(pbrWorking, 1, 0);
    lblWorking = Named(new TJvLabel(pnlPass), "lblWorking");
    lblWorking->setMinimumWidth(40);
    pv->addWidget(lblWorking, 1, 1);
    btn_Abort = Hinted(new QPushButton(QStringLiteral("Abort"), pnlPass), "btn_Abort",
                       "Click here to abort RAM freeing.");
    pv->addWidget(btn_Abort, 1, 2);
    // Hidden as designed: the button sits in the page control that a run disables, so it could
    // not be clicked. Esc on the window aborts instead (see ConnectHandlers).
    btn_Abort->hide();
    pnlPass->setCaptionVisible(false);
    pnlPass->setToolTip(QStringLiteral("Press Esc to abort RAM freeing."));
    pv->setColumnStretch(0, 1);
    pnlPass->hide();
    pnlFree->installEventFilter(this);

    v->addWidget(pnlTotal, 3);
    v->addWidget(pnlFree, 2);
    return page;
}

QWidget* TfrmORmain::BuildMonitorPage() {
    auto* page = Named(new QWidget, "tab_Monitor");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    pnlMonitor = Panel("pnlMonitor", "RAM Usage Monitor", page);
    v->addWidget(pnlMonitor);
    auto* g = new QGridLayout(pnlMonitor);
    g->setContentsMargins(8, 4, 8, 6);
    g->addWidget(FixedLabel("100%", pnlMonitor), 0, 0, Qt::AlignLeft);
    lblTRAM = Named(new TJvLabel(pnlMonitor), "lblTRAM");
    lblTRAM->setText(QStringLiteral("0 Mb"));
    g->addWidget(lblTRAM, 0, 2, Qt::AlignRight);
    scpGraph = Named(new ScopeGraph(pnlMonitor), "scpGraph");
    g->addWidget(scpGraph, 1, 0, 1, 3);
    g->setRowStretch(1, 1);
    g->addWidget(FixedLabel("0%", pnlMonitor), 2, 0, Qt::AlignLeft);
    g->addWidget(FixedLabel("0 Mb", pnlMonitor, "lblZeroMb"), 2, 2, Qt::AlignRight);
    auto* boxes = new QHBoxLayout;
    chbUsedRAM = Hinted(new TsuiCheckBox(pnlMonitor), "chbUsedRAM",
                        "Show / hide how much RAM is being used on the graph.");
    chbUsedRAM->setText(QStringLiteral("Used RAM"));
    chbFreeRAM = Hinted(new TsuiCheckBox(pnlMonitor), "chbFreeRAM",
                        "Show / hide how much RAM is free on the graph.");
    chbFreeRAM->setText(QStringLiteral("Free RAM"));
    chbFreeRAM->setChecked(true);
    chbCPU = Hinted(new TsuiCheckBox(pnlMonitor), "chbCPU",
                    "Show / hide how much CPU power is being used on the graph.");
    chbCPU->setText(QStringLiteral("CPU"));
    chbCPU->setChecked(true);
    boxes->addWidget(chbUsedRAM);
    boxes->addWidget(chbFreeRAM);
    boxes->addWidget(chbCPU);
    boxes->addStretch();
    g->addLayout(boxes, 3, 0, 1, 3);
    return page;
}

QWidget* TfrmORmain::BuildGridPage(const char* pageName, const char* panelName, const char* caption,
                                   const char* gridName, StringTable& table, TsuiPanel*& panel,
                                   QTableView*& grid, StringTableModel*& model,
                                   const char* menuName, QMenu*& menu) {
    auto* page = Named(new QWidget, pageName);
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    panel = Panel(panelName, caption, page);
    v->addWidget(panel);
    auto* pv = new QVBoxLayout(panel);
    pv->setContentsMargins(4, 4, 4, 4);
    grid = Named(new QTableView(panel), gridName);
    model = new StringTableModel(table, this);
    grid->setModel(model);
    BindGrid(grid, model);
    pv->addWidget(grid);

    menu = Named(new QMenu(this), menuName);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QTableView* view = grid;
    QMenu* popup = menu;
    connect(view, &QWidget::customContextMenuRequested, this,
            [view, popup](const QPoint& at) { popup->popup(view->viewport()->mapToGlobal(at)); });
    return page;
}

QWidget* TfrmORmain::BuildProcessPage() {
    QWidget* page =
        BuildGridPage("tab_Process", "pnl_Process", "Processes Memory Usage Log", "grd_Process",
                      FProcessTable, pnl_Process, grd_Process, FProcessModel, "pop_Sort", pop_Sort);
    BuildSortMenu();
    return page;
}

QWidget* TfrmORmain::BuildReportPage() {
    QWidget* page = BuildGridPage("tab_Report", "pnl_Report", "Memory Cleaning Log", "grd_Log",
                                  FLog, pnl_Report, grd_Log, FLogModel, "pop_Log", pop_Log);
    QAction* save = pop_Log->addAction(QStringLiteral("Save Log"));
    save->setObjectName(QStringLiteral("itm_SaveLog1"));
    connect(save, &QAction::triggered, this, &TfrmORmain::itm_SaveLog1Click);
    pop_Log->addSeparator()->setObjectName(QStringLiteral("itm_N7"));
    QAction* clear = pop_Log->addAction(QStringLiteral("Clear Log"));
    clear->setObjectName(QStringLiteral("itm_ClearLog1"));
    connect(clear, &QAction::triggered, this, &TfrmORmain::itm_ClearLog1Click);
    StylePopupMenu(pop_Log);
    return page;
}

QWidget* TfrmORmain::BuildSettingsPage() {
    auto* page = Named(new QWidget, "tab_Settings");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    v->setSpacing(4);

    pnlGeneral = Panel("pnlGeneral", "General Settings", page);
    auto* g = new QGridLayout(pnlGeneral);
    g->setContentsMargins(8, 4, 8, 4);
    g->setVerticalSpacing(2);
    chbAuto_Start = Hinted(new TsuiCheckBox(pnlGeneral), "chbAuto_Start",
                           "When selected Orrindo will launch at windows starts up and you login.");
    chbAuto_Start->setText(QStringLiteral("Start Orrindo Pro when you login "));
    cbx_Unload_DLLs = Hinted(new TsuiCheckBox(pnlGeneral), "cbx_Unload_DLLs",
                             "When selected Windows will remove any unsed DLL's that are in memory "
                             "this freeing up more RAM");
    cbx_Unload_DLLs->setText(QStringLiteral("Unload unused DLLs from memory (RAM)"));
    rb_IEC = Hinted(new TsuiRadioButton(pnlGeneral), "rb_IEC",
                    "Displays memory units in IEC format i.e. 1024 bytes = 1 kilobyte; 1024 "
                    "kilobytes = 1 megabyte");
    rb_IEC->setText(QStringLiteral("Memory displayed in IEC units"));
    rb_IEC->setChecked(true);
    rb_SI = Hinted(new TsuiRadioButton(pnlGeneral), "rb_SI",
                   "Displays memory units in SI format i.e. 1000 bytes = 1 kilobyte; 1000 "
                   "kilobytes = 1 megabyte. RAM is normally calculated in IEC units so this "
                   "option is NOT Recommended)");
    rb_SI->setText(QStringLiteral("Memory displayed in SI units (NOT Recommended)"));
    g->addWidget(chbAuto_Start, 0, 0);
    g->addWidget(cbx_Unload_DLLs, 1, 0);
    g->addWidget(rb_IEC, 0, 1);
    g->addWidget(rb_SI, 1, 1);

    auto* period = new QHBoxLayout;
    period->addWidget(FixedLabel("Update RAM statistics every ", pnlGeneral));
    spnSec = Spin("spnSec", "Sets the interval between checking RAM & CPU statistics in seconds.",
                  1, 30, 1, pnlGeneral);
    period->addWidget(spnSec);
    lblSec = Named(new TJvLabel(pnlGeneral), "lblSec");
    lblSec->setText(QStringLiteral("second."));
    period->addWidget(lblSec);
    period->addSpacing(16);
    period->addWidget(FixedLabel("Make", pnlGeneral, "JvLabel10"));
    spnAtempts = Spin("spnAtempts", nullptr, 1, 10, 3, pnlGeneral);
    period->addWidget(spnAtempts);
    lblttempts = Named(new TJvLabel(pnlGeneral), "lblttempts");
    lblttempts->setText(QStringLiteral("attempts to free target RAM."));
    period->addWidget(lblttempts);
    period->addStretch();
    g->addLayout(period, 2, 0, 1, 2);

    auto* proc = new QHBoxLayout;
    cbx_Process = Hinted(new TsuiCheckBox(pnlGeneral), "cbx_Process",
                         "Displays memory use for listed processes when selected");
    cbx_Process->setText(QStringLiteral("Display memory use for processes"));
    cbx_Process->setChecked(true);
    proc->addWidget(cbx_Process);
    proc->addWidget(FixedLabel("Update Process statistics every ", pnlGeneral));
    spn_Process =
        Spin("spn_Process", "Sets the interval for checking process statistics in seconds.", 5,
             180000, 30, pnlGeneral);
    proc->addWidget(spn_Process);
    proc->addWidget(FixedLabel("seconds.", pnlGeneral));
    proc->addStretch();
    g->addLayout(proc, 3, 0, 1, 2);
    v->addWidget(pnlGeneral);

    pnlAutomatic = Panel("pnlAutomatic", "Automatic RAM Freeing", page);
    auto* a = new QGridLayout(pnlAutomatic);
    a->setContentsMargins(8, 4, 8, 4);
    a->setVerticalSpacing(2);
    chbAuto_Free =
        Hinted(new TsuiCheckBox(pnlAutomatic), "chbAuto_Free",
               "When checked Orrindo will free RAM automatically as set by the levels below.");
    chbAuto_Free->setText(QStringLiteral(" Enable automatic RAM freeing"));
    chbAuto_Free_Silent = Hinted(new TsuiCheckBox(pnlAutomatic), "chbAuto_Free_Silent",
                                 "When checked Orrindo frees RAM without showing the screen when "
                                 "performing an auto RAM freeing task.");
    chbAuto_Free_Silent->setText(QStringLiteral("When auto-freeing RAM do so silently"));
    chbAuto_Free_Silent->setChecked(true);
    btnTest_Auto_Free = Hinted(new QPushButton(QStringLiteral("Test Auto Free"), pnlAutomatic),
                               "btnTest_Auto_Free", "Click here to test automatic RAM freeing.");
    btnTest_Auto_Free->hide();
    a->addWidget(chbAuto_Free, 0, 0, 1, 2);
    a->addWidget(chbAuto_Free_Silent, 0, 2, 1, 2);
    a->addWidget(btnTest_Auto_Free, 0, 4);

    struct SliderRow {
        const char* hdr;
        const char* hdrName;
        QLabel*& amount;
        const char* amountName;
        QSlider*& slider;
        const char* sliderName;
        QLabel*& pct;
        const char* pctName;
        const char* hint;
    };
    SliderRow rows[] = {
        {"Auto RAM to Free:", "lbl_Auto_hdr", lblAutoRAMtoFree, "lblAutoRAMtoFree", tbrAuto_Level,
         "tbrAuto_Level", lblAuto_Level, "lblAuto_Level",
         "This sets the amount of RAM to free when automatic memory freeing is enabled."},
        {"RAM Trigger Level:", "JvLabel7", lblRAMTrigger, "lblRAMTrigger", tbrAuto_Trigger_Level,
         "tbrAuto_Trigger_Level", lblAuto_Level_Trigger, "lblAuto_Level_Trigger",
         "Auto-freeing of RAM shall not take place unless the free RAM is less than the value "
         "set here."},
        {"CPU Threshold:", "JvLabel5", lblCPU_Threshold, nullptr, tbrCPU_Threshold,
         "tbrCPU_Threshold", lblCPU_Threshold, "lblCPU_Threshold",
         "Auto-freeing of RAM shall not take place unless the CPU usage of the machine is less "
         "than the value set here over a period of one minute."},
    };
    int r = 1;
    for (SliderRow& row : rows) {
        a->addWidget(FixedLabel(row.hdr, pnlAutomatic, row.hdrName), r, 0);
        if (row.amountName) {
            row.amount = Named(new TJvLabel(pnlAutomatic), row.amountName);
            row.amount->setText(QStringLiteral("0 Mb"));
            row.amount->setMinimumWidth(70);
            a->addWidget(row.amount, r, 1);
        }
        row.slider = Slider(row.sliderName, row.hint, pnlAutomatic);
        row.slider->setPageStep(2);
        row.slider->setTickPosition(QSlider::TicksBelow);
        row.slider->setTickInterval(5);
        row.slider->installEventFilter(this);
        a->addWidget(row.slider, r, 2, 1, 2);
        row.pct = Named(new TJvLabel(pnlAutomatic), row.pctName);
        row.pct->setText(QStringLiteral("0%"));
        row.pct->setMinimumWidth(36);
        a->addWidget(row.pct, r, 4);
        ++r;
    }
    a->setColumnStretch(2, 1);
    v->addWidget(pnlAutomatic);
    return page;
}

QWidget* TfrmORmain::BuildAboutPage() {
    auto* page = Named(new QWidget, "tab_About");
    auto* v = new QVBoxLayout(page);
    v->setContentsMargins(4, 4, 4, 4);
    pnlAbout = Panel("pnlAbout", "About Orrindo Pro (version )", page);
    v->addWidget(pnlAbout);
    auto* g = new QGridLayout(pnlAbout);
    g->setContentsMargins(10, 4, 10, 8);
    // The logo sits in a rounded frame drawn with a 2-pixel pen.
    auto* shp1 = Named(new RoundedFrame(2, pnlAbout), "shp1");
    auto* framed = new QVBoxLayout(shp1);
    framed->setContentsMargins(4, 4, 4, 4);
    suiImagePanel1 = Named(new QLabel(shp1), "suiImagePanel1");
    suiImagePanel1->setPixmap(LogoPixmap());
    suiImagePanel1->setFixedSize(241, 73);
    suiImagePanel1->setCursor(Qt::PointingHandCursor);
    suiImagePanel1->installEventFilter(this);
    framed->addWidget(suiImagePanel1);
    g->addWidget(shp1, 0, 0, 1, 2, Qt::AlignHCenter);
    memAbout = Named(new TsuiMemo(pnlAbout), "memAbout");
    memAbout->setPlainText(QStringLiteral(
        "\nOrrindo Pro presented by Kestovar\n\nVisit our websites for patches, updates and other "
        "software, services and information."));
    g->addWidget(memAbout, 1, 0, 1, 2);
    auto link = [this](const char* name, const char* caption, const char* hint) {
        return Hinted(new TVrHyperLink(QString::fromUtf8(caption), pnlAbout), name, hint);
    };
    lblWebSite =
        link("lblWebSite", "Kestovar's Website", "Open a web browser showing Kestovar's website.");
    VrHyperLink2 = link("VrHyperLink2", "Orrindo Pro Website",
                        "Open a web browser showing the Orrindo Lite website.");
    g->addWidget(lblWebSite, 2, 0, Qt::AlignLeft);
    g->addWidget(VrHyperLink2, 2, 1, Qt::AlignRight);
    return page;
}

void TfrmORmain::PlaceRunPanels() {
    // The two run panels cover their areas whatever the window's width: the pass panel the
    // target slider and button, the freeing panel the processor and virtual-memory rows (their
    // figures stand still during a run), leaving the memory figures above in view.
    pnlPass->setGeometry(0, 24, pnlFree->width(), pnlFree->height() - 24);
    const int top = std::max(0, lbl_Used_CPU->geometry().top() - 6);
    pnlFreeing_RAM->setGeometry(0, top, pnlTotal->width(), pnlTotal->height() - top);
}

bool TfrmORmain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize) {
        if (watched == pnlFree || watched == pnlTotal) PlaceRunPanels();
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Mouse-up handlers: a release anywhere on the slider, not only after dragging the knob.
        if (watched == tbrTarget)
            QMetaObject::invokeMethod(this, &TfrmORmain::tbrTargetMouseUp, Qt::QueuedConnection);
        else if (watched == tbrAuto_Level)
            QMetaObject::invokeMethod(this, &TfrmORmain::AutoLevelChanged, Qt::QueuedConnection);
        else if (watched == tbrAuto_Trigger_Level)
            QMetaObject::invokeMethod(this, &TfrmORmain::AutoTriggerChanged, Qt::QueuedConnection);
        else if (watched == tbrCPU_Threshold)
            QMetaObject::invokeMethod(this, &TfrmORmain::CPUThresholdChanged, Qt::QueuedConnection);
        else if (watched == suiImagePanel1) {
            // A press dragged off the logo before letting go takes the click back.
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            if (suiImagePanel1->rect().contains(at)) lblWebSiteClick();
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace orp
