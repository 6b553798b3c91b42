#pragma once

#include <functional>

class QHBoxLayout;
class QWidget;

// The row at the foot of the program's secondary windows: flexible space, then "닫기"
// (object name "close"), which runs `onClose` when there is one.
QHBoxLayout* closeRow(QWidget* owner, std::function<void()> onClose);
