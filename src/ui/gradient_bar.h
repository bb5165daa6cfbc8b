#pragma once
// A percentage bar filled with a colour gradient and captioned "<n>%" in its middle. The gradient
// spans the whole bar and the fill uncovers it, so the colour at the tip tells the level.
#include <QColor>
#include <QString>
#include <QWidget>

namespace orp {

class GradientBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDesignValue = 1;

    GradientBar(QColor from, QColor to, QWidget* parent = nullptr);

    // Values outside 0..100 are ignored: the bar keeps what it showed. An equal value is not
    // a change (no signal, no repaint).
    void setValue(int percent);
    int value() const { return value_; }
    QString text() const;  // the caption, "<n>%"

    QColor fromColour() const { return from_; }
    QColor toColour() const { return to_; }
    void setColours(QColor from, QColor to);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor from_, to_;
    int value_ = kDesignValue;
};

}  // namespace orp
