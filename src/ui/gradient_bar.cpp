#include "ui/gradient_bar.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace orp {

GradientBar::GradientBar(QColor from, QColor to, QWidget* parent)
    : QWidget(parent), from_(from), to_(to) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void GradientBar::setValue(int percent) {
    if (percent < 0 || percent > 100 || percent == value_) return;
    value_ = percent;
    update();
    emit valueChanged(value_);
}

QString GradientBar::text() const {
    return QString::number(value_) + QLatin1Char('%');
}

void GradientBar::setColours(QColor from, QColor to) {
    from_ = from;
    to_ = to;
    update();
}

QSize GradientBar::sizeHint() const {
    const QFontMetrics fm(font());
    return {160, std::max(17, fm.height() + 5)};
}

QSize GradientBar::minimumSizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(QStringLiteral("100%")) + 8, fm.height() + 3};
}

void GradientBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    constexpr qreal kRadius = 2.5;

    // A sunken groove a shade darker than the window, so an empty bar still reads as a bar.
    QPainterPath groove;
    groove.addRoundedRect(outer, kRadius, kRadius);
    QLinearGradient grooveFill(outer.topLeft(), outer.bottomLeft());
    grooveFill.setColorAt(0.0, QColor(40, 40, 40));
    grooveFill.setColorAt(1.0, QColor(58, 58, 58));
    p.fillPath(groove, grooveFill);

    const QRectF inner = outer.adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal filled = inner.width() * value_ / 100.0;
    if (filled > 0.0) {
        QLinearGradient fill(inner.topLeft(), inner.topRight());
        fill.setColorAt(0.0, from_);
        fill.setColorAt(1.0, to_);
        QPainterPath bar;
        bar.addRoundedRect(QRectF(inner.left(), inner.top(), filled, inner.height()), 1.5, 1.5);
        p.fillPath(bar, fill);
        // A soft highlight over the upper half gives the fill some depth.
        QLinearGradient gloss(inner.topLeft(), inner.bottomLeft());
        gloss.setColorAt(0.0, QColor(255, 255, 255, 90));
        gloss.setColorAt(0.5, QColor(255, 255, 255, 20));
        gloss.setColorAt(0.51, QColor(0, 0, 0, 0));
        gloss.setColorAt(1.0, QColor(0, 0, 0, 40));
        p.fillPath(bar, gloss);
    }

    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(groove);

    // The caption must stay legible over lime as well as over the dark groove: white text
    // with a dark halo.
    p.setRenderHint(QPainter::Antialiasing, false);
    const QString caption = text();
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    const QRect r = rect();
    p.setPen(QColor(0, 0, 0, 170));
    for (const QPoint d : {QPoint(1, 1), QPoint(-1, 0), QPoint(1, 0), QPoint(0, 1)})
        p.drawText(r.translated(d), Qt::AlignCenter, caption);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, caption);
}

}  // namespace orp
