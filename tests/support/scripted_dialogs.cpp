#include "support/scripted_dialogs.h"

QStringList ScriptedDialogs::messages() const
{
    QStringList texts;
    for (const Shown &dialog : shown)
        if (dialog.kind == QLatin1String("message"))
            texts << dialog.text;
    return texts;
}

bool ScriptedDialogs::confirm(const QString &caption, const QString &question)
{
    shown.append({QStringLiteral("confirm"), caption, question, {}});
    return confirmAnswers.isEmpty() ? true : confirmAnswers.dequeue();
}

QString ScriptedDialogs::inputBox(const QString &caption, const QString &prompt, const QString &defaultText)
{
    shown.append({QStringLiteral("input"), caption, prompt, defaultText});
    return inputAnswers.isEmpty() ? defaultText : inputAnswers.dequeue();
}

void ScriptedDialogs::message(const QString &text)
{
    shown.append({QStringLiteral("message"), {}, text, {}});
}

QString ScriptedDialogs::openFile(const QString &filter)
{
    shown.append({QStringLiteral("openFile"), {}, filter, {}});
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

QString ScriptedDialogs::browseForFolder(const QString &title)
{
    shown.append({QStringLiteral("browseForFolder"), title, {}, {}});
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

int ScriptedDialogs::chooseItem(const QString &caption, const QString &prompt, const QStringList &items)
{
    shown.append({QStringLiteral("choose"), caption, prompt, {}, items});
    return choiceAnswers.isEmpty() ? -1 : choiceAnswers.dequeue();
}
