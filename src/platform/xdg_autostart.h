#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Starting a program at login, as Linux desktops do it: a desktop entry in an "autostart"
// folder of the XDG configuration directories.
class Autostart {
public:
    virtual ~Autostart() = default;
    // Whether this program's entry starts it at login.
    virtual bool isEnabled() const = 0;
    // Makes the entry match the wanted state; the reason when that fails.
    virtual std::optional<QString> set(bool enabled) = 0;
};

class XdgAutostart final : public Autostart {
public:
    // `userConfig` is $XDG_CONFIG_HOME, `systemConfigs` the folders of $XDG_CONFIG_DIRS;
    // `entryName` the desktop file's name without ".desktop"; `executable` what the entry runs.
    XdgAutostart(QString userConfig, QStringList systemConfigs, QString entryName,
                 QString executable);

    // The folders and names of this session's environment.
    static XdgAutostart forThisSession(const QString& entryName, const QString& executable);

    // True exactly when the user's entry exists, is a desktop entry that runs this executable,
    // and is not switched off (Hidden=true or X-GNOME-Autostart-enabled=false).
    bool isEnabled() const override;
    // On: writes the user's entry. Off: removes it, or, where a system-wide entry of the same
    // name would still start the program, writes a user entry that hides it.
    std::optional<QString> set(bool enabled) override;

    QString entryPath() const;
    // The entry's text for this executable.
    QString entryText(bool hidden) const;

    // One argument of an Exec line: quoted, with the characters the desktop entry format
    // reserves escaped, where it needs to be.
    static QString execArgument(const QString& argument);

private:
    QString m_userConfig;
    QStringList m_systemConfigs;
    QString m_entryName;
    QString m_executable;
};
