#pragma once

#include "updates/updater.h"

#include <memory>

class SecondaryWindow;
class UpdateView;

// The updater's windows: the update window (checking, the outcome, a newer version) and the
// one question about automatic checks. A scheduled check's finding opens the update window
// without taking the focus from what the user is doing.
class UpdateWindows final : public UpdateUserInterface {
public:
    explicit UpdateWindows(Updater& updater);
    ~UpdateWindows() override;

    void askAboutAutomaticChecks() override;
    void showChecking() override;
    void showUpToDate(const QString& installed) override;
    void showFailure(const QString& reason) override;
    void showInstallFailure(const QString& reason) override;
    void showUpdate(const Appcast::Item& item, const QString& installed, bool quiet) override;
    void showInstalling(qint64 received, qint64 total) override;
    void showInstalled() override;
    void closeUpdate() override;

    SecondaryWindow* updateWindow() const { return m_updateWindow.get(); }
    SecondaryWindow* questionWindow() const { return m_questionWindow.get(); }

private:
    UpdateView& view();
    void open(bool quiet);

    Updater& m_updater;
    std::unique_ptr<SecondaryWindow> m_updateWindow;
    std::unique_ptr<SecondaryWindow> m_questionWindow;
};
