#pragma once
// The window's fixed look: one dark-grey scheme with white Tahoma text, silver rounded tooltips
// that go after 3.5 s, steel-blue tabs, buttons and sliders, and one popup-menu style.
#include <QColor>
#include <QFont>
#include <QString>

class QApplication;
class QMenu;

namespace orp {

inline constexpr int kToolTipMilliseconds = 3500;

// Tahoma at 8 points; where Tahoma is not installed, the closest sans-serif face there is.
QFont WindowFont();
// The rules the application's style sheet holds (pages, tabs, buttons, grid headers,
// tooltips). Sliders, spin boxes and check marks are drawn by the base style instead: a style
// sheet would drop the sliders' tick marks and the spin buttons' arrows. Widgets the colour
// scheme paints by palette are not named in it, so their palettes keep working.
QString ApplicationStyleSheet();

// Fusion as the base style, the dark palette, the window font, the style sheet and the tooltip
// filter (shape and display time). Safe to call more than once.
void ApplyApplicationStyle(QApplication& app);

// The values of the popup-menu style.
struct PopupMenuLook {
    static constexpr int kItemHeight = 21;
    static constexpr int kSeparatorHeight = 5;
    static constexpr int kSideBarWidth = 26;
    static inline const QColor kSideBar{106, 106, 106};
    static inline const QColor kBackground{81, 81, 81};
    static inline const QColor kSeparator{132, 130, 132};
    static inline const QColor kSelected{138, 138, 138};
    static inline const QColor kSelectedText{255, 255, 255};
    static inline const QColor kText{196, 196, 196};
    static inline const QColor kBorder{0, 0, 0};
};

// Draws the menu, and every submenu it holds now, in the popup-menu style, with the system's
// menu font. Submenus added later need their own call.
void StylePopupMenu(QMenu* menu);

}  // namespace orp
