#pragma once

#include "settings/key_value_store.h"

#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

// An INI store in a fresh temporary folder, laid out as the user's store is.
class TempStore {
public:
    TempStore();

    QString path() const { return m_path; }

    // Writes raw file contents, as a user editing the file by hand would.
    void writeFile(const QByteArray& contents) const;
    QByteArray fileContents() const;

    // Prepares a value with a separate QSettings before the store under test reads it.
    void seed(const QString& key, const QVariant& value) const;

    // Opens (or reopens) the store under test.
    KeyValueStore& open();
    // Flushes the store under test and reads the file back through a fresh QSettings.
    std::unique_ptr<QSettings> readBack();

    // The value the INI file at `path` holds, read by a QSettings that shares nothing with the
    // store under test.
    static QVariant fileValue(const QString& path, const QString& key);

private:
    int m_readBacks = 0;
    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<KeyValueStore> m_store;
};
