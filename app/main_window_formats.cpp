#include "app/format_settings.h"
#include "app/main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

void MainWindow::buildFormatsMenu()
{
    m_formats = FormatSettings::load();
    m_formats.pdf = &m_pdfReader;
    QMenu *menu = menuBar()->addMenu(QStringLiteral("Настройки"));
    menu->setObjectName(QStringLiteral("settingsmenu"));
    const auto addSetting = [&](const QString &name, const QString &text, bool BookFormats::*flag) {
        QAction *action = menu->addAction(text);
        action->setObjectName(name);
        action->setCheckable(true);
        action->setChecked(m_formats.*flag);
        connect(action, &QAction::toggled, this, [this, flag](bool on) {
            m_formats.*flag = on;
            FormatSettings::save(m_formats);
        });
    };
    addSetting(QStringLiteral("zippedfb2setting"), QStringLiteral("FB2 в ZIP-архивах"), &BookFormats::zippedFb2);
    addSetting(QStringLiteral("epubpdfsetting"), QStringLiteral("Названия, авторы и обложки из EPUB и PDF"),
               &BookFormats::epubAndPdf);
}

QString MainWindow::bookFileFilter() const
{
    return m_formats.zippedFb2 ? QStringLiteral("Все поддерживаемые файлы|*.pdf;*.fb2;*.txt;*.epub;*.zip")
                               : QStringLiteral("Все поддерживаемые файлы|*.pdf;*.fb2;*.txt;*.epub");
}
