#pragma once
// Every box, question, file dialog and shell-open of the window goes through this interface, so
// tests can answer them and a start without a display can print instead of waiting for a click.
#include <QString>
#include <QUrl>

#include <optional>

namespace orp {

class IUserDialogs {
public:
    virtual ~IUserDialogs() = default;
    // A modal box with an OK button, captioned with the application title.
    virtual void ShowMessage(const QString& text) = 0;
    // The command-line help; a console prints it to standard output.
    virtual void ShowHelp(const QString& text) = 0;
    // Yes/No question; true only for Yes.
    virtual bool ConfirmYesNo(const QString& text) = 0;
    // The shared save dialog: filter "*.csv", button caption "Save Log", type label "Comma
    // Delimeted", no overwrite question. `lastName` is what the dialog offers and keeps.
    virtual std::optional<QString> AskSaveFileName(QString& lastName) = 0;
    // The shell's "open": never waits, never reports.
    virtual void OpenDocument(const QString& pathOrUrl) = 0;
};

// What the shell is asked to open for a document or an address. An absolute path is a local
// file whatever it holds (a folder may be called "a://b"); anything else is an address.
QUrl DocumentUrl(const QString& pathOrUrl);

// Boxes and dialogs on the desktop.
class QtUserDialogs : public IUserDialogs {
public:
    void ShowMessage(const QString& text) override;
    void ShowHelp(const QString& text) override;
    bool ConfirmYesNo(const QString& text) override;
    std::optional<QString> AskSaveFileName(QString& lastName) override;
    void OpenDocument(const QString& pathOrUrl) override;
};

// No display (cron, ssh): messages go to standard error, help to standard output, questions
// are answered No and dialogs cancelled, so nothing ever waits for a click that cannot come.
class ConsoleUserDialogs : public IUserDialogs {
public:
    void ShowMessage(const QString& text) override;
    void ShowHelp(const QString& text) override;
    bool ConfirmYesNo(const QString& text) override;
    std::optional<QString> AskSaveFileName(QString& lastName) override;
    void OpenDocument(const QString& pathOrUrl) override;
};

}  // namespace orp
