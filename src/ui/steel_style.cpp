#include "ui/steel_style.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QStyleOptionSpinBox>
#include <algorithm>
#include <cmath>

namespace orp {

SteelStyle::SteelStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

void SteelStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const bool check = element == PE_IndicatorCheckBox;
    const bool radio = element == PE_IndicatorRadioButton;
    if (!check && !radio) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const bool enabled = option->state & State_Enabled;
    const bool hot = enabled && (option->state & (State_MouseOver | State_HasFocus));
    const bool on = option->state & State_On;
    const bool partial = option->state & State_NoChange;
    const QRectF box = QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    // A recessed well, lighter at the rim than the window so that it reads on dark grey.
    QLinearGradient well(box.topLeft(), box.bottomLeft());
    well.setColorAt(0.0, enabled ? QColor(34, 34, 36) : QColor(70, 70, 70));
    well.setColorAt(1.0, enabled ? QColor(58, 58, 62) : QColor(76, 76, 76));
    painter->setBrush(well);
    painter->setPen(QPen(hot ? Steel::kAccentLight : QColor(150, 150, 150), 1));
    if (radio)
        painter->drawEllipse(box);
    else
        painter->drawRoundedRect(box, 2, 2);

    const QColor mark = enabled ? QColor(255, 255, 255) : QColor(150, 150, 150);
    if (radio && on) {
        const qreal d = box.width() * 0.45;
        painter->setPen(Qt::NoPen);
        painter->setBrush(mark);
        painter->drawEllipse(QRectF(box.center().x() - d / 2, box.center().y() - d / 2, d, d));
    } else if (check && partial) {
        painter->fillRect(box.adjusted(3, box.height() / 2 - 1, -3, -(box.height() / 2 - 1)), mark);
    } else if (check && on) {
        const qreal w = box.width(), h = box.height();
        const QPointF tick[3] = {box.topLeft() + QPointF(w * 0.22, h * 0.52),
                                 box.topLeft() + QPointF(w * 0.42, h * 0.72),
                                 box.topLeft() + QPointF(w * 0.78, h * 0.28)};
        painter->setPen(QPen(mark, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter->setBrush(Qt::NoBrush);
        painter->drawPolyline(tick, 3);
    }
    painter->restore();
}

int SteelStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                            const QWidget* widget) const {
    switch (metric) {
        case PM_SliderThickness:
            return 20;
        case PM_SliderLength:
            return 11;
        case PM_SliderTickmarkOffset:
            return 4;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int SteelStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* ret) const {
    // A click on the track moves the slider there, as a track bar does, rather than by a page.
    if (hint == SH_Slider_AbsoluteSetButtons) return Qt::LeftButton;
    if (hint == SH_Slider_PageSetButtons) return Qt::NoButton;
    return QProxyStyle::styleHint(hint, option, widget, ret);
}

void SteelStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                    QPainter* painter, const QWidget* widget) const {
    if (control == CC_Slider) {
        DrawSlider(option, painter, widget);
        return;
    }
    if (control == CC_SpinBox) {
        DrawSpinBox(option, painter, widget);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

void SteelStyle::DrawSpinBox(const QStyleOptionComplex* option, QPainter* painter,
                             const QWidget* widget) const {
    const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
    if (!spin) return;
    const bool enabled = spin->state & State_Enabled;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);

    // A recessed field; the line edit inside draws only its text on it.
    const QRectF field = QRectF(spin->rect).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient well(field.topLeft(), field.bottomLeft());
    well.setColorAt(0.0, enabled ? QColor(40, 40, 42) : QColor(70, 70, 70));
    well.setColorAt(1.0, enabled ? QColor(56, 56, 60) : QColor(74, 74, 74));
    painter->setBrush(well);
    painter->setPen(QPen(spin->state & State_HasFocus ? Steel::kAccentLight : Steel::kEdge, 1));
    painter->drawRoundedRect(field, 2, 2);

    if (spin->buttonSymbols != QAbstractSpinBox::NoButtons) {
        for (const SubControl sc : {SC_SpinBoxUp, SC_SpinBoxDown}) {
            const QRect r = subControlRect(CC_SpinBox, spin, sc, widget);
            if (!r.isValid()) continue;
            const bool up = sc == SC_SpinBoxUp;
            const bool can = spin->stepEnabled & (up ? QAbstractSpinBox::StepUpEnabled
                                                     : QAbstractSpinBox::StepDownEnabled);
            const bool active = enabled && can && (spin->activeSubControls & sc);
            const bool pressed = active && (spin->state & State_Sunken);
            const bool hover = active && (spin->state & State_MouseOver);
            QRectF b = QRectF(r).adjusted(0.5, up ? 0.5 : 0.0, -0.5, up ? 0.0 : -0.5);
            QLinearGradient metal(b.topLeft(), b.bottomLeft());
            const QColor top = pressed ? Steel::kAccentDark
                               : hover ? Steel::kAccentLight
                                       : Steel::kMetalLight;
            const QColor bottom = pressed ? Steel::kAccent
                                  : hover ? Steel::kAccentDark
                                          : Steel::kMetalDark;
            metal.setColorAt(0.0, enabled ? top : QColor(104, 104, 104));
            metal.setColorAt(1.0, enabled ? bottom : QColor(84, 84, 84));
            painter->setPen(QPen(Steel::kEdge, 1));
            painter->setBrush(metal);
            painter->drawRect(b);
            // The arrow, or plus and minus when the spin box asks for them.
            const QColor ink = enabled && can ? QColor(255, 255, 255) : QColor(150, 150, 150);
            const QPointF c = b.center();
            const qreal w = std::clamp(std::min(b.width(), b.height() * 1.6) - 6.0, 3.0, 7.0);
            if (spin->buttonSymbols == QAbstractSpinBox::PlusMinus) {
                painter->setPen(QPen(ink, 1.5));
                painter->drawLine(QPointF(c.x() - w / 2, c.y()), QPointF(c.x() + w / 2, c.y()));
                if (up)
                    painter->drawLine(QPointF(c.x(), c.y() - w / 2), QPointF(c.x(), c.y() + w / 2));
            } else {
                const qreal h = std::ceil(w / 2);
                const qreal base = up ? c.y() + h / 2 : c.y() - h / 2;
                const qreal tip = up ? c.y() - h / 2 : c.y() + h / 2;
                const QPointF tri[3] = {QPointF(c.x() - w / 2, base), QPointF(c.x() + w / 2, base),
                                        QPointF(c.x(), tip)};
                painter->setPen(Qt::NoPen);
                painter->setBrush(ink);
                painter->drawPolygon(tri, 3);
            }
        }
    }
    painter->restore();
}

void SteelStyle::DrawSlider(const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget) const {
    const auto* slider = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (!slider) return;
    const bool horizontal = slider->orientation == Qt::Horizontal;
    const bool enabled = slider->state & State_Enabled;
    const QRect handle = subControlRect(CC_Slider, slider, SC_SliderHandle, widget);
    const QRect groove = subControlRect(CC_Slider, slider, SC_SliderGroove, widget);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);

    // The channel: a narrow dark slot, the part below the value lit in steel blue.
    if (slider->subControls & SC_SliderGroove) {
        constexpr int kSlot = 5;
        QRectF slot = horizontal ? QRectF(groove.left() + 1, handle.center().y() - kSlot / 2.0,
                                          groove.width() - 2, kSlot)
                                 : QRectF(handle.center().x() - kSlot / 2.0, groove.top() + 1,
                                          kSlot, groove.height() - 2);
        painter->setPen(QPen(Steel::kEdge, 1));
        painter->setBrush(Steel::kGroove);
        painter->drawRoundedRect(slot.adjusted(0.5, 0.5, -0.5, -0.5), 2, 2);
        QRectF lit = slot.adjusted(1, 1, -1, -1);
        if (horizontal) {
            if (slider->upsideDown)
                lit.setLeft(handle.center().x());
            else
                lit.setRight(handle.center().x());
        } else {
            if (slider->upsideDown)
                lit.setBottom(handle.center().y());
            else
                lit.setTop(handle.center().y());
        }
        if (enabled && lit.width() > 0 && lit.height() > 0) {
            QLinearGradient g(lit.topLeft(), horizontal ? lit.bottomLeft() : lit.topRight());
            g.setColorAt(0.0, Steel::kAccentLight);
            g.setColorAt(1.0, Steel::kAccentDark);
            painter->setPen(Qt::NoPen);
            painter->setBrush(g);
            painter->drawRoundedRect(lit, 1.5, 1.5);
        }
    }

    // Tick marks every tick interval, above and/or below as the slider asks.
    if ((slider->subControls & SC_SliderTickmarks) && slider->tickPosition != QSlider::NoTicks) {
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(enabled ? Steel::kTick : Steel::kTick.darker(140));
        const int interval =
            slider->tickInterval > 0 ? slider->tickInterval : std::max(slider->pageStep, 1);
        const int available = proxy()->pixelMetric(PM_SliderSpaceAvailable, slider, widget);
        const int len = proxy()->pixelMetric(PM_SliderLength, slider, widget);
        const int offset = len / 2;
        for (int v = slider->minimum; v <= slider->maximum; v += interval) {
            const int pos = sliderPositionFromValue(slider->minimum, slider->maximum, v, available,
                                                    slider->upsideDown) +
                            offset;
            if (horizontal) {
                const int x = slider->rect.left() + pos;
                if (slider->tickPosition & QSlider::TicksAbove)
                    painter->drawLine(x, slider->rect.top(), x, slider->rect.top() + 3);
                if (slider->tickPosition & QSlider::TicksBelow)
                    painter->drawLine(x, slider->rect.bottom() - 3, x, slider->rect.bottom());
            } else {
                const int y = slider->rect.top() + pos;
                if (slider->tickPosition & QSlider::TicksAbove)
                    painter->drawLine(slider->rect.left(), y, slider->rect.left() + 3, y);
                if (slider->tickPosition & QSlider::TicksBelow)
                    painter->drawLine(slider->rect.right() - 3, y, slider->rect.right(), y);
            }
            if (v > slider->maximum - interval) break;  // no overflow near INT_MAX
        }
        painter->setRenderHint(QPainter::Antialiasing, true);
    }

    // The thumb: a small bar of brushed metal.
    if (slider->subControls & SC_SliderHandle) {
        const bool hot = (slider->activeSubControls & SC_SliderHandle) &&
                         (slider->state & (State_MouseOver | State_Sunken));
        const QRectF r = QRectF(handle).adjusted(0.5, 0.5, -0.5, -0.5);
        QLinearGradient g(r.topLeft(), horizontal ? r.bottomLeft() : r.topRight());
        const QColor top = hot ? Steel::kMetalLight.lighter(115) : Steel::kMetalLight;
        g.setColorAt(0.0, enabled ? top : QColor(110, 110, 110));
        g.setColorAt(1.0, enabled ? Steel::kMetalDark : QColor(80, 80, 80));
        painter->setPen(QPen(Steel::kEdge, 1));
        painter->setBrush(g);
        painter->drawRoundedRect(r, 2, 2);
        painter->setPen(QPen(QColor(255, 255, 255, 70), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRoundedRect(r.adjusted(1, 1, -1, -1), 1.5, 1.5);
        if (slider->state & State_HasFocus) {
            painter->setPen(QPen(Steel::kAccentLight, 1));
            painter->drawRoundedRect(r.adjusted(-1.5, -1.5, 1.5, 1.5), 3, 3);
        }
    }
    painter->restore();
}

}  // namespace orp
