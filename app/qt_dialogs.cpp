#include "app/qt_dialogs.h"

#include "app/shown_text.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

QString qtFileFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        entries << parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

bool QtDialogs::confirm(const QString &caption, const QString &question)
{
    QMessageBox box(QMessageBox::Question, shownText(caption), shownText(question), QMessageBox::Yes | QMessageBox::No,
                    m_owner);
    // The window speaks Russian; Qt's own button texts would not.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    return box.exec() != QMessageBox::No;
}

QString QtDialogs::inputBox(const QString &caption, const QString &prompt, const QString &defaultText)
{
    QInputDialog dialog(m_owner);
    dialog.setWindowTitle(shownText(caption));
    dialog.setLabelText(shownText(prompt));
    dialog.setTextValue(defaultText);
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : defaultText;
}

void QtDialogs::message(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), shownText(text), QMessageBox::Ok, m_owner);
    box.exec();
}

QString QtDialogs::openFile(const QString &filter)
{
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(m_owner, QString(), QString(), qtFileFilter(filter)));
}

QString QtDialogs::browseForFolder(const QString &title)
{
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(m_owner, title));
}
