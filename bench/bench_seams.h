#pragma once

#include "core/dialogs.h"
#include "reader/volume_list.h"

#include <QString>
#include <QStringList>

// Every question answered Yes; the last message kept, to tell how a run ended.
class YesDialogs : public Dialogs
{
public:
    QString lastMessage;
    bool confirm(const QString &, const QString &) override { return true; }
    QString inputBox(const QString &, const QString &, const QString &defaultText) override { return defaultText; }
    void message(const QString &text) override { lastMessage = text; }
    QString openFile(const QString &) override { return {}; }
    QString browseForFolder(const QString &) override { return {}; }
    int chooseItem(const QString &, const QString &, const QStringList &) override { return -1; }
};

// The system's root and the reader's.
class ReaderVolumes : public VolumeList
{
public:
    explicit ReaderVolumes(QString reader) : m_reader(std::move(reader)) {}
    QStringList roots() const override { return {QStringLiteral("/"), m_reader}; }
    QString label(const QString &) const override { return {}; }

private:
    QString m_reader;
};
