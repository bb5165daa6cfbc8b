#pragma once
// The application's base style: Fusion, with track bars and spin boxes drawn in steel (a style
// sheet would lose the sliders' tick marks and the spin buttons' arrows) and check marks that
// stand out on dark grey.
#include <QProxyStyle>

namespace orp {

class SteelStyle : public QProxyStyle {
    Q_OBJECT
public:
    SteelStyle();

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr, QStyleHintReturn* ret = nullptr) const override;

private:
    void DrawSlider(const QStyleOptionComplex* option, QPainter* painter,
                    const QWidget* widget) const;
    void DrawSpinBox(const QStyleOptionComplex* option, QPainter* painter,
                     const QWidget* widget) const;
};

// Colours of the steel theme, shared by the widgets drawn in code.
struct Steel {
    static inline const QColor kAccent{70, 130, 180};  // steel blue
    static inline const QColor kAccentLight{122, 170, 212};
    static inline const QColor kAccentDark{42, 84, 122};
    static inline const QColor kMetalLight{136, 144, 156};
    static inline const QColor kMetalDark{70, 76, 86};
    static inline const QColor kEdge{22, 22, 24};
    static inline const QColor kGroove{38, 38, 40};
    static inline const QColor kTick{170, 170, 170};
};

}  // namespace orp
