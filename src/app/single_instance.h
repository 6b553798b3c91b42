#pragma once

#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// One running program per user session. The first instance holds a lock file in the runtime
// directory and listens on a local socket next to it; a later one connects there, asks the
// running instance to show its widget and then exits.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& runtimeDirectory, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance. False when another instance runs: it
    // has been asked to show itself (or could not be reached, which is logged). A lock that no
    // running instance answers for is taken over; where no lock can be kept at all, the
    // program runs without one (logged once).
    bool claim();

    // Called in the running instance each time a later launch asks it to show itself.
    std::function<void()> onActivationRequested;

    QString socketPath() const { return m_socketPath; }

private:
    bool askRunningInstance(int patienceMs);
    static int patienceFor(const QFileInfo& lock);
    void listen();

    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
