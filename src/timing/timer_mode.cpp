#include "timing/timer_mode.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <array>
#include <optional>

namespace {

struct CaseLayout {
    TimerMode::Kind kind;
    QLatin1StringView name;
    QLatin1StringView first;
    QLatin1StringView second; // empty for a single-field case
};

constexpr std::array<CaseLayout, 3> kCases{{
    {TimerMode::Kind::task, QLatin1StringView("task"), QLatin1StringView("minutes"), {}},
    {TimerMode::Kind::workOff, QLatin1StringView("workOff"), QLatin1StringView("hour"),
     QLatin1StringView("minute")},
    {TimerMode::Kind::workDuration, QLatin1StringView("workDuration"), QLatin1StringView("hours"),
     QLatin1StringView("minutes")},
}};

const CaseLayout& layoutOf(TimerMode::Kind kind) {
    return kCases[static_cast<std::size_t>(kind)];
}

TimerModeDecodeError mismatch(const QString& description) {
    return {TimerModeDecodeError::Kind::typeMismatch, description};
}

// A JSON number that is an exact integer within the signed 64-bit range.
std::optional<std::int64_t> integerValue(const QJsonValue& value) {
    if (!value.isDouble())
        return std::nullopt;
    const qint64 first = value.toInteger(0);
    if (first == 0 && value.toInteger(1) == 1)
        return std::nullopt;
    return first;
}

std::variant<std::int64_t, TimerModeDecodeError> field(const QJsonObject& inner,
                                                       QLatin1StringView name) {
    const auto found = inner.constFind(name);
    if (found == inner.constEnd())
        return TimerModeDecodeError{
            TimerModeDecodeError::Kind::keyNotFound,
            QStringLiteral("No value associated with key \"%1\".").arg(QString(name))};
    if (auto number = integerValue(*found))
        return *number;
    return mismatch(QStringLiteral("Expected an integer for key \"%1\".").arg(QString(name)));
}

} // namespace

QString timerModeCaseName(TimerMode::Kind kind) {
    return QString(layoutOf(kind).name);
}

QByteArray encodeTimerMode(const TimerMode& mode) {
    const CaseLayout& layout = layoutOf(mode.kind);
    QJsonObject inner;
    inner.insert(layout.first, QJsonValue(qint64(mode.a)));
    if (!layout.second.isEmpty())
        inner.insert(layout.second, QJsonValue(qint64(mode.b)));
    QJsonObject outer;
    outer.insert(layout.name, inner);
    return QJsonDocument(outer).toJson(QJsonDocument::Compact);
}

std::variant<TimerMode, TimerModeDecodeError> decodeTimerMode(const QByteArray& json) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return TimerModeDecodeError{
            TimerModeDecodeError::Kind::dataCorrupted,
            QStringLiteral("The given data was not valid JSON: %1.").arg(parseError.errorString())};
    if (!document.isObject())
        return mismatch(QStringLiteral("Expected a JSON object."));

    const QJsonObject outer = document.object();
    const CaseLayout* recognised = nullptr;
    int count = 0;
    for (const CaseLayout& layout : kCases) {
        if (outer.contains(layout.name)) {
            recognised = &layout;
            ++count;
        }
    }
    if (count != 1)
        return mismatch(QStringLiteral("Invalid number of keys found, expected one."));

    const QJsonValue innerValue = outer.value(recognised->name);
    if (!innerValue.isObject())
        return mismatch(
            QStringLiteral("Expected an object for key \"%1\".").arg(QString(recognised->name)));
    const QJsonObject inner = innerValue.toObject();

    auto first = field(inner, recognised->first);
    if (auto* error = std::get_if<TimerModeDecodeError>(&first))
        return *error;
    std::int64_t second = 0;
    if (!recognised->second.isEmpty()) {
        auto value = field(inner, recognised->second);
        if (auto* error = std::get_if<TimerModeDecodeError>(&value))
            return *error;
        second = std::get<std::int64_t>(value);
    }
    return TimerMode{recognised->kind, std::get<std::int64_t>(first), second};
}
