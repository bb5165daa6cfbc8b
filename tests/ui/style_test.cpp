#include "ui/style.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QToolTip>

#include "ui/controls.h"
#include "ui/panel_colours.h"
#include "ui/steel_style.h"

namespace orp {
namespace {

using Look = PopupMenuLook;

// A menu shaped like the tray menu: a submenu, items and separators.
struct TrayLikeMenu {
    QMenu menu;
    QMenu* sub = nullptr;
    QAction* first = nullptr;
    QAction* separator = nullptr;
    QAction* last = nullptr;
    TrayLikeMenu() {
        sub = menu.addMenu(QStringLiteral("Cleam RAM"));
        sub->addAction(QStringLiteral("95"));
        sub->addAction(QStringLiteral("90"));
        separator = menu.addSeparator();
        first = menu.addAction(QStringLiteral("Light Clean"));
        menu.addAction(QStringLiteral("Medium Clean"));
        menu.addSeparator();
        last = menu.addAction(QStringLiteral("Exit Orrindo Pro"));
        StylePopupMenu(&menu);
        menu.popup(QPoint(10, 10));
        QApplication::processEvents();
    }
    ~TrayLikeMenu() { menu.hide(); }
    QImage Picture() { return menu.grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

TEST(StylePopupMenu, ItemAndSeparatorHeights) {
    TrayLikeMenu t;
    for (QAction* a : t.menu.actions())
        EXPECT_EQ(t.menu.actionGeometry(a).height(),
                  a->isSeparator() ? Look::kSeparatorHeight : Look::kItemHeight)
            << a->text().toStdString();
    t.sub->popup(QPoint(200, 10));  // the submenu is styled as well
    QApplication::processEvents();
    for (QAction* a : t.sub->actions())
        EXPECT_EQ(t.sub->actionGeometry(a).height(), Look::kItemHeight);
    t.sub->hide();
}

QColor At(const QImage& img, int x, int y) {
    return QColor(img.pixel(x, y));
}

TEST(StylePopupMenu, PaintsSideBarBorderSeparatorAndBackground) {
    TrayLikeMenu t;
    const QImage img = t.Picture();
    const QRect item = t.menu.actionGeometry(t.first);
    const QRect sep = t.menu.actionGeometry(t.separator);
    const int y = item.center().y();
    EXPECT_EQ(At(img, 0, 0), Look::kBorder);
    EXPECT_EQ(At(img, img.width() - 1, img.height() - 1), Look::kBorder);
    // The side bar is exactly its width wide, inside the border.
    EXPECT_EQ(At(img, 1, y), Look::kSideBar);
    EXPECT_EQ(At(img, Look::kSideBarWidth, y), Look::kSideBar);
    EXPECT_EQ(At(img, Look::kSideBarWidth + 1, y), Look::kBackground);
    EXPECT_EQ(At(img, img.width() - 3, y), Look::kBackground);
    // The separator: a line of its own colour across the item area, side bar beside it.
    const int sy = sep.top() + sep.height() / 2;
    EXPECT_EQ(At(img, Look::kSideBarWidth + 12, sy), Look::kSeparator);
    EXPECT_EQ(At(img, 5, sy), Look::kSideBar);
    EXPECT_EQ(At(img, Look::kSideBarWidth + 12, sep.top()), Look::kBackground);
}

// The brightest pixel of an item's label is its text colour (anti-aliasing only darkens).
QColor BrightestIn(const QImage& img, const QRect& r) {
    QColor best(0, 0, 0);
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = At(img, x, y);
            if (c.lightness() > best.lightness()) best = c;
        }
    return best;
}

TEST(StylePopupMenu, SelectedItemAndTextColours) {
    TrayLikeMenu t;
    t.menu.setActiveAction(t.first);
    QApplication::processEvents();
    const QImage img = t.Picture();
    const QRect sel = t.menu.actionGeometry(t.first);
    const QRect other = t.menu.actionGeometry(t.last);
    // Selected: background and border of the selection colour, white text.
    EXPECT_EQ(At(img, img.width() - 3, sel.center().y()), Look::kSelected);
    EXPECT_EQ(At(img, sel.right(), sel.top()), Look::kSelected);
    const QRect selText = sel.adjusted(Look::kSideBarWidth + 1, 0, 0, 0);
    EXPECT_EQ(BrightestIn(img, selText), Look::kSelectedText);
    const QRect otherText = other.adjusted(Look::kSideBarWidth + 1, 0, 0, 0);
    EXPECT_EQ(BrightestIn(img, otherText), Look::kText);
}

TEST(StylePopupMenu, CanBeAppliedAgainAndToMenusThatLoop) {
    QMenu a, b;
    a.addMenu(&b);
    b.addMenu(&a);  // a loop must not recurse for ever
    StylePopupMenu(&a);
    StylePopupMenu(&a);
    EXPECT_EQ(a.findChildren<QStyle*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    EXPECT_EQ(b.findChildren<QStyle*>(QString(), Qt::FindDirectChildrenOnly).size(), 1);
    StylePopupMenu(nullptr);
}

// The application style is global; this fixture puts the previous one back afterwards so the
// other tests keep their plain start.
class ApplicationStyle : public ::testing::Test {
protected:
    void SetUp() override {
        auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
        ASSERT_NE(app, nullptr);
        sheet_ = app->styleSheet();
        palette_ = QApplication::palette();
        font_ = QApplication::font();
        menuFont_ = QApplication::font("QMenu");
        styleName_ = QApplication::style()->name();
        QApplication::setEffectEnabled(Qt::UI_FadeTooltip, false);
        QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false);
        ApplyApplicationStyle(*app);
    }
    void TearDown() override {
        QToolTip::hideText();
        qApp->setStyleSheet(sheet_);
        QApplication::setStyle(styleName_);
        QApplication::setPalette(palette_);
        QApplication::setFont(font_);
    }
    QString sheet_, styleName_;
    QPalette palette_;
    QFont font_, menuFont_;
};

QWidget* VisibleToolTip() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowType() == Qt::ToolTip && w->isVisible()) return w;
    return nullptr;
}

TEST_F(ApplicationStyle, ToolTipsShowForTheFixedTimeInARoundedShape) {
    QWidget owner;
    owner.setToolTip(QStringLiteral("Click here to free up RAM."));
    owner.resize(50, 20);
    owner.show();
    QApplication::processEvents();  // activation first: it closes any tooltip shown before it
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), owner.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&owner, &help);
    QApplication::processEvents();
    EXPECT_EQ(owner.toolTipDuration(), kToolTipMilliseconds);
    QWidget* tip = VisibleToolTip();
    ASSERT_NE(tip, nullptr);
    const QRegion mask = tip->mask();
    ASSERT_FALSE(mask.isEmpty());
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));  // corners cut away
    EXPECT_TRUE(mask.contains(tip->rect().center()));
    EXPECT_EQ(tip->palette().color(QPalette::ToolTipBase), QColor(192, 192, 192));
}

