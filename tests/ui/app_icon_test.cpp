#include "ui/app_icon.h"

#include <gtest/gtest.h>

#include <QImage>

namespace orp {
namespace {

TEST(AppIcon, EverySizeIsPaintedRoundOnTransparency) {
    const QIcon icon = AppIcon();
    for (int s : AppIconSizes()) {
        SCOPED_TRACE(s);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(s, s)));
        const QImage img = icon.pixmap(QSize(s, s)).toImage();
        ASSERT_EQ(img.size(), QSize(s, s));
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0);  // a disc: the corners stay clear
        EXPECT_EQ(qAlpha(img.pixel(s / 2, s / 2)), 255);
    }
}

TEST(LogoPixmap, HasTheAboutPageSizeAndContent) {
    const QImage img = LogoPixmap().toImage();
    ASSERT_EQ(img.size(), QSize(241, 73));
    // Not a blank card: the name's lime "Pro" is somewhere in the right half.
    bool lime = false;
    for (int y = 0; y < img.height() && !lime; ++y)
        for (int x = img.width() / 2; x < img.width() && !lime; ++x) {
            const QColor c(img.pixel(x, y));
            lime = c.green() > 200 && c.red() < 160 && c.blue() < 100;
        }
    EXPECT_TRUE(lime);
}

}  // namespace
}  // namespace orp
