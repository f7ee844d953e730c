#pragma once

#include "core/dialogs.h"

class QInputDialog;
class QMessageBox;
class QWidget;

// The dialogs a user answers, shown as Qt's message boxes, input box and file dialogs,
// owned by the main window, or by the progress window while that is shown: it stays on top,
// so a dialog of the main window's, such as a synchronisation's success message, would open
// beneath it.
class QtDialogs : public Dialogs
{
public:
    void setOwners(QWidget *mainWindow, QWidget *progressWindow)
    {
        m_owner = mainWindow;
        m_progressWindow = progressWindow;
    }
    // The window the next dialog belongs to.
    QWidget *owner() const;

    bool confirm(const QString &caption, const QString &question) override;
    QString inputBox(const QString &caption, const QString &prompt, const QString &defaultText) override;
    void message(const QString &text) override;
    // `filter` is written "Name|*.a;*.b".
    QString openFile(const QString &filter) override;
    QString browseForFolder(const QString &title) override;
    // A list to pick from with the arrow keys, OK and Cancel.
    int chooseItem(const QString &caption, const QString &prompt, const QStringList &items) override;

private:
    QWidget *m_owner = nullptr;
    QWidget *m_progressWindow = nullptr;
};

// "Name|*.a;*.b" as Qt writes a file filter: "Name (*.a *.b)".
QString qtFileFilter(const QString &filter);

// Where the folder picker opens: the user's desktop folder, or the home folder where there
// is no desktop folder.
QString folderPickerStart();

// A message box wraps a long line at a width of its own; this sizes it to the text's own line
// breaks instead, as far as the screen allows.
void keepLinesWhole(QMessageBox &box);

// Sets up the input box with its caption, prompt and default text, wide enough that neither
// the caption in its title bar nor the prompt is cut.
void prepareInputBox(QInputDialog &dialog, const QString &caption, const QString &prompt, const QString &defaultText);
