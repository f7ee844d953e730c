#pragma once

#include "reader/volume_list.h"

#include <QHash>

// Mounted volumes as a test lays them out: the roots given, in that order, and the labels given
// to some of them. Empty by default, so a window built for another test finds no reader.
class FixedVolumes : public VolumeList
{
public:
    explicit FixedVolumes(QStringList roots = {}) : m_roots(std::move(roots)) {}
    QStringList roots() const override { return m_roots; }
    QString label(const QString &root) const override { return labels.value(root); }
    void setRoots(QStringList roots) { m_roots = std::move(roots); }

    QHash<QString, QString> labels; // by root

private:
    QStringList m_roots;
};
