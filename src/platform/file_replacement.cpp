#include "platform/file_replacement.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool fail(QString* error, const QString& reason) {
    if (error)
        *error = reason;
    return false;
}

QString systemError(const QString& what) {
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

FileReplacement::FileReplacement(QString path)
    : m_path(std::move(path)) {}

FileReplacement::~FileReplacement() {
    discard();
}

bool FileReplacement::open(QString* error) {
    discard();
    const QFileInfo info(m_path);
    m_part.setFileName(QDir(info.absolutePath())
                           .filePath(QStringLiteral(".") + info.fileName() + QStringLiteral(".") +
                                     QString::number(QRandomGenerator::global()->generate64(), 36) +
                                     QStringLiteral(".part")));
    if (!m_part.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(error, QStringLiteral("만들 수 없음: ") + m_part.errorString());
    m_size = 0;
    return true;
}

bool FileReplacement::append(const QByteArray& bytes, QString* error) {
    if (!m_part.isOpen())
        return fail(error, QStringLiteral("열려 있지 않음"));
    if (m_part.write(bytes) != bytes.size())
        return fail(error, QStringLiteral("쓰기 실패: ") + m_part.errorString());
    m_size += bytes.size();
    return true;
}

std::optional<QByteArrayView> FileReplacement::contents(QString* error) {
    if (!m_part.isOpen() || !m_part.flush()) {
        fail(error, QStringLiteral("쓰기 실패: ") + m_part.errorString());
        return std::nullopt;
    }
    if (m_size == 0)
        return QByteArrayView();
    if (!m_reader.isOpen()) {
        m_reader.setFileName(m_part.fileName());
        if (!m_reader.open(QIODevice::ReadOnly)) {
            fail(error, QStringLiteral("읽을 수 없음: ") + m_reader.errorString());
            return std::nullopt;
        }
    }
    const uchar* mapped = m_reader.map(0, m_size);
    if (!mapped) {
        fail(error, QStringLiteral("읽을 수 없음: ") + m_reader.errorString());
        return std::nullopt;
    }
    return QByteArrayView(reinterpret_cast<const char*>(mapped), m_size);
}

bool FileReplacement::commit(QString* error) {
    if (!m_part.isOpen())
        return fail(error, QStringLiteral("열려 있지 않음"));
    const auto failed = [&](const QString& reason) {
        discard();
        return fail(error, reason);
    };
    // Some file systems only report a full disk when the data reaches it.
    if (!m_part.flush() || ::fsync(m_part.handle()) != 0)
        return failed(systemError(QStringLiteral("저장 실패")));
    struct stat existing {};
    if (::stat(QFile::encodeName(m_path).constData(), &existing) == 0)
        ::fchmod(m_part.handle(), existing.st_mode & 07777);
    m_reader.close();
    m_part.close();
    if (::rename(QFile::encodeName(m_part.fileName()).constData(),
                 QFile::encodeName(m_path).constData()) != 0)
        return failed(systemError(QStringLiteral("이름 바꾸기 실패")));
    m_part.setFileName(QString());
    return true;
}

void FileReplacement::discard() {
    m_reader.close();
    if (m_part.fileName().isEmpty())
        return;
    m_part.close();
    QFile::remove(m_part.fileName());
    m_part.setFileName(QString());
    m_size = 0;
}
