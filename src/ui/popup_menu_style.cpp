#include "ui/popup_menu_style.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QSet>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

#include "ui/style.h"

namespace orp {

namespace {
using Look = PopupMenuLook;
constexpr int kTextGap = 8;      // side bar to text
constexpr int kArrowSpace = 20;  // room for the submenu arrow at the right
constexpr int kShortcutGap = 16;
const QColor kDisabledText(128, 128, 128);

void DrawArrow(QPainter* p, const QRect& item, const QColor& c, bool rightToLeft) {
    const int cy = item.center().y();
    const int x = rightToLeft ? item.left() + 8 : item.right() - 10;
    const int dir = rightToLeft ? -1 : 1;
    const QPoint tri[3] = {QPoint(x, cy - 4), QPoint(x + dir * 4, cy), QPoint(x, cy + 4)};
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(Qt::NoPen);
    p->setBrush(c);
    p->drawPolygon(tri, 3);
    p->restore();
}

void DrawCheck(QPainter* p, const QRect& box, const QColor& c, bool radio) {
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    if (radio) {
        p->setPen(Qt::NoPen);
        p->setBrush(c);
        p->drawEllipse(QRectF(box.center().x() - 3, box.center().y() - 3, 7, 7));
    } else {
        p->setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPointF m = box.center();
        const QPointF tick[3] = {m + QPointF(-4, 0), m + QPointF(-1, 3), m + QPointF(4, -3)};
        p->drawPolyline(tick, 3);
    }
    p->restore();
}

}  // namespace

PopupMenuStyle::PopupMenuStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

int PopupMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const {
    switch (metric) {
        case PM_MenuPanelWidth:
            return 1;  // the black border
        case PM_MenuHMargin:
        case PM_MenuVMargin:
            return 0;  // items run from border to border
        case PM_SubMenuOverlap:
            return 0;
        case PM_SmallIconSize:
            return 16;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int PopupMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                              QStyleHintReturn* ret) const {
    if (hint == SH_Menu_Mask) return 0;  // square corners
    return QProxyStyle::styleHint(hint, option, widget, ret);
}

QSize PopupMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                       const QSize& size, const QWidget* widget) const {
    if (type != CT_MenuItem) return QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item && item->menuItemType == QStyleOptionMenuItem::Separator)
        return {Look::kSideBarWidth + 2 * kTextGap, Look::kSeparatorHeight};
    // The menu adds the shortcut column itself; leave a gap before it when there is one.
    const int shortcutGap = item && item->reservedShortcutWidth > 0 ? kShortcutGap : 0;
    return {Look::kSideBarWidth + kTextGap + size.width() + shortcutGap + kArrowSpace,
            Look::kItemHeight};
}

void PopupMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    switch (element) {
        case PE_PanelMenu: {
            painter->fillRect(option->rect, Look::kBackground);
            const int fw = pixelMetric(PM_MenuPanelWidth, option, widget);
            QRect bar(option->rect.left() + fw, option->rect.top() + fw, Look::kSideBarWidth,
                      option->rect.height() - 2 * fw);
            if (option->direction == Qt::RightToLeft) bar.moveRight(option->rect.right() - fw);
            painter->fillRect(bar, Look::kSideBar);
            return;
        }
        case PE_FrameMenu: {
            painter->save();
            painter->setPen(Look::kBorder);
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        default:
            QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void PopupMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    if (element == CE_MenuEmptyArea) return;  // the panel already painted it
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuItem || !item) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    const QRect r = item->rect;
    const bool rtl = item->direction == Qt::RightToLeft;
    const QRect bar =
        rtl ? QRect(r.right() - Look::kSideBarWidth + 1, r.top(), Look::kSideBarWidth, r.height())
            : QRect(r.left(), r.top(), Look::kSideBarWidth, r.height());
    painter->save();
    // Items repaint their own strip of the side bar and background, so a hover change that
    // repaints one item leaves no trace of the old highlight.
    painter->fillRect(r, Look::kBackground);
    painter->fillRect(bar, Look::kSideBar);

    if (item->menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = r.top() + r.height() / 2;
        painter->setPen(Look::kSeparator);
        if (rtl)
            painter->drawLine(r.left() + 3, y, bar.left() - kTextGap / 2, y);
        else
            painter->drawLine(bar.right() + kTextGap / 2, y, r.right() - 3, y);
        painter->restore();
        return;
    }

    const bool enabled = item->state & State_Enabled;
    const bool selected = enabled && (item->state & State_Selected);
    if (selected) {
        painter->fillRect(r, Look::kSelected);
        painter->setPen(Look::kSelected);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
    }
    const QColor text = !enabled ? kDisabledText : selected ? Look::kSelectedText : Look::kText;

    // Icon or check mark sits in the side bar.
    if (!item->icon.isNull()) {
        const int s = pixelMetric(PM_SmallIconSize, option, widget);
        const QRect iconRect(bar.center().x() - s / 2 + 1, bar.center().y() - s / 2 + 1, s, s);
        const QIcon::Mode mode = !enabled   ? QIcon::Disabled
                                 : selected ? QIcon::Active
                                            : QIcon::Normal;
        item->icon.paint(painter, iconRect, Qt::AlignCenter, mode,
                         item->checked ? QIcon::On : QIcon::Off);
    } else if (item->checkType != QStyleOptionMenuItem::NotCheckable && item->checked) {
        DrawCheck(painter, bar, text, item->checkType == QStyleOptionMenuItem::Exclusive);
    }

    QString label = item->text;
    QString shortcut;
    if (const qsizetype tab = label.indexOf(QLatin1Char('\t')); tab >= 0) {
        shortcut = label.mid(tab + 1);
        label = label.left(tab);
    }
    int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    flags |= proxy()->styleHint(SH_UnderlineShortcut, option, widget) ? Qt::TextShowMnemonic
                                                                      : Qt::TextHideMnemonic;
    const QRect textRect =
        rtl ? QRect(r.left() + kArrowSpace, r.top(), bar.left() - kTextGap - r.left() - kArrowSpace,
                    r.height())
            : QRect(bar.right() + 1 + kTextGap, r.top(),
                    r.right() - bar.right() - kTextGap - kArrowSpace, r.height());
    QFont f = item->font;
    if (item->menuItemType == QStyleOptionMenuItem::DefaultItem) f.setBold(true);
    painter->setFont(f);
    painter->setPen(text);
    painter->drawText(textRect, flags | (rtl ? Qt::AlignRight : Qt::AlignLeft), label);
    if (!shortcut.isEmpty())
        painter->drawText(textRect, flags | (rtl ? Qt::AlignLeft : Qt::AlignRight), shortcut);
    if (item->menuItemType == QStyleOptionMenuItem::SubMenu) DrawArrow(painter, r, text, rtl);
    painter->restore();
}

namespace {

void StyleOneMenu(QMenu* menu, QSet<QMenu*>& done) {
    if (!menu || done.contains(menu)) return;  // a submenu may appear twice, or loop back
    done.insert(menu);
    // One style object per menu, owned by it, so it lives exactly as long as the menu; a
    // second call reuses it.
    auto* style = menu->findChild<PopupMenuStyle*>(QString(), Qt::FindDirectChildrenOnly);
    if (!style) {
        style = new PopupMenuStyle;
        style->setParent(menu);
    }
    menu->setStyle(style);
    menu->setFont(QApplication::font("QMenu"));
    QPalette pal = menu->palette();
    pal.setColor(QPalette::Window, Look::kBackground);
    pal.setColor(QPalette::WindowText, Look::kText);
    pal.setColor(QPalette::ButtonText, Look::kText);
    pal.setColor(QPalette::Highlight, Look::kSelected);
    pal.setColor(QPalette::HighlightedText, Look::kSelectedText);
    menu->setPalette(pal);
    for (QAction* a : menu->actions()) StyleOneMenu(a->menu(), done);
}

}  // namespace

void StylePopupMenu(QMenu* menu) {
    QSet<QMenu*> done;
    StyleOneMenu(menu, done);
}

}  // namespace orp
