#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What `purrtick` was asked to do from the command line. A command goes to the running
// instance (which is started first when none runs, except for quitting), so desktop shortcuts
// can drive the timer.
namespace CommandLine {

enum class Command { show, toggle, start, pause, reset, stopAlert, hide, settings, quit };

struct Request {
    enum class Kind { run, help, version, usageError } kind = Kind::run;
    // The command for the running instance; a plain launch shows the widget.
    Command command = Command::show;
    // Whether the command was asked for (a first instance then carries it out too).
    bool given = false;
    QString error; // for a usage error: what was wrong
};

// The arguments after the program's name. Ours have two dashes (and -h, -v); Qt's own
// single-dash options (-platform xcb, -display …) and their values are left to Qt.
Request parse(const QStringList& arguments);

// The usage text for --help (and, after the error, on standard error).
QString usage();

// The command's name ("stop-alert"): the option without its dashes and the action a launcher
// or another program asks for on the session bus; and back.
QString actionName(Command command);
std::optional<Command> commandFromActionName(const QString& name);

// The line a later launch sends to the running instance, and back.
QByteArray requestLine(Command command);
std::optional<Command> commandFromLine(const QByteArray& line);

} // namespace CommandLine