TEST_F(ApplicationStyle, KeepsSystemMenuFontAndSetsWindowLook) {
    EXPECT_EQ(QApplication::font("QMenu").toString(), menuFont_.toString());
    EXPECT_EQ(QApplication::font().pointSize(), 8);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(81, 81, 81));
    EXPECT_EQ(QApplication::palette().color(QPalette::WindowText), QColor(Qt::white));
}

// The style sheet must leave the scheme's palette colours in charge of the scheme's classes.
TEST_F(ApplicationStyle, SchemeColoursSurviveTheStyleSheet) {
    QWidget window;
    window.resize(200, 60);
    auto* label = new TJvLabel(QStringLiteral("MMMMMMMM"), &window);
    label->setGeometry(0, 0, 200, 30);
    auto* box = new TsuiCheckBox(QStringLiteral("MMMMMMMM"), &window);
    box->setGeometry(0, 30, 200, 30);
    ApplyPanelColours(&window, QColor(81, 81, 81), {});
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(box)})
        SetTextColour(w, QColor(255, 0, 0));
    window.show();
    QApplication::processEvents();
    for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(box)}) {
        const QImage img = w->grab().toImage();
        int red = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (QColor(img.pixel(x, y)) == QColor(255, 0, 0)) ++red;
        EXPECT_GT(red, 10) << w->metaObject()->className();
    }
}

