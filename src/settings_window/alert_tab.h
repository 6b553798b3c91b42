#pragma once

#include <QWidget>

class Settings;

// The "알림" tab: whether a finished countdown also sounds.
class AlertTab : public QWidget {
    Q_OBJECT

public:
    explicit AlertTab(Settings& settings, QWidget* parent = nullptr);
};
