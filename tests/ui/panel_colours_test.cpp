#include "ui/panel_colours.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>
#include <memory>

#include "ui/controls.h"

namespace other {
// A foreign class that happens to share a scheme name.
class TJvLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};
}  // namespace other

namespace orp {
namespace {

class LinkLabel : public TJvLabel {  // derived, with a class name of its own
    Q_OBJECT
public:
    using TJvLabel::TJvLabel;
};

class QuietLabel : public TJvLabel {  // derived without Q_OBJECT: reports its base's name
public:
    using TJvLabel::TJvLabel;
};

class PanelWithMore : public TsuiPanel {
    Q_OBJECT
public:
    using TsuiPanel::TsuiPanel;
};

const QColor kDesignText(1, 2, 3);
const QColor kDesignBack(4, 5, 6);
const QColor kC(10, 20, 30);

template <typename W>
W* Make(QWidget* parent) {
    auto* w = new W(parent);
    QPalette p = w->palette();
    for (auto role : {QPalette::WindowText, QPalette::Text}) p.setColor(role, kDesignText);
    for (auto role : {QPalette::Window, QPalette::Base}) p.setColor(role, kDesignBack);
    w->setPalette(p);
    return w;
}

TEST(SchemeClassName, DropsOnlyOurOwnNamespace) {
    QWidget root;
    struct Case {
        QObject* object;
        const char* name;
    };
    const Case cases[] = {
        {new TJvLabel(&root), "TJvLabel"},
        {new TsuiMemo(&root), "TsuiMemo"},
        {new QLabel(&root), "QLabel"},
        {new other::TJvLabel(&root), "other::TJvLabel"},
    };
    for (const Case& c : cases) EXPECT_EQ(SchemeClassName(c.object), QLatin1String(c.name));
    EXPECT_NE(SchemeClassName(new LinkLabel(&root)), QStringLiteral("TJvLabel"));
}

TEST(ApplyPanelColours, ColoursExactlyTheSchemeClasses) {
    QWidget window;
    auto* nested = new QFrame(&window);  // the scheme reaches grandchildren too
    struct Case {
        const char* what;
        QWidget* widget;
        bool whiteText, backgroundC;
    };
    const Case cases[] = {
        {"TJvLabel", Make<TJvLabel>(&window), true, false},
        {"TJvLabel, nested", Make<TJvLabel>(nested), true, false},
        {"TsuiPanel", Make<TsuiPanel>(&window), true, true},
        {"TsuiRadioButton", Make<TsuiRadioButton>(&window), true, false},
        {"TsuiFileListBox", Make<TsuiFileListBox>(&window), true, false},
        {"TsuiCheckBox", Make<TsuiCheckBox>(&window), true, false},
        {"TsuiMemo", Make<TsuiMemo>(&window), true, true},
        {"derived label", Make<LinkLabel>(&window), false, false},
        {"derived label without Q_OBJECT", Make<QuietLabel>(&window), false, false},
        {"derived panel", Make<PanelWithMore>(&window), false, false},
        {"foreign TJvLabel", Make<other::TJvLabel>(&window), false, false},
        {"QLabel", Make<QLabel>(&window), false, false},
        {"QCheckBox", Make<QCheckBox>(&window), false, false},
        {"QFrame", Make<QFrame>(nested), false, false},
    };
    ApplyPanelColours(&window, kC, {});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QPalette& p = c.widget->palette();
        const QColor text = c.whiteText ? QColor(Qt::white) : kDesignText;
        const QColor back = c.backgroundC ? kC : kDesignBack;
        EXPECT_EQ(p.color(QPalette::WindowText), text);
        EXPECT_EQ(p.color(QPalette::Text), text);
        EXPECT_EQ(p.color(QPalette::Window), back);
        EXPECT_EQ(p.color(QPalette::Base), back);
        if (c.backgroundC) {
            EXPECT_TRUE(c.widget->autoFillBackground());
        }
    }
}

TEST(ApplyPanelColours, NamedPanelsGetBackgroundOnly) {
    QWidget window;
    auto* plain = Make<QFrame>(&window);       // a panel of no scheme class
    auto* derived = Make<LinkLabel>(&window);  // named, so coloured despite its class
    auto* unnamed = Make<QFrame>(&window);
    ApplyPanelColours(&window, kC, {plain, derived, nullptr});
    for (QWidget* w : {static_cast<QWidget*>(plain), static_cast<QWidget*>(derived)}) {
        EXPECT_EQ(w->palette().color(QPalette::Window), kC);
        EXPECT_TRUE(w->autoFillBackground());
        EXPECT_EQ(w->palette().color(QPalette::WindowText), kDesignText);
    }
    EXPECT_EQ(unnamed->palette().color(QPalette::Window), kDesignBack);
}

TEST(ApplyPanelColours, ChildrenThatFollowTheirPanelTakeItsColour) {
    QWidget window;
    auto* panel = Make<TsuiPanel>(&window);
    auto* grid = new QFrame(panel);  // no palette of its own, like the grids
    ApplyPanelColours(&window, kC, {});
    EXPECT_EQ(grid->palette().color(QPalette::Window), kC);
    EXPECT_EQ(grid->palette().color(QPalette::Base), kC);
}

// --- the panel itself ------------------------------------------------------------------------

int WhitePixels(const QImage& img, const QRect& r) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (QColor(img.pixel(x, y)) == QColor(Qt::white)) ++n;
    return n;
}

TEST(TsuiPanel, DrawsCaptionInTextColourAboveItsContents) {
    TsuiPanel panel;
    SetTextColour(&panel, Qt::white);
    panel.resize(240, 90);
    auto* layout = new QVBoxLayout(&panel);
    auto* child = new QLabel(QStringLiteral("x"));
    layout->addWidget(child);
    panel.show();
    layout->activate();
    EXPECT_GE(child->geometry().top(), TsuiPanel::kCaptionHeight);

    const QRect strip = panel.captionRect();
    EXPECT_EQ(WhitePixels(panel.grab().toImage(), strip), 0);  // no caption yet
    panel.setCaption(QStringLiteral("Memory Cleaning Log"));
    EXPECT_EQ(panel.caption(), QStringLiteral("Memory Cleaning Log"));
    EXPECT_GT(WhitePixels(panel.grab().toImage(), strip), 20);

    panel.setCaptionVisible(false);
    layout->activate();
    EXPECT_LT(child->geometry().top(), TsuiPanel::kCaptionHeight);
}

}  // namespace
}  // namespace orp

#include "panel_colours_test.moc"