// The automatic-freeing sliders show a tick every 5; the style must keep drawing them.
TEST_F(ApplicationStyle, SlidersKeepTheirTickMarks) {
    struct Case {
        int interval, ticks;
    };
    for (const Case c : {Case{5, 21}, Case{25, 5}}) {
        QSlider slider(Qt::Horizontal);
        slider.setRange(0, 100);
        slider.setValue(50);
        slider.setTickPosition(QSlider::TicksBelow);
        slider.setTickInterval(c.interval);
        slider.resize(320, slider.sizeHint().height());
        const QImage img = slider.grab().toImage();
        int ticks = 0;
        for (int x = 0; x < img.width(); ++x)
            if (QColor(img.pixel(x, img.height() - 1)) == Steel::kTick) ++ticks;
        EXPECT_EQ(ticks, c.ticks) << "every " << c.interval;
    }
}

// The window's menus live under the application's style sheet; it must not take them over.
TEST_F(ApplicationStyle, PopupMenuKeepsItsLookUnderTheStyleSheet) {
    TrayLikeMenu t;
    for (QAction* a : t.menu.actions())
        EXPECT_EQ(t.menu.actionGeometry(a).height(),
                  a->isSeparator() ? Look::kSeparatorHeight : Look::kItemHeight);
    const QImage img = t.Picture();
    const int y = t.menu.actionGeometry(t.first).center().y();
    EXPECT_EQ(At(img, 0, 0), Look::kBorder);
    EXPECT_EQ(At(img, 1, y), Look::kSideBar);
    EXPECT_EQ(At(img, img.width() - 3, y), Look::kBackground);
}

// Both spin buttons show an arrow; at the minimum the down arrow is greyed, not gone.
TEST_F(ApplicationStyle, SpinButtonsShowTheirArrows) {
    struct Case {
        int value;
        bool upWhite, downWhite;
    };
    for (const Case c : {Case{5, true, true}, Case{1, true, false}, Case{30, false, true}}) {
        QSpinBox spin;
        spin.setRange(1, 30);
        spin.setValue(c.value);
        spin.resize(60, 22);
        spin.show();
        QApplication::processEvents();
        const QImage img = spin.grab().toImage();
        QStyleOptionSpinBox opt;
        opt.initFrom(&spin);
        opt.rect = spin.rect();
        opt.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        opt.buttonSymbols = spin.buttonSymbols();
        const auto inkIn = [&](QStyle::SubControl sc, const QColor& ink) {
            const QRect r = spin.style()->subControlRect(QStyle::CC_SpinBox, &opt, sc, &spin);
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    if (QColor(img.pixel(x, y)) == ink) return true;
            return false;
        };
        const QColor white(255, 255, 255), grey(150, 150, 150);
        SCOPED_TRACE(c.value);
        EXPECT_EQ(inkIn(QStyle::SC_SpinBoxUp, white), c.upWhite);
        EXPECT_EQ(inkIn(QStyle::SC_SpinBoxUp, grey), !c.upWhite);
        EXPECT_EQ(inkIn(QStyle::SC_SpinBoxDown, white), c.downWhite);
        EXPECT_EQ(inkIn(QStyle::SC_SpinBoxDown, grey), !c.downWhite);
    }
}

}  // namespace
}  // namespace orp
