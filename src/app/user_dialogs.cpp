#include "app/user_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

#include <cstdio>

namespace orp {

namespace {
QString Title() {
    return QApplication::applicationDisplayName();
}

// The program writes CR LF in its texts; a terminal wants plain line ends.
QByteArray ForTerminal(const QString& text) {
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toLocal8Bit();
}
}  // namespace

void QtUserDialogs::ShowMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok);
    box.exec();
}

void QtUserDialogs::ShowHelp(const QString& text) {
    ShowMessage(text);
}

bool QtUserDialogs::ConfirmYesNo(const QString& text) {
    QMessageBox box(QMessageBox::Question, Title(), text, QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUserDialogs::AskSaveFileName(QString& lastName) {
    QFileDialog dialog(nullptr, Title(), lastName, QStringLiteral("Comma Delimeted (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Save Log"));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    lastName = dialog.selectedFiles().first();
    return lastName;
}

QUrl DocumentUrl(const QString& pathOrUrl) {
    if (QDir::isAbsolutePath(pathOrUrl)) return QUrl::fromLocalFile(pathOrUrl);
    return QUrl(pathOrUrl);
}

void QtUserDialogs::OpenDocument(const QString& pathOrUrl) {
    QDesktopServices::openUrl(DocumentUrl(pathOrUrl));
}

void ConsoleUserDialogs::ShowMessage(const QString& text) {
    std::fprintf(stderr, "%s\n", ForTerminal(text).constData());
}

void ConsoleUserDialogs::ShowHelp(const QString& text) {
    std::fprintf(stdout, "%s\n", ForTerminal(text).constData());
    std::fflush(stdout);
}

bool ConsoleUserDialogs::ConfirmYesNo(const QString& text) {
    ShowMessage(text);
    return false;
}

std::optional<QString> ConsoleUserDialogs::AskSaveFileName(QString&) {
    return std::nullopt;
}

void ConsoleUserDialogs::OpenDocument(const QString&) {}

}  // namespace orp
