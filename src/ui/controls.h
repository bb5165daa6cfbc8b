#pragma once
// Thin widget classes whose only job is their class name: the colour scheme picks widgets by
// exact class (a class derived from one of these, with its own Q_OBJECT, is left alone). They
// live in orp, so QMetaObject calls them "orp::TJvLabel"; SchemeClassName gives the bare name.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QString>

namespace orp {

// The name the colour scheme knows a widget by: its meta-object's class name, without the
// "orp::" qualifier of our own classes. Other namespaces keep theirs, so a foreign class that
// happens to share a name does not match.
QString SchemeClassName(const QObject* object);

class TJvLabel : public QLabel {
    Q_OBJECT
public:
    explicit TJvLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    explicit TJvLabel(const QString& text, QWidget* parent = nullptr) : QLabel(text, parent) {}
};

// A panel with its caption in a strip across the top; child layouts start below the strip.
class TsuiPanel : public QFrame {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
public:
    static constexpr int kCaptionHeight = 20;

    explicit TsuiPanel(QWidget* parent = nullptr);
    explicit TsuiPanel(const QString& caption, QWidget* parent = nullptr);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    // The strip can be switched off for a panel that is only a background.
    void setCaptionVisible(bool visible);
    bool captionVisible() const { return captionVisible_; }
    QRect captionRect() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateMargins();

    QString caption_;
    bool captionVisible_ = true;
};

class TsuiCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TsuiCheckBox(QWidget* parent = nullptr) : QCheckBox(parent) {}
    explicit TsuiCheckBox(const QString& text, QWidget* parent = nullptr)
        : QCheckBox(text, parent) {}
};

class TsuiRadioButton : public QRadioButton {
    Q_OBJECT
public:
    explicit TsuiRadioButton(QWidget* parent = nullptr) : QRadioButton(parent) {}
    explicit TsuiRadioButton(const QString& text, QWidget* parent = nullptr)
        : QRadioButton(text, parent) {}
};

class TsuiMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TsuiMemo(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}
    explicit TsuiMemo(const QString& text, QWidget* parent = nullptr)
        : QPlainTextEdit(text, parent) {}
};

class TsuiFileListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TsuiFileListBox(QWidget* parent = nullptr) : QListWidget(parent) {}
};

}  // namespace orp
