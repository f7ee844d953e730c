#include "app/collection_source_menu.h"

#include "widgets/flat_tool_button.h"
#include "widgets/picture_button.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QMenu>
#include <QSettings>
#include <QToolButton>

#include <array>

namespace {
const QString settingKey = QStringLiteral("automaticCollections/source");

struct SourceText
{
    CollectionSource source;
    QLatin1String setting;
    QString entry;
    QString hint;
};

const std::array<SourceText, 3> &sourceTexts()
{
    static const std::array<SourceText, 3> texts{{
        {CollectionSource::Folders, QLatin1String("folders"), QStringLiteral("Создать коллекции по папкам"),
         QStringLiteral("Создать коллекции автоматически на основе папок в списке файлов")},
        {CollectionSource::Series, QLatin1String("series"), QStringLiteral("Создать коллекции по сериям книг"),
         QStringLiteral("Создать коллекции автоматически по сериям книг в списке файлов "
                        "(книги без серии - по папкам)")},
        {CollectionSource::Authors, QLatin1String("authors"), QStringLiteral("Создать коллекции по авторам книг"),
         QStringLiteral("Создать коллекции автоматически по авторам книг в списке файлов "
                        "(книги без автора - по папкам)")},
    }};
    return texts;
}

const SourceText &textOf(CollectionSource source)
{
    for (const SourceText &text : sourceTexts())
        if (text.source == source)
            return text;
    return sourceTexts().front();
}
} // namespace

QToolButton *makeCollectionSourceButton(int height, QWidget *parent)
{
    auto *button = new FlatToolButton(parent);
    button->setArrowType(Qt::DownArrow);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFixedSize(14, height);
    // The arrow itself says a menu opens; the style's own indicator would draw a second one.
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    button->setToolTip(QStringLiteral("Как создавать коллекции автоматически: по папкам, сериям или авторам"));
    auto *menu = new QMenu(button);
    auto *group = new QActionGroup(menu);
    for (const SourceText &text : sourceTexts()) {
        QAction *entry = menu->addAction(text.entry);
        entry->setCheckable(true);
        entry->setData(int(text.source));
        group->addAction(entry);
    }
    button->setMenu(menu);
    return button;
}

CollectionSource rememberedCollectionSource()
{
    const QString setting = QSettings().value(settingKey).toString();
    for (const SourceText &text : sourceTexts())
        if (setting == text.setting)
            return text.source;
    return CollectionSource::Folders;
}

void rememberCollectionSource(CollectionSource source)
{
    QSettings().setValue(settingKey, QString(textOf(source).setting));
}

void showCollectionSource(QToolButton *sourceButton, QAbstractButton *automaticButton, CollectionSource source)
{
    for (QAction *entry : sourceButton->menu()->actions())
        entry->setChecked(entry->data().toInt() == int(source));
    automaticButton->setToolTip(hintWithShortcut(textOf(source).hint, automaticButton->shortcut()));
}
