#pragma once

#include "core/dialogs.h"

#include <QQueue>
#include <QStringList>

// The user's answers, scripted in advance; every dialog shown is recorded.
class ScriptedDialogs : public Dialogs
{
public:
    QQueue<bool> confirmAnswers;   // an empty queue answers Yes
    QQueue<QString> inputAnswers;  // an empty queue answers Cancel (the default text)
    QQueue<QString> fileAnswers;   // an empty queue cancels
    QQueue<QString> folderAnswers; // an empty queue cancels
    QQueue<int> choiceAnswers;     // an empty queue cancels

    struct Shown
    {
        QString kind; // "confirm", "input", "message", "openFile", "browseForFolder", "choose"
        QString caption;
        QString text;
        QString defaultText;
        QStringList items = {};
    };
    QList<Shown> shown;
    QStringList messages() const;

    bool confirm(const QString &caption, const QString &question) override;
    QString inputBox(const QString &caption, const QString &prompt, const QString &defaultText) override;
    void message(const QString &text) override;
    QString openFile(const QString &filter) override;
    QString browseForFolder(const QString &title) override;
    int chooseItem(const QString &caption, const QString &prompt, const QStringList &items) override;
};
