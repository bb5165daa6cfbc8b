#include "ui/hyperlink_label.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orp {

namespace {
// Room for the outline around the glyphs.
constexpr int kPad = 2;
}  // namespace

QFont HyperLinkFont() {
    QFont f;
    // fontconfig walks the list in order; the style hint covers a system with none of them.
    f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                   QStringLiteral("Tinos"), QStringLiteral("DejaVu Serif")});
    f.setStyleHint(QFont::Serif);
    f.setPixelSize(TVrHyperLink::kPixelHeight);
    f.setUnderline(true);
    return f;
}

TVrHyperLink::TVrHyperLink(QWidget* parent) : TVrHyperLink(QString(), parent) {}

TVrHyperLink::TVrHyperLink(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFont(HyperLinkFont());
    setCursor(Qt::PointingHandCursor);
    // Transparent: the panel shows between the letters.
    setAutoFillBackground(false);
}

QSize TVrHyperLink::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 2 * kPad, fm.height() + 2 * kPad};
}

void TVrHyperLink::SetHot(bool hot) {
    if (hot == hot_) return;
    hot_ = hot;
    update();
}

void TVrHyperLink::enterEvent(QEnterEvent* event) {
    SetHot(true);
    QLabel::enterEvent(event);
}

void TVrHyperLink::leaveEvent(QEvent* event) {
    SetHot(false);
    QLabel::leaveEvent(event);
}

void TVrHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void TVrHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    // Dragging off the label before letting go is the usual way to take a click back.
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    event->accept();
    if (click) emit clicked();
}

void TVrHyperLink::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QFont f = font();
    const QFontMetrics fm(f);
    const QRect area = contentsRect().adjusted(kPad, kPad, -kPad, -kPad);
    const int width = fm.horizontalAdvance(text());
    int x = area.left();
    if (alignment() & Qt::AlignRight)
        x = area.right() - width + 1;
    else if (alignment() & Qt::AlignHCenter)
        x = area.left() + (area.width() - width) / 2;
    const int baseline = area.top() + (area.height() - fm.height()) / 2 + fm.ascent();

    // The glyphs as a path, so the outline follows their shape; the underline drawn as a bar.
    QPainterPath path;
    QFont plain = f;
    plain.setUnderline(false);
    path.addText(x, baseline, plain, text());
    const int lineTop = baseline + fm.underlinePos();
    const int lineHeight = std::max(1, fm.lineWidth());
    path.addRect(x, lineTop, width, lineHeight);
    path.setFillRule(Qt::WindingFill);

    p.setPen(QPen(kOutlineColour, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(TextColour());
    p.drawPath(path);
}

}  // namespace orp
