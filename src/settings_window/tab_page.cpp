#include "settings_window/tab_page.h"

#include <QBoxLayout>
#include <QLabel>
#include <QScrollArea>

namespace TabPage {

namespace {

constexpr int kMargin = 20;
constexpr int kSpacing = 14;
// The caption font against the body font, as desktop style guides size it.
constexpr qreal kCaptionScale = 0.85;

} // namespace

QScrollArea* frame(QWidget* content) {
    auto* holder = new QWidget;
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kSpacing);
    layout->addWidget(content);
    layout->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(holder);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The page shows the window's background, not a list's.
    scroll->viewport()->setAutoFillBackground(false);
    holder->setAutoFillBackground(false);
    return scroll;
}

QVBoxLayout* column(QWidget* owner, int spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QFont caption(const QFont& body) {
    QFont font = body;
    font.setPointSizeF(body.pointSizeF() * kCaptionScale);
    return font;
}

QLabel* note(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setFont(caption(label->font()));
    label->setForegroundRole(QPalette::PlaceholderText);
    return label;
}

QLabel* title(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QHBoxLayout* labelledRow(const QString& label, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(new QLabel(label, parent));
    row->addStretch(1);
    return row;
}

} // namespace TabPage
