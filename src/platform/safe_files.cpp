#include "platform/safe_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SafeFiles {
namespace {

QString systemError(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

bool fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return false;
}

// Writes everything to the descriptor, through interruptions and short writes.
bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

bool writeDirectly(const QByteArray& path, const QByteArray& bytes, QString* error) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return fail(error, systemError(QStringLiteral("열 수 없음")));
    const bool written = writeAll(fd, bytes);
    const QString reason = systemError(QStringLiteral("쓰기 실패"));
    if (::close(fd) != 0 && written)
        return fail(error, systemError(QStringLiteral("닫기 실패")));
    return written || fail(error, reason);
}

} // namespace

bool write(const QString& path, const QByteArray& bytes, QString* error) {
    const QByteArray target = QFile::encodeName(path);
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return fail(error, QStringLiteral("폴더입니다"));
    if (exists && !S_ISREG(existing.st_mode))
        return writeDirectly(target, bytes, error);

    // A hidden name beside the target, in the same folder so that the rename stays on one
    // file system. Created with mode 0666: the user's umask decides, as for any new file.
    const QFileInfo info(path);
    const QByteArray temporary = QFile::encodeName(
        QDir(info.absolutePath())
            .filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".") +
                      QString::number(QRandomGenerator::global()->generate64(), 36) +
                      QStringLiteral(".part")));
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(error, systemError(QStringLiteral("만들 수 없음")));
    auto discard = [&](const QString& reason) {
        ::unlink(temporary.constData());
        return fail(error, reason);
    };
    if (!writeAll(fd, bytes)) {
        const QString reason = systemError(QStringLiteral("쓰기 실패"));
        ::close(fd);
        return discard(reason);
    }
    if (exists)
        ::fchmod(fd, existing.st_mode & 07777);
    // Some file systems only report a full disk when the data reaches it.
    struct stat written {};
    if (::fsync(fd) != 0 || ::fstat(fd, &written) != 0) {
        const QString reason = systemError(QStringLiteral("저장 실패"));
        ::close(fd);
        return discard(reason);
    }
    if (::close(fd) != 0)
        return discard(systemError(QStringLiteral("닫기 실패")));
    if (written.st_size != bytes.size())
        return discard(QStringLiteral("기록된 크기가 다릅니다"));
    if (::rename(temporary.constData(), target.constData()) != 0)
        return discard(systemError(QStringLiteral("이름 바꾸기 실패")));
    return true;
}

bool openRegular(QFile& file, qint64 maxBytes, QString* error) {
    // Looked at before opening (opening a pipe would wait for a writer), and again once open,
    // so the file checked is the file read.
    if (QFileInfo::exists(file.fileName()) && !QFileInfo(file.fileName()).isFile())
        return fail(error, QStringLiteral("일반 파일이 아닙니다"));
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    struct stat info {};
    QString reason;
    if (::fstat(file.handle(), &info) != 0)
        reason = systemError(QStringLiteral("읽을 수 없음"));
    else if (!S_ISREG(info.st_mode))
        reason = QStringLiteral("일반 파일이 아닙니다");
    else if (info.st_size > maxBytes)
        reason = QStringLiteral("파일이 너무 큽니다 (%1 바이트)").arg(info.st_size);
    if (reason.isEmpty())
        return true;
    file.close();
    return fail(error, reason);
}

std::optional<QByteArray> readRegular(const QString& path, qint64 maxBytes, QString* error) {
    QFile file(path);
    if (!openRegular(file, maxBytes, error))
        return std::nullopt;
    // Never more than the bound, even if the file grows while it is read.
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes || file.error() != QFileDevice::NoError) {
        fail(error,
             bytes.size() > maxBytes ? QStringLiteral("파일이 너무 큽니다") : file.errorString());
        return std::nullopt;
    }
    return bytes;
}

} // namespace SafeFiles
