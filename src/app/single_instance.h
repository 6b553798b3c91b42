#pragma once

#include <QFileInfo>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// One running program per user session. The first instance holds a lock file in the runtime
// directory and listens on a local socket next to it; a later one connects there, passes on its
// request (one short line: show the widget, or a command from its command line) and exits.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& runtimeDirectory, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance. False when another instance runs: it
    // has been asked to show itself (or could not be reached, which is logged). A lock that no
    // running instance answers for is taken over; where no lock can be kept at all, the
    // program runs without one (logged once).
    bool claim(const QByteArray& request = QByteArrayLiteral("show\n"));

    // Called in the running instance with each line a later launch sends (at most 64 bytes,
    // newline included); the caller decides what a line means and ignores the rest.
    std::function<void(const QByteArray& line)> onRequest;

    QString socketPath() const { return m_socketPath; }

    // What the socket accepts from anyone who connects: a request of at most this many bytes,
    // this many connections at once, each dropped after this long without its line.
    static constexpr qint64 kMaxRequestBytes = 64;
    static constexpr int kMaxConnections = 8;
    static constexpr int kIdleMs = 5000;
    // The connections open now.
    int openConnections() const;

private:
    bool askRunningInstance(const QByteArray& request, int patienceMs);
    static int patienceFor(const QFileInfo& lock);
    void listen();
    void accept();

    QString m_socketPath;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
