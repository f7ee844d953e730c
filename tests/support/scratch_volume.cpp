#include "support/scratch_volume.h"

#include <QProcess>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}
} // namespace

ScratchVolume::ScratchVolume(qint64 bytes)
{
#ifdef Q_OS_UNIX
    if (geteuid() != 0) {
        m_skipReason = QStringLiteral("mounting a scratch tmpfs needs root");
        return;
    }
    if (!m_mountPoint.isValid()) {
        m_skipReason = QStringLiteral("no temporary folder for the mount point");
        return;
    }
    m_mounted = run(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                              QStringLiteral("size=%1").arg(bytes), QStringLiteral("tmpfs"), path()});
    if (!m_mounted)
        m_skipReason = QStringLiteral("the system refused to mount a tmpfs");
#else
    Q_UNUSED(bytes);
    m_skipReason = QStringLiteral("a scratch tmpfs exists only on Unix");
#endif
}

ScratchVolume::~ScratchVolume()
{
    if (m_mounted && !run(QStringLiteral("umount"), {path()}))
        run(QStringLiteral("umount"), {QStringLiteral("-l"), path()});
}

bool ScratchVolume::remountReadOnly()
{
    return m_mounted && run(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), path()});
}
