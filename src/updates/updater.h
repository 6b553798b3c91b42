#pragma once

#include "platform/bounded_download.h"
#include "updates/appcast.h"
#include "updates/appimage_installer.h"

#include <QObject>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class Clock;
class KeyValueStore;

// What the updater shows; the windows answer through the updater's methods.
class UpdateUserInterface {
public:
    virtual ~UpdateUserInterface() = default;
    // Once, from the second launch on: "업데이트를 자동으로 확인할까요?" (answered through
    // Updater::setAutomaticChecks).
    virtual void askAboutAutomaticChecks() = 0;
    virtual void showChecking() = 0;
    virtual void showUpToDate(const QString& installed) = 0;
    virtual void showFailure(const QString& reason) = 0;
    // A newer version; `quiet` when a scheduled check found it: shown without taking the focus.
    virtual void showUpdate(const Appcast::Item& item, const QString& installed, bool quiet) = 0;
    // Installing: the download's progress (total -1 while unknown), then the outcome.
    virtual void showInstalling(qint64 received, qint64 total) = 0;
    virtual void showInstalled() = 0;
    // The check worked but installing the update did not.
    virtual void showInstallFailure(const QString& reason) = 0;
    virtual void closeUpdate() = 0;
};

// Checks the update feed when the user asks, and by itself at most once a day when the user
// allowed it. A newer version is offered with its notes; installing it opens its page (or its
// file) in the browser, since a package manager owns an installed copy's files.
class Updater : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 kCheckIntervalSeconds = 24 * 3600;
    static constexpr qint64 kMaxFeedBytes = 5 * 1024 * 1024;
    static constexpr qint64 kMaxNotesBytes = 1024 * 1024;

    // `information` is the information dictionary; `openUrl` hands an address to the browser.
    Updater(KeyValueStore& store, const Clock& clock, QNetworkAccessManager& network,
            const QVariantMap& information, std::function<bool(const QUrl&)> openUrl,
            int timeoutMs = 10000, QObject* parent = nullptr);

    void setUserInterface(UpdateUserInterface* ui) { m_ui = ui; }
    // Running from an AppImage (`appImage`, an existing file), updates are installed in place,
    // checked against the build's Ed25519 key; `relaunch` starts the new one and ends this one.
    void installInPlace(const QString& appImage, const QString& publicKey,
                        std::function<void()> relaunch);

    // At launch: remembers the first launch (which asks nothing), asks once about automatic
    // checks from the second launch on, and checks quietly when one is due.
    void start();
    // The user asked: the update window shows the check and its outcome.
    void checkForUpdates();
    // A scheduled check, when automatic checks are on and the last one is a day old.
    void checkIfDue();

    std::optional<bool> automaticChecks() const;
    void setAutomaticChecks(bool enabled);
    bool isCheckDue() const;

    // The update window's buttons.
    void skipVersion();
    void remindLater();
    void install();
    void cancelInstall();
    void restart();

    bool isChecking() const { return m_download.isRunning(); }

private:
    void check(bool userInitiated);
    void checked(const BoundedDownload::Result& result, bool userInitiated);
    void offer(const Appcast::Item& item, bool userInitiated);

    KeyValueStore& m_store;
    const Clock& m_clock;
    BoundedDownload m_download;
    BoundedDownload m_notes;
    QNetworkAccessManager& m_network;
    int m_timeoutMs;
    QString m_installed;
    std::optional<QUrl> m_feed;
    std::function<bool(const QUrl&)> m_openUrl;
    UpdateUserInterface* m_ui = nullptr;
    std::optional<Appcast::Item> m_offered;
    std::unique_ptr<AppImageInstaller> m_installer;
    std::function<void()> m_relaunch;
    bool m_userWaiting = false;
    // Looks every hour whether a scheduled check is due, so a program left running checks daily.
    QTimer m_schedule;
};
