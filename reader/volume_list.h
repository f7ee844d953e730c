#pragma once

#include <QStringList>

// The mounted volumes in a fixed order: the drive letters A to Z on Windows, the mount
// points sorted by path elsewhere. Each root ends in a separator.
class VolumeList
{
public:
    virtual ~VolumeList() = default;
    virtual QStringList roots() const = 0;
    // The name the volume at `root` was given (its label), or empty.
    virtual QString label(const QString &root) const = 0;
};

// The volumes the system has mounted right now; asked afresh on every call.
class MountedVolumes : public VolumeList
{
public:
    QStringList roots() const override;
    QString label(const QString &root) const override;
};
