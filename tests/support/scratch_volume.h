#pragma once

#include <QString>
#include <QTemporaryDir>

// A small tmpfs of its own, mounted on a temporary folder for the life of the object, so a test
// can see a real volume fill up or turn read-only. Only root can mount: elsewhere, or where the
// system refuses, isMounted() is false and skipReason() says why, for QSKIP.
class ScratchVolume
{
public:
    explicit ScratchVolume(qint64 bytes);
    ~ScratchVolume();
    ScratchVolume(const ScratchVolume &) = delete;
    ScratchVolume &operator=(const ScratchVolume &) = delete;

    bool isMounted() const { return m_mounted; }
    QString skipReason() const { return m_skipReason; }
    QString path() const { return m_mountPoint.path(); }

    // Every write and deletion on the volume then fails, for root too.
    bool remountReadOnly();

private:
    QTemporaryDir m_mountPoint;
    bool m_mounted = false;
    QString m_skipReason;
};
