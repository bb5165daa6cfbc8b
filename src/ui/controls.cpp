#include "ui/controls.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace orp {

QString SchemeClassName(const QObject* object) {
    if (!object) return {};
    QString name = QString::fromLatin1(object->metaObject()->className());
    static const QString kOwn = QStringLiteral("orp::");
    if (name.startsWith(kOwn)) name.remove(0, kOwn.size());
    return name;
}

TsuiPanel::TsuiPanel(QWidget* parent) : TsuiPanel(QString(), parent) {}

TsuiPanel::TsuiPanel(const QString& caption, QWidget* parent) : QFrame(parent), caption_(caption) {
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    UpdateMargins();
}

void TsuiPanel::setCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update(captionRect());
}

void TsuiPanel::setCaptionVisible(bool visible) {
    if (visible == captionVisible_) return;
    captionVisible_ = visible;
    UpdateMargins();
    update();
}

QRect TsuiPanel::captionRect() const {
    return captionVisible_ ? QRect(0, 0, width(), kCaptionHeight) : QRect();
}

QSize TsuiPanel::minimumSizeHint() const {
    const QSize base = QFrame::minimumSizeHint();
    const int textWidth = fontMetrics().horizontalAdvance(caption_) + 16;
    return {std::max(base.width(), captionVisible_ ? textWidth : 0), base.height()};
}

void TsuiPanel::UpdateMargins() {
    setContentsMargins(3, captionVisible_ ? kCaptionHeight + 3 : 3, 3, 3);
}

void TsuiPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    const QColor bg = palette().color(QPalette::Window);
    // A hairline frame a little darker than the panel keeps neighbouring panels apart.
    p.setPen(bg.darker(160));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!captionVisible_) return;

    // The caption strip: brushed steel, lit from above, with a dark rule underneath.
    const QRect strip = captionRect().adjusted(1, 1, -1, 0);
    QLinearGradient steel(strip.topLeft(), strip.bottomLeft());
    steel.setColorAt(0.0, QColor(122, 132, 146));
    steel.setColorAt(0.45, QColor(88, 98, 112));
    steel.setColorAt(1.0, QColor(62, 70, 82));
    p.fillRect(strip, steel);
    p.setPen(QColor(150, 160, 174));
    p.drawLine(strip.topLeft(), strip.topRight());
    p.setPen(QColor(28, 30, 34));
    p.drawLine(strip.left(), strip.bottom(), strip.right(), strip.bottom());

    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    const QRect textRect = strip.adjusted(7, 0, -7, -1);
    const QString text = QFontMetrics(f).elidedText(caption_, Qt::ElideRight, textRect.width());
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(textRect.translated(1, 1), Qt::AlignLeft | Qt::AlignVCenter, text);
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, text);
}

}  // namespace orp
