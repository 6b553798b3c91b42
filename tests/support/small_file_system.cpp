#include "small_file_system.h"

#include <QFile>
#include <QProcess>

#include <unistd.h>

SmallFileSystem::SmallFileSystem(int kilobytes) {
    if (::geteuid() != 0) {
        m_reason = QStringLiteral("mounting a small tmpfs needs root");
        return;
    }
    QProcess mount;
    mount.start(QStringLiteral("mount"),
                {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                 QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"), m_dir.path()});
    m_mounted = mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit &&
                mount.exitCode() == 0;
    if (!m_mounted)
        m_reason = QStringLiteral("this system does not allow mounting a tmpfs: ") +
                   QString::fromLocal8Bit(mount.readAllStandardError()).trimmed();
}

SmallFileSystem::~SmallFileSystem() {
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
}

void SmallFileSystem::fill() {
    QFile filler(m_dir.filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
}
