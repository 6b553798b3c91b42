#include "app/status_menu_text.h"

namespace StatusMenuText {

QString stateLine(TimerState state, const QString& displayText, const QString& subtitle) {
    const QString separator = QStringLiteral(" · ");
    switch (state) {
    // Three symbols that text fonts draw, in the menu's own colour: the media symbols ⏹ and ⏸
    // exist in colour emoji fonts only, while ▶ is drawn as text, so the three never matched.
    case TimerState::idle:
        return QStringLiteral("\u25A0 대기") + separator + subtitle;
    case TimerState::running:
        // U+25B6 with the text-presentation selector, so it never turns into an emoji.
        return QStringLiteral("\u25B6\uFE0E ") + displayText + separator + subtitle;
    case TimerState::paused:
        return QStringLiteral("\u275A\u275A ") + displayText + separator + subtitle;
    case TimerState::done:
        return QStringLiteral("🔔 ") + subtitle;
    }
    return subtitle;
}

QString toggleTitle(TimerState state) {
    switch (state) {
    case TimerState::running:
        return QStringLiteral("일시정지");
    case TimerState::paused:
        return QStringLiteral("계속");
    case TimerState::idle:
    case TimerState::done:
        break;
    }
    return QStringLiteral("시작");
}

QString displayModeTitle(DisplayMode mode) {
    return mode == DisplayMode::alwaysOnTop ? QStringLiteral("최상단 고정")
                                            : QStringLiteral("데스크탑에만");
}

QString widgetToggleTitle(bool isWidgetVisible) {
    return isWidgetVisible ? QStringLiteral("위젯 숨기기") : QStringLiteral("위젯 보이기");
}

} // namespace StatusMenuText
