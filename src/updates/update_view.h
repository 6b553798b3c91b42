#pragma once

#include "updates/appcast.h"

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTextBrowser;

// The update window's content: checking, up to date, a failure with its reason, or a newer
// version with its release notes and "이 버전 건너뛰기", "나중에", "업데이트 설치".
class UpdateView : public QWidget {
    Q_OBJECT

public:
    enum class State { checking, upToDate, failure, update, installing, installed };

    struct Actions {
        std::function<void()> skip;
        std::function<void()> later;
        std::function<void()> install;
        std::function<void()> close;
        std::function<void()> cancel;
        std::function<void()> restart;
    };

    explicit UpdateView(Actions actions, QWidget* parent = nullptr);

    void showChecking();
    void showUpToDate(const QString& installed);
    void showFailure(const QString& reason);
    void showInstallFailure(const QString& reason);
    void showUpdate(const Appcast::Item& item, const QString& installed);
    // Downloading the new version: bytes so far of `total` (-1 while unknown).
    void showInstalling(qint64 received, qint64 total);
    void showInstalled();

    State state() const { return m_state; }

private:
    void setState(State state);

    Actions m_actions;
    State m_state = State::checking;
    QStackedWidget* m_pages;
    QLabel* m_message;
    QLabel* m_detail;
    QProgressBar* m_progress;
    QLabel* m_headline;
    QTextBrowser* m_notes;
    QWidget* m_updateButtons;
    QPushButton* m_close;
    QPushButton* m_cancel;
    QPushButton* m_restart;
};

// The question asked once: whether the updater may check by itself.
class AutomaticChecksQuestion : public QWidget {
    Q_OBJECT

public:
    explicit AutomaticChecksQuestion(std::function<void(bool)> answer, QWidget* parent = nullptr);
};
