#include "ui/gradient_bar.h"

#include <gtest/gtest.h>

#include <QImage>

namespace orp {
namespace {

TEST(GradientBar, StartsAtDesignValue) {
    GradientBar bar(Qt::green, Qt::red);
    EXPECT_EQ(bar.value(), 1);
    EXPECT_EQ(bar.text(), QStringLiteral("1%"));
}

TEST(GradientBar, IgnoresValuesOutsidePercentRange) {
    struct Step {
        int set, shown;
        bool signalled;
    };
    const Step steps[] = {{50, 50, true},   {-1, 50, false},    {101, 50, false},
                          {50, 50, false},  {0, 0, true},       {INT_MIN, 0, false},
                          {100, 100, true}, {1000, 100, false}, {1, 1, true}};
    GradientBar bar(Qt::green, Qt::red);
    int emitted = 0, lastSignalled = -1;
    QObject::connect(&bar, &GradientBar::valueChanged, [&](int v) {
        ++emitted;
        lastSignalled = v;
    });
    for (const Step& s : steps) {
        const int before = emitted;
        bar.setValue(s.set);
        EXPECT_EQ(bar.value(), s.shown) << "after " << s.set;
        EXPECT_EQ(bar.text(), QString::number(s.shown) + QLatin1Char('%'));
        EXPECT_EQ(emitted - before, s.signalled ? 1 : 0) << "after " << s.set;
        if (s.signalled) {
            EXPECT_EQ(lastSignalled, s.shown);
        }
    }
}

TEST(GradientBar, FillCoversItsShareOfTheWidth) {
    GradientBar bar(QColor(255, 0, 0), QColor(255, 0, 0));
    bar.resize(200, 20);
    struct Case {
        int value;
        int x;
        bool filled;
    };
    // Sampled in the lower part, clear of the centred caption.
    const Case cases[] = {{50, 30, true},   {50, 170, false}, {0, 10, false},
                          {100, 190, true}, {25, 40, true},   {25, 60, false}};
    for (const Case& c : cases) {
        bar.setValue(c.value);
        const QImage img = bar.grab().toImage();
        const QColor px(img.pixel(c.x, img.height() - 5));
        const bool red = px.red() > 150 && px.green() < 80 && px.blue() < 80;
        EXPECT_EQ(red, c.filled) << c.value << "% at x " << c.x;
    }
}

TEST(GradientBar, GradientRunsFromFirstToSecondColour) {
    GradientBar bar(QColor(255, 0, 0), QColor(0, 0, 255));
    bar.resize(200, 20);
    bar.setValue(100);
    const QImage img = bar.grab().toImage();
    const QColor left(img.pixel(8, img.height() - 5)), right(img.pixel(191, img.height() - 5));
    EXPECT_GT(left.red(), left.blue());
    EXPECT_GT(right.blue(), right.red());
}

}  // namespace
}  // namespace orp
