// The two grids: the cleaning log (Save Log, Clear Log) and the process table (rebuild, sort,
// export); and the About page's links, the help button and the colour scheme.
#include <QCheckBox>
#include <QLocale>
#include <QMenu>
#include <QProgressBar>
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
    // An export that cannot be written is not reported.
    if (chosen) SaveLogCsv(FLog, chosen->toStdString());
}

void TfrmORmain::itm_ClearLog1Click() {
    if (!FPorts.dialogs->ConfirmYesNo(QString::fromLatin1(kClearLogQuestion))) return;
    try {
        ClearLog(FLog);
    } catch (...) {
    }
}

void TfrmORmain::RefreshProcessTable() {
    orp::RefreshProcessTable(FProcessTable, *FPorts.processes, cbx_Process->isChecked(),
                             FProcessSort);
}

void TfrmORmain::SortProcessTable(int column, bool ascending) {
    ChooseProcessSort(FProcessTable, FProcessSort, column, ascending);
}

void TfrmORmain::BuildSortMenu() {
    QMenu* parentMenu = nullptr;
    std::string parentItem;
    for (const SortMenuEntry& e : SortMenuEntries()) {
        QMenu* into = pop_Sort;
        if (!e.parentItem.empty()) {
            if (e.parentItem != parentItem) {
                parentMenu = pop_Sort->addMenu(QString::fromStdString(e.parent));
                parentMenu->setObjectName(QString::fromStdString(e.parentItem));
                StylePopupMenu(parentMenu);
                parentItem = e.parentItem;
            }
            into = parentMenu;
        }
        if (e.action == SortMenuAction::Separator) {
            into->addSeparator()->setObjectName(QString::fromStdString(e.item));
            continue;
        }
        QAction* a = into->addAction(QString::fromStdString(e.caption));
        a->setObjectName(QString::fromStdString(e.item));
        switch (e.action) {
            case SortMenuAction::Sort: {
                const int column = e.column;
                const bool ascending = e.ascending;
                connect(a, &QAction::triggered, this,
                        [this, column, ascending] { SortProcessTable(column, ascending); });
                break;
            }
            case SortMenuAction::ExportCsv:
                connect(a, &QAction::triggered, this, &TfrmORmain::itm_CSV1Click);
                break;
            case SortMenuAction::Refresh:
                connect(a, &QAction::triggered, this, &TfrmORmain::RefreshProcessTable);
                break;
            case SortMenuAction::Separator:
                break;
        }
    }
    StylePopupMenu(pop_Sort);
}

void TfrmORmain::ApplyProcessDisplayOption() {
    if (cbx_Process->isChecked())
        tmr_Process->start();
    else
        tmr_Process->stop();
    StoreProcesses(*FPorts.registry, cbx_Process->isChecked());
}

void TfrmORmain::spn_ProcessChange() {
    const int v = spn_Process->value();
    tmr_Process->setInterval(
        static_cast<int>(std::min<std::int64_t>(std::int64_t{v} * 1000, INT32_MAX)));
    if (!StoreProcessesUpdate(*FPorts.registry, v))
        Message(QString::fromLatin1(msg::kProcessesUpdate));
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
    const QList<QWidget*> panels{pnlAutomatic, pnlGeneral, pnlTotal,  pnlFree,
                                 pnlAbout,     pnlMonitor, pbrWorking};
    orp::ApplyPanelColours(this, c, panels);
}

void TfrmORmain::btn_HelpClick() {
    FPorts.dialogs->OpenDocument(FHelpDocument);
}

void TfrmORmain::lblWebSiteClick() {
    FPorts.dialogs->OpenDocument(QStringLiteral(ORP_WEBSITE_URL));
}

void TfrmORmain::VrHyperLink2Click() {
    FPorts.dialogs->OpenDocument(QStringLiteral(ORP_PRODUCT_URL));
}

}  // namespace orp
