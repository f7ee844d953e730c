#include "app/progress_window.h"
#include "app/qt_dialogs.h"
#include "app/qt_texts.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

class TestQtDialogs : public QObject
{
    Q_OBJECT
private slots:
    // The folder picker is Qt's own dialog: its buttons speak Russian like the rest.
    void qtOwnButtonsAreRussian()
    {
        QVERIFY(installRussianQtTexts(*QCoreApplication::instance()));
        QFileDialog picker(nullptr, "Укажите папку с книгами");
        picker.setOption(QFileDialog::DontUseNativeDialog);
        picker.setFileMode(QFileDialog::Directory);
        const auto *buttons = picker.findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QVERIFY(!buttons->buttons().isEmpty());
        for (const QAbstractButton *button : buttons->buttons()) {
            const QString text = button->text();
            QVERIFY2(
                std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.script() == QChar::Script_Cyrillic; }),
                qPrintable(text));
        }
    }

    // The progress window stays on top: a message shown while it is up, such as the success
    // message that ends a synchronisation, must open above it, not hidden beneath it.
    void dialogsBelongToTheProgressWindowWhileItIsShown()
    {
        QWidget mainWindow;
        ProgressWindow progress;
        QtDialogs dialogs;
        dialogs.setOwners(&mainWindow, &progress);
        mainWindow.show();
        QCOMPARE(dialogs.owner(), &mainWindow);

        progress.show();
        QWidget *messageOwner = nullptr;
        QTimer::singleShot(0, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                messageOwner = box->parentWidget();
                box->accept();
            }
        });
        dialogs.message("Синхронизация успешно завершена!");
        QCOMPARE(messageOwner, &progress);

        progress.hide();
        QCOMPARE(dialogs.owner(), &mainWindow);
    }

    void folderPickerStartsOnTheDesktopOrAtHome()
    {
        QTemporaryDir home;
        const QByteArray savedHome = qgetenv("HOME");
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("XDG_CONFIG_HOME");

        const QString withoutDesktop = folderPickerStart();
        QVERIFY(QDir().mkdir(home.filePath("Desktop")));
        const QString withDesktop = folderPickerStart();

        qputenv("HOME", savedHome);
        if (!savedConfig.isEmpty())
            qputenv("XDG_CONFIG_HOME", savedConfig);
        QCOMPARE(withoutDesktop, home.path());
        QCOMPARE(withDesktop, home.filePath("Desktop"));
    }

    void inputBoxIsWideEnoughForCaptionAndPrompt_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("prompt");
        QTest::newRow("add a collection") << "Добавление коллекции"
                                          << "Введите название новой коллекции";
        QTest::newRow("rename a collection") << "Изменение названия коллекции"
                                             << "Введите новое или измените старое название коллекции";
        QTest::newRow("rename a book") << "Изменение названия книги"
                                       << "Введите новое или измените старое название книги";
    }

    void inputBoxIsWideEnoughForCaptionAndPrompt()
    {
        QFETCH(QString, caption);
        QFETCH(QString, prompt);
        QInputDialog dialog;
        prepareInputBox(dialog, caption, prompt, "Старое");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));

        QCOMPARE(dialog.windowTitle(), caption);
        QCOMPARE(dialog.textValue(), QString("Старое"));
        QFont bold = dialog.font();
        bold.setBold(true);
        QVERIFY(dialog.width() >= QFontMetrics(bold).horizontalAdvance(caption) + 120);
        auto *label = dialog.findChild<QLabel *>();
        QVERIFY(label);
        QCOMPARE(label->text(), prompt);
        QVERIFY(label->width() >= QFontMetrics(label->font()).horizontalAdvance(prompt));
        QVERIFY(dialog.findChild<QLineEdit *>()->width() >= label->width() / 2);
    }

    // The synchronisation's question keeps its own three lines, no word wrapped alone.
    void messageBoxKeepsItsLineBreaks()
    {
        const QString question = "Сначала на устройстве будут удалены все книги и коллекции. \n"
                                 "Потом на устройство будут загружены выбранные книги и созданы \n"
                                 "пользовательские коллекции. Продолжить?";
        QMessageBox box(QMessageBox::Question, "Подтверждение синхронизации с устройством", question,
                        QMessageBox::Yes | QMessageBox::No);
        keepLinesWhole(box);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto *label = box.findChild<QLabel *>("qt_msgbox_label");
        QVERIFY(label);
        const QFontMetrics metrics(label->font());
        for (const QString &line : question.split('\n'))
            QVERIFY(label->width() >= metrics.horizontalAdvance(line));
        QCOMPARE(label->height(), label->heightForWidth(label->width()));
        QVERIFY(label->height() < 4 * metrics.lineSpacing());
    }
};

QTEST_MAIN(TestQtDialogs)
#include "test_qt_dialogs.moc"
