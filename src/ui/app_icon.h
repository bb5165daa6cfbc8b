#pragma once
// The program's pictures, painted in code so that no asset file can go missing: the icon (a
// memory module over a steel-blue disc, with a lime gauge) and the About page's logo.
#include <QIcon>
#include <QList>
#include <QPixmap>

namespace orp {

// The sizes the icon is drawn at, each painted for its size (not scaled from one picture).
QList<int> AppIconSizes();
QPixmap AppIconPixmap(int size);
QIcon AppIcon();
// The glyph of the help button: a white question mark on a steel-blue disc.
QPixmap HelpGlyphPixmap(int size);
QIcon HelpIcon();
// 241 x 73, for the About page.
QPixmap LogoPixmap();
inline constexpr int kLogoWidth = 241, kLogoHeight = 73;

}  // namespace orp
