#pragma once

#include <QProcessEnvironment>
#include <QString>

#include <functional>

class Autostart;

// Starting Purrtick at login. Only a copy that stays where it is may register itself: one
// installed under a prefix, or an AppImage; a binary in a build tree (a development run) or in
// a transient mount may not, since the entry would soon point at nothing.
class LoginItem {
public:
    // The installed-copy rule, from the paths and the environment alone: `executable` is
    // <prefix>/bin/purrtick with <prefix>/share/purrtick/Purrtick_Purrtick.bundle present, or
    // $APPIMAGE names an existing file.
    static bool mayRegister(const QString& executable, const QProcessEnvironment& environment,
                            const std::function<bool(const QString&)>& exists);
    // What the login entry runs: the AppImage itself when running from one.
    static QString launcherPath(const QString& executable, const QProcessEnvironment& environment);

    LoginItem(Autostart& autostart, bool mayRegister);

    // Whether this copy passed the installed-copy rule.
    bool isInstalledCopy() const { return m_mayRegister; }
    // False when this copy may not register; otherwise whether its entry starts it at login.
    bool isEnabled() const;
    // Makes the registration match the wanted state; false (logged) when this copy may not
    // register or the change failed.
    bool set(bool enabled);
    // Why the last change failed, in words for the user; empty after a success.
    QString lastError() const { return m_lastError; }

private:
    QString m_lastError;
    Autostart& m_autostart;
    bool m_mayRegister;
};
