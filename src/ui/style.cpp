#include "ui/style.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QPainterPath>
#include <QPalette>
#include <QPointer>
#include <QRegion>
#include <QToolTip>
#include <QWidget>

#include "ui/panel_colours.h"
#include "ui/steel_style.h"

namespace orp {

namespace {

QString FirstInstalled(const QStringList& families) {
    for (const QString& f : families)
        if (QFontDatabase::hasFamily(f)) return f;
    return {};
}

QFont ToolTipFont() {
    QFont f;
    const QString family = FirstInstalled(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
         QStringLiteral("Tahoma"), QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    if (!family.isEmpty()) f.setFamily(family);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(11);
    return f;
}

// Gives every widget tooltip the fixed display time, and cuts tooltip windows to a rounded
// shape. A mask rather than a translucent window: it needs no compositor.
class ToolTipFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::ToolTip:
                if (auto* w = qobject_cast<QWidget*>(watched); w && w->toolTipDuration() < 0)
                    w->setToolTipDuration(kToolTipMilliseconds);
                break;
            case QEvent::Show:
            case QEvent::Resize:
                if (auto* w = qobject_cast<QWidget*>(watched);
                    w && w->isWindow() && w->windowType() == Qt::ToolTip)
                    Shape(w);
                break;
            default:
                break;
        }
        return false;
    }

    static void Shape(QWidget* tip) {
        QPainterPath path;
        path.addRoundedRect(QRectF(tip->rect()), 4, 4);
        tip->setMask(QRegion(path.toFillPolygon().toPolygon()));
    }
};

QPointer<ToolTipFilter> g_toolTipFilter;

}  // namespace

QFont WindowFont() {
    QFont f;
    const QString family =
        FirstInstalled({QStringLiteral("Tahoma"), QStringLiteral("Verdana"),
                        QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")});
    if (!family.isEmpty()) f.setFamily(family);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSize(8);
    return f;
}

QString ApplicationStyleSheet() {
    return QStringLiteral(R"(
QTabWidget::pane {
    border: 1px solid rgb(22,22,24);
    background: rgb(81,81,81);
    top: -1px;
}
QTabWidget::tab-bar { left: 3px; }
QTabBar::tab {
    color: rgb(225,225,225);
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
        stop:0 rgb(118,124,134), stop:0.5 rgb(92,98,108), stop:1 rgb(74,78,86));
    border: 1px solid rgb(22,22,24);
    border-bottom: none;
    border-top-left-radius: 3px;
    border-top-right-radius: 3px;
    padding: 3px 9px 4px 9px;
    margin-top: 3px;
    margin-right: -1px;
}
QTabBar::tab:hover:!selected {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
        stop:0 rgb(138,146,158), stop:0.5 rgb(108,116,128), stop:1 rgb(86,92,102));
}
QTabBar::tab:selected {
    color: white;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
        stop:0 rgb(132,176,214), stop:0.5 rgb(82,136,184), stop:1 rgb(81,81,81));
    margin-top: 0px;
    padding-bottom: 5px;
}
QTabBar::tab:disabled { color: rgb(150,150,150); }

QPushButton {
    color: white;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
        stop:0 rgb(132,140,152), stop:0.48 rgb(98,106,118), stop:0.52 rgb(88,96,108),
        stop:1 rgb(70,76,86));
    border: 1px solid rgb(22,22,24);
    border-radius: 3px;
    padding: 3px 12px;
    min-height: 15px;
}
QPushButton:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
        stop:0 rgb(150,180,210), stop:0.48 rgb(104,142,180), stop:0.52 rgb(90,128,166),
        stop:1 rgb(70,104,140));
}
QPushButton:pressed {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
        stop:0 rgb(60,92,124), stop:1 rgb(86,124,162));
}
QPushButton:focus { border: 1px solid rgb(122,170,212); }
QPushButton:disabled {
    color: rgb(150,150,150);
    background: rgb(92,92,92);
    border: 1px solid rgb(60,60,60);
}
QPushButton:flat { background: transparent; border: none; }

