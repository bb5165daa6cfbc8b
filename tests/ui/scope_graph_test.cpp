#include "ui/scope_graph.h"

#include <gtest/gtest.h>

#include <QImage>
#include <climits>

namespace orp {
namespace {

TEST(ScopeGraph, KeepsOnlyTheNewestSamples) {
    ScopeGraph g;
    const int total = ScopeGraph::kHistory + 6;
    for (int i = 0; i < total; ++i) g.AddSample(1, i % 101);
    const auto& s = g.Samples(1);
    ASSERT_EQ(s.size(), static_cast<size_t>(ScopeGraph::kHistory));
    EXPECT_EQ(s.front(), 6 % 101);           // the first six are gone
    EXPECT_EQ(s.back(), (total - 1) % 101);  // the newest is last
    EXPECT_TRUE(g.Samples(0).empty());       // channels do not share a history
}

TEST(ScopeGraph, ClampsSamplesToPercentRange) {
    struct Case {
        int in, stored;
    };
    const Case cases[] = {{INT_MIN, 0}, {-5, 0},    {0, 0},        {37, 37},
                          {100, 100},   {101, 100}, {INT_MAX, 100}};
    ScopeGraph g;
    for (const Case& c : cases) {
        g.AddSample(2, c.in);
        EXPECT_EQ(g.Samples(2).back(), c.stored) << "sample " << c.in;
    }
}

TEST(ScopeGraph, IgnoresUnknownChannels) {
    ScopeGraph g;
    for (int ch : {-1, ScopeGraph::kChannels, 1000}) {
        g.AddSample(ch, 50);
        EXPECT_TRUE(g.Samples(ch).empty()) << ch;
        EXPECT_FALSE(g.ChannelVisible(ch)) << ch;
        g.SetChannelVisible(ch, true);  // must not touch a real channel
    }
    for (int ch = 0; ch < ScopeGraph::kChannels; ++ch) EXPECT_TRUE(g.Samples(ch).empty());
}

TEST(ScopeGraph, BaseLineRowRoundsHalvesToEven) {
    struct Case {
        int height, percent, y;
    };
    // Heights that are multiples of 50 make height/100 a half or whole number, so these are
    // exact ties: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 4.5 -> 4, 7.5 -> 8.
    const Case cases[] = {
        {50, 1, 49},    {50, 3, 47},   {50, 5, 47},   {150, 1, 147}, {150, 3, 145},
        {250, 1, 247},  {250, 3, 241}, {150, 70, 44}, {100, 70, 29}, {200, 0, 199},
        {200, 100, -1}, {0, 70, -1},   {233, 70, 69}, {37, 40, 21},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScopeGraph::BaseLineY(c.height, c.percent), c.y)
            << "height " << c.height << ", " << c.percent << "%";
}

TEST(ScopeGraph, HiddenChannelKeepsReceivingSamples) {
    ScopeGraph g;
    g.AddSample(1, 10);
    g.SetChannelVisible(1, false);
    EXPECT_FALSE(g.ChannelVisible(1));
    EXPECT_TRUE(g.ChannelVisible(0));
    g.AddSample(1, 20);
    g.AddSample(1, 30);
    g.SetChannelVisible(1, true);
    EXPECT_TRUE(g.ChannelVisible(1));
    EXPECT_EQ(g.Samples(1), (std::deque<int>{10, 20, 30}));
}

TEST(ScopeGraph, BaseLineIsClampedAndStartsAtDesignValue) {
    ScopeGraph g;
    EXPECT_EQ(g.BaseLine(), 70);
    EXPECT_FALSE(g.Active());
    struct Case {
        int in, kept;
    };
    for (const Case c : {Case{5, 5}, Case{90, 90}, Case{-3, 0}, Case{250, 100}}) {
        g.SetBaseLine(c.in);
        EXPECT_EQ(g.BaseLine(), c.kept) << c.in;
    }
}

// --- what the picture shows ------------------------------------------------------------------

QImage Render(ScopeGraph& g) {
    g.resize(120, 60);
    return g.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool Is(const QImage& img, int x, int y, const QColor& c) {
    return QColor(img.pixel(x, y)) == c;
}

TEST(ScopeGraph, NewestSampleAtRightEdgeOlderOnePixelLeft) {
    ScopeGraph g;
    g.SetActive(true);
    g.SetBaseLine(0);
    g.SetChannelVisible(1, false);
    g.SetChannelVisible(2, false);
    const int n = 10;
    for (int i = 0; i < n; ++i) g.AddSample(0, 50);
    const QImage img = Render(g);
    const int w = img.width(), y = ScopeGraph::SampleY(img.height(), 50);
    const QColor lime = ScopeGraph::ChannelColour(0);
    for (int x = w - n; x < w; ++x) EXPECT_TRUE(Is(img, x, y, lime)) << "x " << x;
    EXPECT_FALSE(Is(img, w - n - 1, y, lime)) << "one pixel per sample, no more";
}

TEST(ScopeGraph, PaintsOnlyVisibleChannelsAndOnlyWhenActive) {
    struct Case {
        bool active, visible, traceShown;
    };
    const Case cases[] = {{true, true, true}, {true, false, false}, {false, true, false}};
    for (const Case& c : cases) {
        ScopeGraph g;
        g.SetActive(c.active);
        g.SetChannelVisible(1, c.visible);
        for (int i = 0; i < 30; ++i) g.AddSample(1, 80);
        const QImage img = Render(g);
        const int y = ScopeGraph::SampleY(img.height(), 80);
        EXPECT_EQ(Is(img, img.width() - 5, y, ScopeGraph::ChannelColour(1)), c.traceShown)
            << "active " << c.active << ", visible " << c.visible;
    }
}

TEST(ScopeGraph, DrawsWhiteBaseLineAtItsRow) {
    ScopeGraph g;
    g.SetActive(true);
    g.SetBaseLine(35);
    const QImage img = Render(g);
    const int y = ScopeGraph::BaseLineY(img.height(), 35);
    for (int x : {1, img.width() / 2, img.width() - 2})
        EXPECT_TRUE(Is(img, x, y, Qt::white)) << "x " << x;
    EXPECT_FALSE(Is(img, 1, y - 1, Qt::white));
}

TEST(ScopeGraph, GridStaysPutWhileSamplesArrive) {
    ScopeGraph g;
    g.SetActive(true);
    g.SetBaseLine(100);  // off the top, out of the picture
    for (int ch = 0; ch < ScopeGraph::kChannels; ++ch) g.SetChannelVisible(ch, false);
    const QImage before = Render(g);
    for (int i = 0; i < 7; ++i) g.AddSample(0, 40);
    EXPECT_EQ(Render(g), before);
    // ...and there is a grid: some pixel is neither black nor a trace colour.
    bool gridSeen = false;
    for (int x = 0; x < before.width() && !gridSeen; ++x)
        gridSeen = QColor(before.pixel(x, 0)) != QColor(Qt::black);
    EXPECT_TRUE(gridSeen);
}

}  // namespace
}  // namespace orp
