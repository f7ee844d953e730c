#include "app/page_description.h"

#include "collections/statistics.h"
#include "widgets/picture_button.h"

namespace {
const QString helpTextStart =
    QStringLiteral("Названия коллекций и книг можно \r\nменять двойным кликом мыши.\r\n\r\n"
                   "Книги можно перетаскивать:\r\n- из списка файлов в коллекцию;\r\n"
                   "- из списка файлов в список книг;\r\n- из списка книг в коллекцию.\r\n\r\n"
                   "Коллекции можно перетаскивать,\r\nобъединяя несколько в одну.\r\n\r\n");
const QString addCollectionHint = QStringLiteral("Добавить коллекцию");
const QString autoCollectionsHint = QStringLiteral("Создать коллекции автоматически на основе папок в списке файлов");
const QString synchronizeHint = QStringLiteral("Синхронизация с читалкой");
// The keys desktop programs use for opening, making anew and saving.
const QKeySequence newCollectionKey(Qt::CTRL | Qt::Key_N);
const QKeySequence automaticCollectionsKey(Qt::CTRL | Qt::SHIFT | Qt::Key_N);
const QKeySequence synchronizeKey(Qt::CTRL | Qt::Key_S);
const QString reloadHint = QStringLiteral("Загрузить библиотеку с устройства заново");

PageDescription creationPage()
{
    using enum ControlKind;
    const ControlStep collections = ControlStep::Collections;
    const ControlStep synchronize = ControlStep::Synchronize;
    return {
        QStringLiteral("creatorpage"),
        QStringLiteral("Создание коллекций и загрузка книг"),
        QStringLiteral("infopanel"),
        QStringLiteral("pathpanel"),
        QStringLiteral("collectionpanel"),
        QStringLiteral("bookpanel"),
        QStringLiteral("PathList"),
        QStringLiteral("CollectionList"),
        QStringLiteral("BookList"),
        {
            {StepNumber, QStringLiteral("label1_1"), 6, 12, QStringLiteral("1.")},
            {StepLabel, QStringLiteral("label1_2"), 24, 16,
             QStringLiteral("Добавьте книги\r\n(можно перетаскиванием):")},
            {Button, QStringLiteral("AddFileButton"), 24, 48, QStringLiteral("Добавить файл"),
             QStringLiteral(":/add_file.png"), 36, ControlStep::Always, QKeySequence(Qt::CTRL | Qt::Key_O)},
            {Button, QStringLiteral("AddDirButton"), 72, 48, QStringLiteral("Добавить папку"),
             QStringLiteral(":/add_dir.png"), 36, ControlStep::Always, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
            {StepNumber, QStringLiteral("label2_1"), 6, 91, QStringLiteral("2."), {}, 0, collections},
            {StepLabel,
             QStringLiteral("label2_2"),
             24,
             96,
             QStringLiteral("Создайте коллекции\r\n(вручную или автоматически):"),
             {},
             0,
             collections},
            {Button, QStringLiteral("addcollectionbutton"), 24, 128, addCollectionHint,
             QStringLiteral(":/add_collection.png"), 36, collections, newCollectionKey},
            {Button, QStringLiteral("autocollectionbutton"), 72, 128, autoCollectionsHint,
             QStringLiteral(":/auto_collections.png"), 36, collections, automaticCollectionsKey},
            {SourceMenu, QStringLiteral("autocollectionsource"), 109, 128, {}, {}, 36, collections},
            {HelpLabel,
             QStringLiteral("label2_3"),
             24,
             176,
             helpTextStart + QStringLiteral("Книги, коллекции и файлы из списка \r\nможно удалять клавишей Delete."),
             {},
             0,
             collections},
            {StepNumber, QStringLiteral("label3_1"), 6, 355, QStringLiteral("3."), {}, 0, synchronize},
            {StepLabel,
             QStringLiteral("label3_2"),
             24,
             360,
             QStringLiteral("Синхронизируйте файлы и \r\nколлекции с устройством:"),
             {},
             0,
             synchronize},
            {Button, QStringLiteral("Synchronizebutton"), 24, 392, synchronizeHint, QStringLiteral(":/synchronize.png"),
             50, synchronize, synchronizeKey},
            {StatisticsCaptions, QStringLiteral("statisticlabel"), 24, 496, statisticsCaptionText()},
            {StatisticsValues, QStringLiteral("statisctilabelvalue"), 178, 496, {}},
        },
    };
}

PageDescription editingPage()
{
    using enum ControlKind;
    // The editing page never hides its synchronise step; statistics only show it again.
    const ControlStep synchronize = ControlStep::Synchronize;
    return {
        QStringLiteral("editorpage"),
        QStringLiteral("Редактирование существующих коллекций"),
        QStringLiteral("einfopanel"),
        QStringLiteral("epathpanel"),
        QStringLiteral("ecollectionpanel"),
        QStringLiteral("ebookpanel"),
        QStringLiteral("epathlist"),
        QStringLiteral("ecollectionlist"),
        QStringLiteral("ebooklist"),
        {
            {StepNumber, QStringLiteral("Label10"), 6, 11, QStringLiteral("1.")},
            {StepLabel, QStringLiteral("Label3"), 24, 16,
             QStringLiteral("Редактируйте или создавайте\r\nколлекции\r\n(вручную или автоматически):")},
            {Button, QStringLiteral("SpeedButton3"), 24, 64, addCollectionHint, QStringLiteral(":/add_collection.png"),
             36, ControlStep::Always, newCollectionKey},
            {Button, QStringLiteral("SpeedButton4"), 72, 64, autoCollectionsHint,
             QStringLiteral(":/auto_collections.png"), 36, ControlStep::Always, automaticCollectionsKey},
            {SourceMenu, QStringLiteral("SpeedButton4source"), 109, 64, {}, {}, 36},
            // Loads the reader's library again once it is attached; F5 does so whenever the page is shown.
            {Button, QStringLiteral("eReloadbutton"), 128, 64, hintWithShortcut(reloadHint, reloadKey()),
             QStringLiteral(":/reload.png"), 36, ControlStep::Reload},
            {HelpLabel, QStringLiteral("Label8"), 24, 112,
             helpTextStart + QStringLiteral("Книги и коллекции из списков \r\nможно удалять клавишей Delete\r\n"
                                            "(физически файлы не будут удалены)")},
            {StepNumber, QStringLiteral("Label4"), 6, 307, QStringLiteral("2."), {}, 0, synchronize},
            {StepLabel,
             QStringLiteral("Label11"),
             24,
             312,
             QStringLiteral("Синхронизируйте названия книг и \r\nколлекциий с устройством:"),
             {},
             0,
             synchronize},
            {Button, QStringLiteral("eSynchronizebutton"), 24, 344, synchronizeHint,
             QStringLiteral(":/synchronize.png"), 50, synchronize, synchronizeKey},
            {StatisticsCaptions, QStringLiteral("Label12"), 24, 496, statisticsCaptionText()},
            {StatisticsValues, QStringLiteral("Label13"), 178, 496, {}},
        },
    };
}
} // namespace

const PageDescription &pageDescription(LibraryPage::Kind kind)
{
    static const PageDescription creation = creationPage();
    static const PageDescription editing = editingPage();
    return kind == LibraryPage::Kind::Creation ? creation : editing;
}

QKeySequence reloadKey()
{
    return QKeySequence(Qt::Key_F5);
}
