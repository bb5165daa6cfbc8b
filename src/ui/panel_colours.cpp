#include "ui/panel_colours.h"

#include <typeindex>
#include <typeinfo>

#include "ui/controls.h"

namespace orp {

namespace {

struct SchemeRule {
    const char* name;
    std::type_index type;
    bool background;  // also background colour c; every rule gives white text
};

// The bare class name decides, as the scheme is written in class names. The type check keeps
// a derived class out even when it lacks Q_OBJECT and so reports its base's name.
const SchemeRule kRules[] = {
    {"TJvLabel", typeid(TJvLabel), false},
    {"TsuiPanel", typeid(TsuiPanel), true},
    {"TsuiRadioButton", typeid(TsuiRadioButton), false},
    {"TsuiFileListBox", typeid(TsuiFileListBox), false},
    {"TsuiCheckBox", typeid(TsuiCheckBox), false},
    {"TsuiMemo", typeid(TsuiMemo), true},
};

const SchemeRule* RuleFor(QWidget* w) {
    const QString name = SchemeClassName(w);
    for (const SchemeRule& r : kRules)
        if (name == QLatin1String(r.name) && std::type_index(typeid(*w)) == r.type) return &r;
    return nullptr;
}

}  // namespace

void SetBackgroundColour(QWidget* widget, const QColor& c) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, c);
    pal.setColor(QPalette::Base, c);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void SetTextColour(QWidget* widget, const QColor& c) {
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, c);
    pal.setColor(QPalette::Text, c);
    widget->setPalette(pal);
}

void ApplyPanelColours(QWidget* window, const QColor& c, const QList<QWidget*>& namedPanels) {
    for (QWidget* w : namedPanels)
        if (w) SetBackgroundColour(w, c);
    if (!window) return;
    const auto children = window->findChildren<QWidget*>();
    for (QWidget* w : children) {
        const SchemeRule* rule = RuleFor(w);
        if (!rule) continue;
        if (rule->background) SetBackgroundColour(w, c);
        SetTextColour(w, kSchemeText);
    }
}

}  // namespace orp
