#pragma once
// Scripted answers for the window's boxes and dialogs; records what was shown.
#include <QString>
#include <QStringList>

#include <optional>

#include "app/user_dialogs.h"

namespace orp {

class FakeDialogs : public IUserDialogs {
public:
    QStringList messages;
    QStringList helps;
    QStringList questions;
    QStringList opened;
    bool answerYes = false;
    std::optional<QString> saveName;  // nullopt: the user cancels
    int saveDialogs = 0;

    void ShowMessage(const QString& text) override { messages << text; }
    void ShowHelp(const QString& text) override { helps << text; }
    bool ConfirmYesNo(const QString& text) override {
        questions << text;
        return answerYes;
    }
    std::optional<QString> AskSaveFileName(QString& lastName) override {
        ++saveDialogs;
        if (saveName) lastName = *saveName;
        return saveName;
    }
    void OpenDocument(const QString& pathOrUrl) override { opened << pathOrUrl; }
};

}  // namespace orp
