#include "app/command_line.h"

#include <QByteArray>

#include <array>
#include <utility>

namespace CommandLine {
namespace {

struct Option {
    const char* name; // the option without its dashes, also the word sent to the instance
    Command command;
    const char* help;
};

constexpr std::array<Option, 9> kOptions{{
    {"show", Command::show, "위젯을 보여요"},
    {"toggle", Command::toggle, "타이머를 시작하거나 일시정지하거나 계속해요"},
    {"start", Command::start, "타이머를 시작하거나 계속해요"},
    {"pause", Command::pause, "타이머를 일시정지해요"},
    {"reset", Command::reset, "타이머를 리셋해요"},
    {"stop-alert", Command::stopAlert, "울리는 알림을 꺼요"},
    {"hide", Command::hide, "위젯을 숨겨요"},
    {"settings", Command::settings, "설정 창을 열어요"},
    {"quit", Command::quit, "실행 중인 Purrtick을 끝내요"},
}};

} // namespace

Request parse(const QStringList& arguments) {
    Request request;
    bool chosen = false;
    bool valueOfQtOption = false;
    for (const QString& argument : arguments) {
        const bool ours = argument.startsWith(QStringLiteral("--")) ||
                          argument == QStringLiteral("-h") || argument == QStringLiteral("-v");
        if (!ours) {
            // Qt's own options ("-platform xcb", "-style Fusion") are Qt's to read; a word of
            // its own ("purrtick start") is a mistake, not a command.
            const bool qtOption = argument.startsWith(u'-');
            if (!qtOption && !valueOfQtOption)
                return Request{Request::Kind::usageError, Command::show, false,
                               QStringLiteral("알 수 없는 인자: ") + argument};
            valueOfQtOption = qtOption;
            continue;
        }
        valueOfQtOption = false;
        if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h"))
            return Request{Request::Kind::help, Command::show, false, {}};
        if (argument == QStringLiteral("--version") || argument == QStringLiteral("-v"))
            return Request{Request::Kind::version, Command::show, false, {}};
        const Option* found = nullptr;
        for (const Option& option : kOptions)
            if (argument == QStringLiteral("--") + QLatin1String(option.name))
                found = &option;
        if (!found)
            return Request{Request::Kind::usageError, Command::show, false,
                           QStringLiteral("알 수 없는 옵션: ") + argument};
        if (chosen && found->command != request.command)
            return Request{Request::Kind::usageError, Command::show, false,
                           QStringLiteral("명령은 하나만 줄 수 있어요: ") + argument};
        request.command = found->command;
        request.given = chosen = true;
    }
    return request;
}

QString usage() {
    QString text = QStringLiteral("사용법: purrtick [명령]\n\n"
                                  "화면 위의 고양이 타이머. 이미 실행 중이면 그 Purrtick에 "
                                  "명령을 전해요.\n\n명령:\n");
    for (const Option& option : kOptions)
        text += QStringLiteral("  --%1%2\n")
                    .arg(QLatin1String(option.name), -14)
                    .arg(QString::fromUtf8(option.help));
    text += QStringLiteral("  --help          이 도움말을 보여요\n"
                           "  --version       버전을 보여요\n");
    return text;
}

QString actionName(Command command) {
    for (const Option& option : kOptions)
        if (option.command == command)
            return QLatin1String(option.name);
    return QStringLiteral("show");
}

std::optional<Command> commandFromActionName(const QString& name) {
    for (const Option& option : kOptions)
        if (name == QLatin1String(option.name))
            return option.command;
    return std::nullopt;
}

QByteArray requestLine(Command command) {
    return actionName(command).toLatin1() + '\n';
}

std::optional<Command> commandFromLine(const QByteArray& line) {
    if (!line.endsWith('\n'))
        return std::nullopt;
    return commandFromActionName(QString::fromLatin1(line.chopped(1)));
}

} // namespace CommandLine
