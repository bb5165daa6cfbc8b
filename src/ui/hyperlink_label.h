#pragma once
// The About page's web links: a transparent, underlined serif caption that lights up from
// silver to white while the mouse is over it, drawn with a thin outline so it stays legible on
// any background. Its colours are its own: the colour scheme does not know this class, so
// ApplyPanelColours leaves it as it is.
#include <QColor>
#include <QFont>
#include <QLabel>

namespace orp {

// Times New Roman, 19 pixels, underlined; where Times New Roman is not installed, the closest
// serif face there is.
QFont HyperLinkFont();

class TVrHyperLink : public QLabel {
    Q_OBJECT
public:
    static inline const QColor kColour{192, 192, 192};     // the mouse is away
    static inline const QColor kHotColour{255, 255, 255};  // the mouse is over the label
    static inline const QColor kOutlineColour{64, 0, 64};
    static constexpr int kPixelHeight = 19;

    explicit TVrHyperLink(QWidget* parent = nullptr);
    explicit TVrHyperLink(const QString& text, QWidget* parent = nullptr);

    // The mouse is over the label.
    bool Hot() const { return hot_; }
    // The colour the caption is drawn in now.
    QColor TextColour() const { return hot_ ? kHotColour : kColour; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // A left-button press and release both on the label.
    void clicked();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetHot(bool hot);

    bool hot_ = false;
    bool pressed_ = false;
};

}  // namespace orp
