#include "app/update_windows.h"

#include "app/secondary_window.h"
#include "updates/update_view.h"

UpdateWindows::UpdateWindows(Updater& updater)
    : m_updater(updater) {}

UpdateWindows::~UpdateWindows() = default;

UpdateView& UpdateWindows::view() {
    if (!m_updateWindow) {
        UpdateView::Actions actions;
        actions.skip = [this] { m_updater.skipVersion(); };
        actions.later = [this] { m_updater.remindLater(); };
        actions.install = [this] { m_updater.install(); };
        actions.close = [this] { closeUpdate(); };
        actions.cancel = [this] { m_updater.cancelInstall(); };
        actions.restart = [this] { m_updater.restart(); };
        auto* view = new UpdateView(std::move(actions));
        m_updateWindow =
            std::make_unique<SecondaryWindow>(QStringLiteral("Purrtick 업데이트"), view);
        m_updateWindow->setWindowRole(QStringLiteral("purrtick-update"));
    }
    return *static_cast<UpdateView*>(m_updateWindow->content());
}

void UpdateWindows::open(bool quiet) {
    if (quiet && !m_updateWindow->isVisible())
        m_updateWindow->openQuietly();
    else if (!quiet)
        m_updateWindow->open();
}

void UpdateWindows::askAboutAutomaticChecks() {
    if (!m_questionWindow) {
        auto* question = new AutomaticChecksQuestion([this](bool allowed) {
            m_questionWindow->close();
            m_updater.setAutomaticChecks(allowed);
        });
        m_questionWindow =
            std::make_unique<SecondaryWindow>(QStringLiteral("Purrtick 업데이트"), question);
        m_questionWindow->setWindowRole(QStringLiteral("purrtick-update-question"));
    }
    m_questionWindow->openQuietly();
}

void UpdateWindows::showChecking() {
    view().showChecking();
    open(false);
}

void UpdateWindows::showUpToDate(const QString& installed) {
    view().showUpToDate(installed);
    open(false);
}

void UpdateWindows::showFailure(const QString& reason) {
    view().showFailure(reason);
    open(false);
}

void UpdateWindows::showInstallFailure(const QString& reason) {
    view().showInstallFailure(reason);
    open(false);
}

void UpdateWindows::showUpdate(const Appcast::Item& item, const QString& installed, bool quiet) {
    view().showUpdate(item, installed);
    open(quiet);
}

void UpdateWindows::showInstalling(qint64 received, qint64 total) {
    view().showInstalling(received, total);
    open(false);
}

void UpdateWindows::showInstalled() {
    view().showInstalled();
    open(false);
}

void UpdateWindows::closeUpdate() {
    if (m_updateWindow)
        m_updateWindow->close();
}