QHeaderView::section {
    color: white;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
        stop:0 rgb(118,126,138), stop:0.5 rgb(90,98,110), stop:1 rgb(70,76,86));
    border: none;
    border-right: 1px solid rgb(40,42,46);
    border-bottom: 1px solid rgb(22,22,24);
    padding: 0px 4px;
}
QTableView {
    gridline-color: rgb(64,64,66);
    selection-background-color: rgb(70,130,180);
    selection-color: white;
    border: 1px solid rgb(22,22,24);
}

QToolTip {
    background-color: rgb(192,192,192);
    border: 1px solid black;
    border-radius: 4px;
    padding: 2px 4px;
}
)");
}

void ApplyApplicationStyle(QApplication& app) {
    // The system's menu font and tooltip text colour survive the application-wide font and
    // palette below (setting the application font drops every per-class font).
    const QFont menuFont = QApplication::font("QMenu");
    const QColor toolTipText = QApplication::palette().color(QPalette::ToolTipText);

    QApplication::setStyle(new SteelStyle);

    QPalette pal;
    const QColor grey = kSchemeGrey;
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Window, grey);
        pal.setColor(group, QPalette::WindowText, kSchemeText);
        pal.setColor(group, QPalette::Base, grey);
        pal.setColor(group, QPalette::AlternateBase, QColor(90, 90, 90));
        pal.setColor(group, QPalette::Text, kSchemeText);
        pal.setColor(group, QPalette::Button, QColor(96, 100, 108));
        pal.setColor(group, QPalette::ButtonText, kSchemeText);
        pal.setColor(group, QPalette::BrightText, QColor(255, 96, 96));
        pal.setColor(group, QPalette::Highlight, Steel::kAccent);
        pal.setColor(group, QPalette::HighlightedText, kSchemeText);
        pal.setColor(group, QPalette::Link, QColor(150, 190, 230));
        pal.setColor(group, QPalette::LinkVisited, QColor(180, 160, 220));
        pal.setColor(group, QPalette::PlaceholderText, QColor(160, 160, 160));
    }
    const QColor disabledText(150, 150, 150);
    pal.setColor(QPalette::Disabled, QPalette::Window, grey);
    pal.setColor(QPalette::Disabled, QPalette::Base, QColor(72, 72, 72));
    pal.setColor(QPalette::Disabled, QPalette::Button, QColor(88, 88, 88));
    pal.setColor(QPalette::Disabled, QPalette::WindowText, disabledText);
    pal.setColor(QPalette::Disabled, QPalette::Text, disabledText);
    pal.setColor(QPalette::Disabled, QPalette::ButtonText, disabledText);
    pal.setColor(QPalette::Disabled, QPalette::Highlight, QColor(100, 100, 100));
    pal.setColor(QPalette::Light, QColor(128, 128, 128));
    pal.setColor(QPalette::Midlight, QColor(104, 104, 104));
    pal.setColor(QPalette::Mid, QColor(64, 64, 64));
    pal.setColor(QPalette::Dark, QColor(44, 44, 44));
    pal.setColor(QPalette::Shadow, QColor(16, 16, 16));
    pal.setColor(QPalette::ToolTipBase, QColor(192, 192, 192));
    pal.setColor(QPalette::ToolTipText, toolTipText);
    QApplication::setPalette(pal);

    QPalette tipPal = QToolTip::palette();
    tipPal.setColor(QPalette::ToolTipBase, QColor(192, 192, 192));
    tipPal.setColor(QPalette::ToolTipText, toolTipText);
    tipPal.setColor(QPalette::Window, QColor(192, 192, 192));
    tipPal.setColor(QPalette::WindowText, toolTipText);
    QToolTip::setPalette(tipPal);
    QToolTip::setFont(ToolTipFont());

    app.setStyleSheet(ApplicationStyleSheet());
    // Fonts last: installing a style sheet rebuilds the per-class fonts.
    QApplication::setFont(WindowFont());
    QApplication::setFont(menuFont, "QMenu");
    if (!g_toolTipFilter) {
        g_toolTipFilter = new ToolTipFilter(&app);
        app.installEventFilter(g_toolTipFilter);
    }
}

}  // namespace orp
