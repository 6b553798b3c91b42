#pragma once

#include <QString>
#include <QTemporaryDir>

// A tiny tmpfs mounted for one test, to see what happens when a disk is full. Mounting needs
// root and a system that allows it (CI runs the tests as root); elsewhere isMounted() is false
// and the test skips with reason().
class SmallFileSystem {
public:
    explicit SmallFileSystem(int kilobytes);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool isMounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }
    // Fills what is left with one file, so the next write finds no room.
    void fill();

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QString m_reason;
};
