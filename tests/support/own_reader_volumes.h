#pragma once

#include "reader/volume_list.h"

#include <QString>

// The volumes the system has mounted, listed by MountedVolumes, less every volume but the
// first (the system's) and the test's own `root`: a reader someone else has attached
// cannot be found before the test's scratch reader.
class OwnReaderVolumes : public VolumeList
{
public:
    explicit OwnReaderVolumes(QString root) : m_root(std::move(root)) {}
    QStringList roots() const override
    {
        const QStringList mounted = MountedVolumes().roots();
        QStringList kept;
        for (qsizetype i = 0; i < mounted.size(); ++i)
            if (i == 0 || mounted.at(i) == m_root)
                kept << mounted.at(i);
        return kept;
    }
    QString label(const QString &root) const override { return MountedVolumes().label(root); }

private:
    QString m_root;
};
