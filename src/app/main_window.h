#pragma once
// TfrmORmain: the one main window. It owns every page, control, timer and the state all parts
// of the program share; handlers are named after control and event and stay thin, calling the
// core functions that hold the rules.
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/window_ports.h"
#include "log/log_file_sync.h"
#include "log/string_table.h"
#include "processes/process_table.h"
#include "settings/settings_store.h"

class QCheckBox;
class QLabel;
class QMenu;
class QAction;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QSystemTrayIcon;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;

namespace orp {

class GradientBar;
class ScopeGraph;
class StringTableModel;
class TJvLabel;
class TsuiCheckBox;
class TsuiMemo;
class TsuiPanel;
class TsuiRadioButton;
class TVrHyperLink;

class TfrmORmain : public QWidget {
    Q_OBJECT
public:
    // Creating the window runs the whole start-up sequence (FormCreate → StartUp).
    explicit TfrmORmain(WindowPorts ports, QWidget* parent = nullptr);
    ~TfrmORmain() override;

    // ---- start-up and life (window, tray) ----
    void StartUp();
    void FormDestroy();
    void ShowMainWindow1Click();
    void erminate1Click();
    void HideToTray();
    void ShowAndRaise();    // show, Memory page untouched, bring to front, repaint
    void ToggleFromTray();  // tray click: show when hidden, hide when shown
    void SessionEnding();   // log-off or shut-down: save, then let the close through

    // ---- memory figures and views ----
    void UpdateTotalRAM();
    void UpdateMemoryFigures();
    void UpdateGraphChannels(int freePercent);
    void UpdateVirtualMemoryFigures();
    void ApplyUnitChoice();
    void tmrUsageTimer();
    void spnSecChange();
    void StoreMonitorView();

    // ---- freeing ----
    void CleanRAM(int percent);
    std::int64_t TargetBlocks(int percent) const;
    void btn_AbortClick();
    void UpdateTargetCaption();
    void tbrTargetChange();
    void tbrTargetMouseUp();
    void btnFreeRAMClick();
    void RunPreset(int percent, bool setsTargetBar);
    void LMDGlobalHotKey2KeyDown();

    // ---- processor load and automatic freeing ----
    void UpdateCPULoad();
    void CopyCPULoad();
    void tmrCheckCPUTimer();
    void RunAutoFree();
    void AutoLevelChanged();
    void ShowAutoFreeAmount();
    void AutoTriggerChanged();
    void ShowAutoTriggerAmount();
    void CPUThresholdChanged();
    void AutoFreeSwitched();
    void AutoFreeSilentSwitched();

    // ---- settings ----
    void ApplySettings();
    void spnAtemptsChange();
    void AutoStartSwitched();
    void UnloadDLLsSwitched();

    // ---- cleaning log ----
    void itm_SaveLog1Click();
    void itm_ClearLog1Click();

    // ---- process table ----
    void RefreshProcessTable();
    void SortProcessTable(int column, bool ascending);
    void ApplyProcessDisplayOption();
    void spn_ProcessChange();
    void itm_CSV1Click();

    // ---- appearance, help, about ----
    void ApplyPanelColours();
    void btn_HelpClick();
    void lblWebSiteClick();
    void VrHyperLink2Click();

    // ---- command line ----
    bool ExamineCommandLine();

    // Read access for the shell and the tests.
    bool Starting() const { return FStarting; }
    bool UseIEC() const { return FUseIEC; }
    std::int64_t TotalRAM() const { return FTotalRAM; }
    std::int64_t FreeRAM() const { return FFreeRAM; }
    std::int64_t UsedRAM() const { return FUsedRAM; }
    std::int32_t QuietTicks() const { return FQuietTicks; }
    std::int32_t CPULoad() const { return FCPULoad; }
    std::int32_t CPUThreshold() const { return FCPUThreshold; }
    std::int64_t AutoFreeAmount() const { return FAutoFreeAmount; }
    std::int64_t AutoTriggerAmount() const { return FAutoTriggerAmount; }
    bool Running() const { return FRunning; }
    const std::string& ExePath() const { return FExePath; }
    const StringTable& LogTable() const { return FLog; }
    StringTable& LogTable() { return FLog; }
    const StringTable& ProcessTable() const { return FProcessTable; }
    const QString& TrayHint() const { return FTrayHint; }
    const QString& HelpDocument() const { return FHelpDocument; }
    int ExitCode() const { return FExitCode; }
    bool EndRequested() const { return FEndRequested; }
    QSystemTrayIcon* TrayIcon() const { return tryIcon; }
    QMenu* TrayMenu() const { return popTaskBar; }

protected:
    void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
    void changeEvent(QEvent* event) override;      // minimising hides to the tray
    void showEvent(QShowEvent* event) override;    // FormShow
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPages();
    QWidget* BuildMemoryPage();
    QWidget* BuildMonitorPage();
    // A page holding one captioned panel with a grid over `table` and the grid's popup menu.
    QWidget* BuildGridPage(const char* pageName, const char* panelName, const char* caption,
                           const char* gridName, StringTable& table, TsuiPanel*& panel,
                           QTableView*& grid, StringTableModel*& model, const char* menuName,
                           QMenu*& menu);
    QWidget* BuildProcessPage();
    QWidget* BuildReportPage();
    QWidget* BuildSettingsPage();
    QWidget* BuildAboutPage();
    void BuildTray();
    void BuildTimers();
    void ConnectHandlers();
    void RequestEnd();
    void CentreOnFirstShow();
    // A notification area now: there was one at start, or one has appeared since.
    bool TrayAvailable() const;
    void Message(const QString& text);
    QString LogDateTime() const;
    void SetAttempts(int value);
    void RestoreAfterRun();
    void BuildSortMenu();
    void PlaceRunPanels();
    void SaveLogFile();
    void SaveLogAtEnd();
    void TakeInLogWrittenElsewhere();

