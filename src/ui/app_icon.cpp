#include "ui/app_icon.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>

#include "ui/style.h"

namespace orp {

namespace {

// Everything is laid out on a 64-unit square and scaled; small sizes drop detail that would
// only turn into mud.
void PaintIcon(QPainter& p, int size) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 64.0, size / 64.0);
    const bool tiny = size < 24;

    // A steel-blue disc with a dark rim.
    QRadialGradient disc(QPointF(24, 18), 52);
    disc.setColorAt(0.0, QColor(138, 184, 224));
    disc.setColorAt(0.55, QColor(70, 130, 180));
    disc.setColorAt(1.0, QColor(30, 62, 94));
    p.setPen(QPen(QColor(16, 30, 46), tiny ? 3.0 : 2.0));
    p.setBrush(disc);
    p.drawEllipse(QRectF(2, 2, 60, 60));

    // The memory module: a green board with chips and gold contacts.
    const QRectF board(9, 20, 46, 22);
    QLinearGradient pcb(board.topLeft(), board.bottomLeft());
    pcb.setColorAt(0.0, QColor(40, 150, 70));
    pcb.setColorAt(1.0, QColor(18, 92, 40));
    p.setPen(QPen(QColor(8, 40, 16), tiny ? 2.0 : 1.2));
    p.setBrush(pcb);
    p.drawRoundedRect(board, 2, 2);
    if (!tiny) {
        // The notch between the contact rows, so it reads as a module and not a box.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 62, 94));
        p.drawRect(QRectF(30, 38.5, 4, 4));
    }
    const int chips = tiny ? 2 : 4;
    const qreal chipW = tiny ? 16 : 8, gap = tiny ? 6 : 3;
    const qreal chipsWidth = chips * chipW + (chips - 1) * gap;
    qreal x = board.center().x() - chipsWidth / 2;
    for (int i = 0; i < chips; ++i, x += chipW + gap) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(22, 24, 28));
        p.drawRoundedRect(QRectF(x, 23.5, chipW, 11), 1, 1);
        if (!tiny) {
            p.setBrush(QColor(70, 74, 82));
            p.drawRect(QRectF(x + 1, 24.5, chipW - 2, 1.2));
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(232, 188, 64));
    if (tiny) {
        p.drawRect(QRectF(12, 37, 40, 3.5));
    } else {
        for (qreal cx = 12; cx < 52; cx += 3) {
            if (cx > 28.5 && cx < 34.5) continue;  // the notch
            p.drawRect(QRectF(cx, 37.5, 1.8, 3.5));
        }
    }

    // A lime gauge arc across the top: free memory coming back.
    QPen arc(QColor(120, 255, 60), tiny ? 5.0 : 4.0, Qt::SolidLine, Qt::RoundCap);
    p.setPen(arc);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(12, 7, 40, 40), 30 * 16, 120 * 16);
    if (!tiny) {
        // The arrow head at the arc's left end.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 255, 60));
        const QPointF head[3] = {QPointF(10.5, 13.0), QPointF(19.5, 11.0), QPointF(15.5, 19.0)};
        p.drawPolygon(head, 3);
    }

    // A soft highlight over the upper half of the disc.
    if (!tiny) {
        QPainterPath gloss;
        gloss.addEllipse(QRectF(8, 4, 48, 26));
        QLinearGradient g(QPointF(0, 4), QPointF(0, 30));
        g.setColorAt(0.0, QColor(255, 255, 255, 70));
        g.setColorAt(1.0, QColor(255, 255, 255, 0));
        p.fillPath(gloss, g);
    }
    p.restore();
}

}  // namespace

QList<int> AppIconSizes() {
    return {16, 22, 24, 32, 48, 64, 128, 256};
}

QPixmap AppIconPixmap(int size) {
    size = std::clamp(size, 8, 1024);
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    PaintIcon(p, size);
    return pm;
}

QIcon AppIcon() {
    QIcon icon;
    for (int s : AppIconSizes()) icon.addPixmap(AppIconPixmap(s));
    return icon;
}

QPixmap HelpGlyphPixmap(int size) {
    size = std::clamp(size, 8, 256);
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF disc(0.5, 0.5, size - 1.0, size - 1.0);
    QLinearGradient g(disc.topLeft(), disc.bottomLeft());
    g.setColorAt(0.0, QColor(132, 176, 214));
    g.setColorAt(1.0, QColor(42, 84, 122));
    p.setPen(QPen(QColor(16, 30, 46), 1));
    p.setBrush(g);
    p.drawEllipse(disc);
    QFont f = WindowFont();
    f.setBold(true);
    f.setPixelSize(std::max(6, size * 3 / 4));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(0, 0, size, size), Qt::AlignCenter, QStringLiteral("?"));
    return pm;
}

QIcon HelpIcon() {
    QIcon icon;
    for (int s : {16, 22, 32}) icon.addPixmap(HelpGlyphPixmap(s));
    return icon;
}

QPixmap LogoPixmap() {
    QPixmap pm(kLogoWidth, kLogoHeight);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);

    const QRectF card(0.5, 0.5, kLogoWidth - 1, kLogoHeight - 1);
    QLinearGradient bg(card.topLeft(), card.bottomLeft());
    bg.setColorAt(0.0, QColor(58, 66, 78));
    bg.setColorAt(0.5, QColor(36, 40, 48));
    bg.setColorAt(1.0, QColor(22, 24, 28));
    p.setPen(QPen(QColor(12, 12, 14), 1));
    p.setBrush(bg);
    p.drawRoundedRect(card, 6, 6);
    // A steel-blue rule under the name.
    QLinearGradient rule(QPointF(74, 0), QPointF(232, 0));
    rule.setColorAt(0.0, QColor(70, 130, 180));
    rule.setColorAt(1.0, QColor(70, 130, 180, 0));
    p.fillRect(QRectF(74, 45, 158, 2), rule);

    const QPixmap icon = AppIconPixmap(60);
    p.drawPixmap(7, (kLogoHeight - icon.height()) / 2, icon);

    // The name is fitted to the card: the window font differs from machine to machine.
    const QString orrindo = QStringLiteral("Orrindo"), pro = QStringLiteral("Pro");
    constexpr int kTextLeft = 74, kTextRoom = kLogoWidth - kTextLeft - 8;
    QFont name = WindowFont();
    name.setBold(true);
    int px = 28;
    for (; px > 12; --px) {
        name.setPixelSize(px);
        const QFontMetrics fm(name);
        if (fm.horizontalAdvance(orrindo) + px / 4 + fm.horizontalAdvance(pro) <= kTextRoom) break;
    }
    p.setFont(name);
    const int nameWidth = QFontMetrics(name).horizontalAdvance(orrindo);
    p.setPen(QColor(0, 0, 0, 150));
    p.drawText(QPointF(kTextLeft + 1, 39), orrindo);
    p.setPen(Qt::white);
    p.drawText(QPointF(kTextLeft, 38), orrindo);
    p.setPen(QColor(120, 255, 60));
    p.drawText(QPointF(kTextLeft + nameWidth + px / 4, 38), pro);

    QFont tag = WindowFont();
    tag.setPixelSize(11);
    p.setFont(tag);
    p.setPen(QColor(192, 192, 192));
    p.drawText(QPointF(75, 61), QStringLiteral("memory monitor & optimiser"));
    return pm;
}

}  // namespace orp
