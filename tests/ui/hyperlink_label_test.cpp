#include "ui/hyperlink_label.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QFontInfo>
#include <QImage>
#include <QMouseEvent>

#include "ui/panel_colours.h"

namespace orp {
namespace {

const QColor kPanel(81, 81, 81);

bool Near(QColor a, const QColor& b, int tolerance = 6) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

int CountNear(const QImage& img, const QRect& r, const QColor& c) {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Near(img.pixelColor(x, y), c)) ++n;
    return n;
}

// The longest horizontal run of pixels in colour c: an underline spans the caption, letters
// alone never do.
int LongestRun(const QImage& img, const QRect& r, const QColor& c) {
    int best = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        int run = 0;
        for (int x = r.left(); x <= r.right(); ++x) {
            run = Near(img.pixelColor(x, y), c) ? run + 1 : 0;
            best = std::max(best, run);
        }
    }
    return best;
}

// A link on a dark-grey panel, as on the About page.
struct LinkOnPanel {
    QWidget panel;
    TVrHyperLink* link;
    LinkOnPanel() : link(new TVrHyperLink(QStringLiteral("Kestovar's Website"), &panel)) {
        SetBackgroundColour(&panel, kPanel);
        panel.resize(260, 40);
        link->move(5, 5);
        link->resize(link->sizeHint());
        panel.show();
        QApplication::processEvents();
    }
    QImage Picture() { return panel.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void Enter() {
        const QPointF at(link->width() / 2.0, link->height() / 2.0);
        QEnterEvent e(at, at, link->mapToGlobal(at));
        QApplication::sendEvent(link, &e);
    }
    void Leave() {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(link, &e);
    }
};

TEST(TVrHyperLink, SerifNineteenPixelsUnderlinedWithAHandCursor) {
    const QFont f = HyperLinkFont();
    EXPECT_EQ(QFontInfo(f).pixelSize(), TVrHyperLink::kPixelHeight);
    EXPECT_TRUE(f.underline());
    EXPECT_EQ(f.styleHint(), QFont::Serif);
    TVrHyperLink link(QStringLiteral("Orrindo Pro Website"));
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(link.autoFillBackground());
    EXPECT_GE(link.sizeHint().width(), QFontMetrics(f).horizontalAdvance(link.text()));
}

TEST(TVrHyperLink, SilverAwayWhiteOverUnderlinedOutlinedAndTransparent) {
    LinkOnPanel t;
    const QRect area = t.link->geometry();
    const int textWidth = QFontMetrics(t.link->font()).horizontalAdvance(t.link->text());
    struct Case {
        const char* what;
        bool over;
        QColor drawn, absent;
    };
    const Case cases[] = {
        {"mouse away", false, TVrHyperLink::kColour, TVrHyperLink::kHotColour},
        {"mouse over", true, TVrHyperLink::kHotColour, TVrHyperLink::kColour},
        {"mouse gone again", false, TVrHyperLink::kColour, TVrHyperLink::kHotColour},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.over)
            t.Enter();
        else
            t.Leave();
        EXPECT_EQ(t.link->Hot(), c.over);
        EXPECT_EQ(t.link->TextColour(), c.drawn);
        const QImage img = t.Picture();
        EXPECT_GT(CountNear(img, area, c.drawn), 40);
        EXPECT_EQ(CountNear(img, area, c.absent), 0);
        EXPECT_GE(LongestRun(img, area, c.drawn), textWidth * 9 / 10);
        EXPECT_GT(CountNear(img, area, TVrHyperLink::kOutlineColour), 20);
        // The panel shows through around and between the letters.
        EXPECT_TRUE(Near(img.pixelColor(area.topLeft()), kPanel, 0));
        EXPECT_GT(CountNear(img, area, kPanel), area.width() * area.height() / 3);
    }
}

TEST(TVrHyperLink, ClickIsAPressAndReleaseOnTheLabel) {
    struct Case {
        const char* what;
        bool press;
        Qt::MouseButton button;
        QPoint releaseAt;  // relative to the label's centre
        int clicks;
    };
    const Case cases[] = {
        {"left press and release on it", true, Qt::LeftButton, {0, 0}, 1},
        {"released after dragging off", true, Qt::LeftButton, {400, 0}, 0},
        {"right button", true, Qt::RightButton, {0, 0}, 0},
        {"release without a press", false, Qt::LeftButton, {0, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LinkOnPanel t;
        int clicks = 0;
        QObject::connect(t.link, &TVrHyperLink::clicked, [&clicks] { ++clicks; });
        const QPointF centre = t.link->rect().center();
        if (c.press) {
            QMouseEvent down(QEvent::MouseButtonPress, centre, t.link->mapToGlobal(centre),
                             c.button, c.button, Qt::NoModifier);
            QApplication::sendEvent(t.link, &down);
        }
        const QPointF at = centre + QPointF(c.releaseAt);
        QMouseEvent up(QEvent::MouseButtonRelease, at, t.link->mapToGlobal(at), c.button,
                       Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(t.link, &up);
        EXPECT_EQ(clicks, c.clicks);
    }
}

}  // namespace
}  // namespace orp
