#include "temp_store.h"

#include <QFile>
#include <QTest>

TempStore::TempStore()
    : m_path(m_dir.filePath(QStringLiteral("Purrtick/Purrtick.conf"))) {}

void TempStore::writeFile(const QByteArray& contents) const {
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

QByteArray TempStore::fileContents() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TempStore::seed(const QString& key, const QVariant& value) const {
    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(key, value);
}

KeyValueStore& TempStore::open() {
    m_store.reset();
    m_store = std::make_unique<KeyValueStore>(m_path);
    return *m_store;
}

std::unique_ptr<QSettings> TempStore::readBack() {
    if (m_store)
        m_store->flush();
    // QSettings shares unsaved changes between instances on the same path within a process,
    // so the file is read through a copy: what comes back is what the file holds.
    const QString copy = m_dir.filePath(QStringLiteral("readback-%1.conf").arg(++m_readBacks));
    QFile::remove(copy);
    QFile::copy(m_path, copy);
    return std::make_unique<QSettings>(copy, QSettings::IniFormat);
}

QVariant TempStore::fileValue(const QString& path, const QString& key) {
    static int copies = 0;
    const QString copy = path + QStringLiteral(".copy-%1").arg(++copies);
    QFile::copy(path, copy);
    const QVariant value = QSettings(copy, QSettings::IniFormat).value(key);
    QFile::remove(copy);
    return value;
}
