#pragma once
// The window's colour scheme, set once at start-up: named panels and every widget of the
// scheme's classes get the window's dark grey, and the scheme's text classes white text.
#include <QColor>
#include <QList>
#include <QWidget>

namespace orp {

// The scheme's colours, for the window and the widgets drawn in code.
inline const QColor kSchemeGrey(81, 81, 81);
inline const QColor kSchemeText(255, 255, 255);

// Background colour c: the widget's own Window and Base roles (so children that follow their
// parent, like the grids, take it on) and an opaque background.
void SetBackgroundColour(QWidget* widget, const QColor& c);
// Text colour: WindowText (labels, check boxes, captions) and Text (memos, lists).
void SetTextColour(QWidget* widget, const QColor& c);

// First the named panels get background c; then every descendant widget of the window, in
// creation order, whose class is exactly one of TJvLabel, TsuiPanel, TsuiRadioButton,
// TsuiFileListBox, TsuiCheckBox, TsuiMemo gets its colours. A derived class, whatever its
// name, is left as it was.
void ApplyPanelColours(QWidget* window, const QColor& c, const QList<QWidget*>& namedPanels);

}  // namespace orp
