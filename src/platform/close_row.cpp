#include "platform/close_row.h"

#include <QHBoxLayout>
#include <QPushButton>

QHBoxLayout* closeRow(QWidget* owner, std::function<void()> onClose) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("닫기"), owner);
    close->setObjectName(QStringLiteral("close"));
    QObject::connect(close, &QPushButton::clicked, owner, [onClose = std::move(onClose)] {
        if (onClose)
            onClose();
    });
    row->addWidget(close);
    return row;
}
