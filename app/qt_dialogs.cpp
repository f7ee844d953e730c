#include "app/qt_dialogs.h"

#include "app/shown_text.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include <algorithm>

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

QWidget *QtDialogs::owner() const
{
    return m_progressWindow && m_progressWindow->isVisible() ? m_progressWindow : m_owner;
}

void keepLinesWhole(QMessageBox &box)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    if (!label)
        return;
    box.ensurePolished();
    const QFontMetrics metrics(label->font());
    int widest = 0;
    for (const QString &line : label->text().split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // The box's icon and margins take room beside the text; a line wider than the screen wraps.
    constexpr int BesideText = 120;
    const QScreen *screen = box.screen();
    const int room = screen ? screen->availableSize().width() - BesideText : widest;
    label->setMinimumWidth(std::min(widest + 1, room));
}

bool QtDialogs::confirm(const QString &caption, const QString &question)
{
    QMessageBox box(QMessageBox::Question, shownText(caption), shownText(question), QMessageBox::Yes | QMessageBox::No,
                    owner());
    keepLinesWhole(box);
    // The window speaks Russian; Qt's own button texts would not.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    return box.exec() != QMessageBox::No;
}

QString folderPickerStart()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return !desktop.isEmpty() && QFileInfo(desktop).isDir() ? desktop : QDir::homePath();
}

void prepareInputBox(QInputDialog &dialog, const QString &caption, const QString &prompt, const QString &defaultText)
{
    dialog.setWindowTitle(shownText(caption));
    dialog.setLabelText(shownText(prompt));
    dialog.setTextValue(defaultText);
    dialog.setCancelButtonText(QStringLiteral("Отмена"));
    // The title bar's font is the window manager's; a bold one of the dialog's size stands in,
    // and the bar's icon and buttons take room beside it. The prompt keeps a margin each side.
    // The dialog's layout sets its size, so the text field is made that wide.
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    constexpr int TitleBarButtons = 160;
    constexpr int PromptMargins = 20;
    const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + TitleBarButtons;
    const int promptWidth =
        QFontMetrics(dialog.font()).boundingRect(QRect(), Qt::TextExpandTabs, dialog.labelText()).width() +
        PromptMargins;
    const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
    if (auto *field = dialog.findChild<QLineEdit *>())
        field->setMinimumWidth(std::max(captionWidth, promptWidth) - margins.left() - margins.right());
}

QString QtDialogs::inputBox(const QString &caption, const QString &prompt, const QString &defaultText)
{
    QInputDialog dialog(owner());
    prepareInputBox(dialog, caption, prompt, defaultText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : defaultText;
}

void QtDialogs::message(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), shownText(text), QMessageBox::Ok, owner());
    keepLinesWhole(box);
    box.exec();
}

QString QtDialogs::openFile(const QString &filter)
{
    return QDir::toNativeSeparators(QFileDialog::getOpenFileName(owner(), QString(), QString(), qtFileFilter(filter)));
}

QString QtDialogs::browseForFolder(const QString &title)
{
    return QDir::toNativeSeparators(QFileDialog::getExistingDirectory(owner(), title, folderPickerStart()));
}

int QtDialogs::chooseItem(const QString &caption, const QString &prompt, const QStringList &items)
{
    QInputDialog dialog(owner());
    prepareInputBox(dialog, caption, prompt, QString());
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return int(items.indexOf(dialog.textValue()));
}
