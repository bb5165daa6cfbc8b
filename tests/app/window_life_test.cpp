// The window's life as the desktop drives it: tray clicks, minimising, where it first appears,
// and a settings store that cannot be read at start.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSlider>
#include <QSystemTrayIcon>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "fakes/window_fixture.h"
#include "settings/settings_store.h"

namespace orp {
namespace {

constexpr RegRoot kUser = RegRoot::CurrentUser;

std::map<std::string, std::uint32_t> StoredDwords(const FakeRegistry& r) {
    std::map<std::string, std::uint32_t> out;
    for (const std::string& name : r.ValueNames(kUser, kSettingsKeyPath))
        if (auto v = r.Dword(kUser, kSettingsKeyPath, name)) out[name] = *v;
    return out;
}

TEST(WindowLife, TrayClicksToggleOnceAndADoubleClickCountsAsOneClick) {
    using R = QSystemTrayIcon::ActivationReason;
    struct Case {
        const char* what;
        std::vector<R> reasons;
        bool visible;
    };
    const Case cases[] = {
        {"click", {R::Trigger}, true},
        {"double click (the desktop reports its first click too)",
         {R::Trigger, R::DoubleClick},
         true},
        {"two clicks", {R::Trigger, R::Trigger}, false},
        {"two double clicks", {R::Trigger, R::DoubleClick, R::Trigger, R::DoubleClick}, false},
        {"right click only opens the menu", {R::Context}, false},
        {"middle click", {R::MiddleClick}, false},
    };
    for (const Case& c : cases) {
        WindowFixture f;
        TfrmORmain& w = f.Create();
        for (R r : c.reasons) emit w.TrayIcon()->activated(r);
        EXPECT_EQ(w.isVisible(), c.visible) << c.what;
    }
}

TEST(WindowLife, MinimisingGoesToTheTrayWhereThereIsOne) {
    for (const bool tray : {true, false}) {
        WindowFixture f;
        f.trayAvailable = tray;
        TfrmORmain& w = f.Create();
        w.ShowMainWindow1Click();
        w.showMinimized();
        QCoreApplication::processEvents();
        EXPECT_EQ(w.isVisible(), !tray) << "tray " << tray;
        EXPECT_FALSE(w.EndRequested());
        w.ShowMainWindow1Click();
        EXPECT_TRUE(w.isVisible()) << "tray " << tray;
        EXPECT_FALSE(w.isMinimized()) << "tray " << tray;
    }
}

TEST(WindowLife, FirstShowingIsCentredAndLaterOnesKeepTheUsersPlace) {
    WindowFixture f;
    TfrmORmain& w = f.Create();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    w.ShowMainWindow1Click();
    // The frame is drawn only once the window is shown, so the centring is exact up to it.
    const QPoint offset = w.frameGeometry().center() - screen.center();
    const QSize frame = w.frameGeometry().size() - w.size();
    EXPECT_LE(std::abs(offset.x()), frame.width() / 2 + 1) << offset.x();
    EXPECT_LE(std::abs(offset.y()), frame.height() / 2 + 1) << offset.y();

    const QPoint moved = screen.topLeft() + QPoint(7, 9);
    w.move(moved);
    w.close();
    w.ShowMainWindow1Click();
    EXPECT_EQ(w.pos(), moved);
}

TEST(WindowLife, AStoreThatCannotBeReadIsNotOverwrittenByTheDesignState) {
    WindowFixture f;
    f.Create();
    f.window.reset();
    // Choices far from what the sliders' own limits make of their design positions.
    f.registry.SetDword(kUser, kSettingsKeyPath, "Automatic Level", 40);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Automatic Trigger Level", 20);
    f.registry.SetDword(kUser, kSettingsKeyPath, "CPU Threshold", 80);
    f.registry.SetDword(kUser, kSettingsKeyPath, "Target RAM", 60);
    f.registry.MakeWrongType(kUser, kSettingsKeyPath, "IEC");
    const auto before = StoredDwords(f.registry);
    ASSERT_EQ(before.size(), 14u);

    TfrmORmain& w = f.Create();
    EXPECT_EQ(f.dialogs.messages, QStringList{"Unable to access Orrindo settings."});
    EXPECT_EQ(StoredDwords(f.registry), before);
    w.ShowMainWindow1Click();
    EXPECT_EQ(f.dialogs.messages.size(), 2);
    EXPECT_EQ(StoredDwords(f.registry), before);

    // What the user changes by hand is still stored.
    f.Find<QSlider>("tbrCPU_Threshold")->setValue(90);
    EXPECT_EQ(f.registry.Dword(kUser, kSettingsKeyPath, "CPU Threshold"), 90u);
}

}  // namespace
}  // namespace orp