    WindowPorts FPorts;

    // Shared state (zero, false or empty at creation, except FUseIEC).
    bool FStarting = false;
    bool FAbortRequested = false;
    bool FUseIEC = true;
    std::int64_t FTotalRAM = 0, FUsedRAM = 0, FFreeRAM = 0;
    std::int32_t FQuietTicks = 0;
    std::int32_t FCPULoad = 0;
    std::int32_t FCPUThreshold = 0;
    std::int64_t FAutoFreeAmount = 0, FAutoTriggerAmount = 0;
    std::vector<void*> FBlocks;
    TSettings FSettings;
    std::string FExeName;
    std::string FExePath;

    // Our own: a run in progress (the engine is not re-entrant), the tray hint text, the help
    // document, the process sort choice, the save dialog's remembered name, the exit status.
    bool FRunning = false;
    QString FTrayHint;
    QString FHelpDocument;
    ProcessSortState FProcessSort;
    QString FSaveName;
    int FExitCode = 0;
    bool FSettingsRead = false;
    bool FEndRequested = false;
    bool FSessionEnding = false;
    bool FPlaced = false;      // the window has been centred for its first showing
    bool FHoldStores = false;  // start-up steps that must not store the design state
    StringTable FLog;
    LogFileSync FLogSync;
    StringTable FProcessTable;

    // ---- controls ----
    QTabWidget* pg_RAM = nullptr;
    QWidget* tab_FreeMemory = nullptr;
    QWidget* tab_Monitor = nullptr;
    QWidget* tab_Process = nullptr;
    QWidget* tab_Report = nullptr;
    QWidget* tab_Settings = nullptr;
    QWidget* tab_About = nullptr;
    QToolButton* btn_Help = nullptr;

    TsuiPanel* pnlTotal = nullptr;
    QLabel* lblUsedRAM = nullptr;
    QLabel* lblFreeRAM = nullptr;
    QLabel* lbl_Used_CPU = nullptr;
    QLabel* lbl_Page = nullptr;
    QLabel* lbl_Virtual_Memory_Total = nullptr;
    GradientBar* pbrUsedRAM = nullptr;
    GradientBar* pbrFreeRAM = nullptr;
    GradientBar* pbrCPU = nullptr;
    GradientBar* pbrVirtualMemory = nullptr;
    TsuiPanel* pnlFreeing_RAM = nullptr;
    TsuiPanel* pnlFree = nullptr;
    QSlider* tbrTarget = nullptr;
    GradientBar* pbrTargetRAM = nullptr;
    QPushButton* btnFreeRAM = nullptr;
    TsuiPanel* pnlPass = nullptr;
    QLabel* lblPass = nullptr;
    QLabel* lblWorking = nullptr;
    QProgressBar* pbrWorking = nullptr;
    QPushButton* btn_Abort = nullptr;

    TsuiPanel* pnlMonitor = nullptr;
    ScopeGraph* scpGraph = nullptr;
    QLabel* lblTRAM = nullptr;
    TsuiCheckBox* chbUsedRAM = nullptr;
    TsuiCheckBox* chbFreeRAM = nullptr;
    TsuiCheckBox* chbCPU = nullptr;

    TsuiPanel* pnl_Process = nullptr;
    QTableView* grd_Process = nullptr;
    StringTableModel* FProcessModel = nullptr;
    QMenu* pop_Sort = nullptr;

    TsuiPanel* pnl_Report = nullptr;
    QTableView* grd_Log = nullptr;
    StringTableModel* FLogModel = nullptr;
    QMenu* pop_Log = nullptr;

    TsuiPanel* pnlGeneral = nullptr;
    TsuiCheckBox* chbAuto_Start = nullptr;
    TsuiCheckBox* cbx_Unload_DLLs = nullptr;
    TsuiRadioButton* rb_IEC = nullptr;
    TsuiRadioButton* rb_SI = nullptr;
    QSpinBox* spnSec = nullptr;
    QLabel* lblSec = nullptr;
    QSpinBox* spnAtempts = nullptr;
    QLabel* lblttempts = nullptr;
    TsuiCheckBox* cbx_Process = nullptr;
    QSpinBox* spn_Process = nullptr;

    TsuiPanel* pnlAutomatic = nullptr;
    TsuiCheckBox* chbAuto_Free = nullptr;
    TsuiCheckBox* chbAuto_Free_Silent = nullptr;
    QPushButton* btnTest_Auto_Free = nullptr;
    QLabel* lblAutoRAMtoFree = nullptr;
    QSlider* tbrAuto_Level = nullptr;
    QLabel* lblAuto_Level = nullptr;
    QLabel* lblRAMTrigger = nullptr;
    QSlider* tbrAuto_Trigger_Level = nullptr;
    QLabel* lblAuto_Level_Trigger = nullptr;
    QSlider* tbrCPU_Threshold = nullptr;
    QLabel* lblCPU_Threshold = nullptr;

    TsuiPanel* pnlAbout = nullptr;
    QLabel* suiImagePanel1 = nullptr;
    TsuiMemo* memAbout = nullptr;
    TVrHyperLink* lblWebSite = nullptr;
    TVrHyperLink* VrHyperLink2 = nullptr;

    QSystemTrayIcon* tryIcon = nullptr;
    QMenu* popTaskBar = nullptr;

    QTimer* tmrUsage = nullptr;
    QTimer* tmrCheckCPU = nullptr;
    QTimer* tmr_Process = nullptr;
};

}  // namespace orp
