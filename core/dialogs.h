#pragma once

#include <QString>

// The user's answers as a seam: the app shows real dialogs, tests script the answers.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    // Yes/No box owned by the main window; true unless the user answered No.
    virtual bool confirm(const QString &caption, const QString &question) = 0;
    // Input box; Cancel returns `defaultText`.
    virtual QString inputBox(const QString &caption, const QString &prompt, const QString &defaultText) = 0;
    // Message box with one OK button and the application title as caption.
    virtual void message(const QString &text) = 0;
    // File-open dialog for one existing file; empty on Cancel.
    virtual QString openFile(const QString &filter) = 0;
    // Folder picker; empty on Cancel.
    virtual QString browseForFolder(const QString &title) = 0;
    // A pick of one of `items`; its index, or -1 on Cancel.
    virtual int chooseItem(const QString &caption, const QString &prompt, const QStringList &items) = 0;
};
