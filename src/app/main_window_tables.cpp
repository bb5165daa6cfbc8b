// The two grids: the cleaning log (Save Log, Clear Log) and the process table (rebuild, sort,
// export); and the About page's links, the help button and the colour scheme.
#include <QCheckBox>
#include <QLocale>
#include <QMenu>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include "app/main_window.h"
#include "app/user_dialogs.h"
#include "log/cleaning_log.h"
#include "log/grid_file.h"
#include "processes/process_sort.h"
#include "processes/process_table.h"
#include "settings/settings_store.h"
#include "ui/controls.h"
#include "ui/panel_colours.h"
#include "ui/style.h"

namespace orp {

QString TfrmORmain::LogDateTime() const {
    const QDateTime now = FPorts.now();
    const QLocale locale;
    QString text = locale.toString(now.date(), QLocale::ShortFormat);
    if (now.time() != QTime(0, 0)) {
        // The long time format, without the time-zone name some locales append.
        QString format = locale.timeFormat(QLocale::LongFormat);
        format.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
        text += QLatin1Char(' ') + now.time().toString(format.trimmed());
    }
    return text;
}

void TfrmORmain::itm_SaveLog1Click() {
    const std::optional<QString> chosen = FPorts.dialogs->AskSaveFileName(FSaveName);
    if (!chosen) return;
    try {
        SaveCSV(FLog, WithCsvExtension(chosen->toStdString()));
    } catch (...) {
        // An export that cannot be written is not reported.
    }
}

void TfrmORmain::itm_ClearLog1Click() {
    if (!FPorts.dialogs->ConfirmYesNo(QStringLiteral(
            "You should save the log before clearing all results.\r\n\r\nDo you wish to "
            "continue and clear the log now?")))
        return;
    try {
        ClearLog(FLog);
    } catch (...) {
    }
}

void TfrmORmain::RefreshProcessTable() {
    orp::RefreshProcessTable(FProcessTable, *FPorts.processes, cbx_Process->isChecked(), FProcessSort);
}

void TfrmORmain::SortProcessTable(int column, bool ascending) {
    if (column < 0 || column > 3) return;
    FProcessSort = {column, ascending};
    orp::SortProcessTable(FProcessTable, column, ascending);
}

void TfrmORmain::BuildSortMenu() {
    struct Item { const char* parent; const char* name; const char* caption; int column; bool ascending; };
    static const Item kItems[] = {
        {"itm_SortAscending1", "itm_ProcessName1", "Process Name", 0, true},
        {"itm_SortAscending1", "itm_CurrentMemory1", "Current Memory", 1, true},
        {"itm_SortAscending1", "itm_MaxMemory1", "Max. Memory", 2, true},
        {"itm_SortAscending1", "itm_Pagefile1", "Pagefile", 3, true},
        {"itm_SortDescending1", "itm_ProcessName2", "Process Name", 0, false},
        {"itm_SortDescending1", "itm_CurrentMemory2", "Current Memory", 1, false},
        {"itm_SortDescending1", "itm_MaxMemory2", "Max. Memory", 2, false},
        {"itm_SortDescending1", "itm_Pagefile2", "Pagefile", 3, false},
    };
    auto submenu = [this](const char* name, const char* caption) {
        QMenu* m = pop_Sort->addMenu(QString::fromLatin1(caption));
        m->setObjectName(QString::fromLatin1(name));
        StylePopupMenu(m);
        return m;
    };
    QMenu* ascending = submenu("itm_SortAscending1", "Sort Ascending");
    QMenu* descending = submenu("itm_SortDescending1", "Sort Descending");
    for (const Item& i : kItems) {
        QMenu* parent = i.ascending ? ascending : descending;
        QAction* a = parent->addAction(QString::fromLatin1(i.caption));
        a->setObjectName(QString::fromLatin1(i.name));
        const int column = i.column;
        const bool up = i.ascending;
        connect(a, &QAction::triggered, this, [this, column, up] { SortProcessTable(column, up); });
    }
    QMenu* exportMenu = submenu("itm_ExporttoFile1", "Export to File");
    QAction* csv = exportMenu->addAction(QStringLiteral("CSV"));
    csv->setObjectName(QStringLiteral("itm_CSV1"));
    connect(csv, &QAction::triggered, this, &TfrmORmain::itm_CSV1Click);
    pop_Sort->addSeparator()->setObjectName(QStringLiteral("itm_N6"));
    QAction* refresh = pop_Sort->addAction(QStringLiteral("Refresh Processes"));
    refresh->setObjectName(QStringLiteral("itm_RefreshProcesses1"));
    connect(refresh, &QAction::triggered, this, &TfrmORmain::RefreshProcessTable);
    StylePopupMenu(pop_Sort);
}

void TfrmORmain::ApplyProcessDisplayOption() {
    if (cbx_Process->isChecked()) tmr_Process->start();
    else tmr_Process->stop();
    StoreProcesses(*FPorts.registry, cbx_Process->isChecked());
}

void TfrmORmain::spn_ProcessChange() {
    const int v = spn_Process->value();
    tmr_Process->setInterval(static_cast<int>(std::min<std::int64_t>(std::int64_t{v} * 1000, INT32_MAX)));
    if (!StoreProcessesUpdate(*FPorts.registry, v)) Message(QString::fromLatin1(msg::kProcessesUpdate));
}

void TfrmORmain::itm_CSV1Click() {
    try {
        const std::optional<QString> chosen = FPorts.dialogs->AskSaveFileName(FSaveName);
        if (!chosen) return;
        SaveCSV(FProcessTable, WithCsvExtension(chosen->toStdString()));
    } catch (...) {
    }
}

void TfrmORmain::ApplyPanelColours() {
    const QColor c = pg_RAM->palette().color(QPalette::Window);
    orp::ApplyPanelColours(this, c,
                           {pnlAutomatic, pnlGeneral, pnlTotal, pnlFree, pnlAbout, pnlMonitor, pbrWorking});
}

void TfrmORmain::btn_HelpClick() { FPorts.dialogs->OpenDocument(FHelpDocument); }

void TfrmORmain::lblWebSiteClick() {
    FPorts.dialogs->OpenDocument(QStringLiteral(ORP_WEBSITE_URL));
}

void TfrmORmain::VrHyperLink2Click() {
    FPorts.dialogs->OpenDocument(QStringLiteral(ORP_PRODUCT_URL));
}

}  // namespace orp
