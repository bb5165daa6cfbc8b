#pragma once
// The owner-drawn look of the window's popup menus: a grey side bar down the left, 21-pixel
// items, 5-pixel separators, a black border. Applied per menu by StylePopupMenu (style.h).
#include <QProxyStyle>

namespace orp {

class PopupMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    PopupMenuStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr, QStyleHintReturn* ret = nullptr) const override;
};

}  // namespace orp
