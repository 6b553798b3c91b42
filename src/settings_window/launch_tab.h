#pragma once

#include <QWidget>

class LoginItem;
class QCheckBox;
class QLabel;
class Settings;

// The "실행" tab: start at login, and start the countdown when the program starts.
class LaunchTab : public QWidget {
    Q_OBJECT

public:
    LaunchTab(Settings& settings, LoginItem& loginItem, QWidget* parent = nullptr);

    // Shows the registration as it is now, without changing it; run each time the window is
    // shown (the entry may have been changed outside the program).
    void reloadLoginState();

    bool loginError() const { return m_loginError; }

private:
    // The switch was flipped to `wanted`: register or unregister; on failure show the warning
    // and put the switch back to the real registration, which runs this again once for it.
    void loginSwitched(bool wanted);
    void setLoginError(bool error);

    LoginItem& m_loginItem;
    QCheckBox* m_launchAtLogin;
    QLabel* m_warning;
    bool m_loginError = false;
};
