#include "settings_window/tab_page.h"

#include <QAbstractSlider>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>

namespace TabPage {

namespace {

constexpr int kMargin = 20;
constexpr int kSpacing = 14;
// The caption font against the body font, as desktop style guides size it.
constexpr qreal kCaptionScale = 0.85;

// Keeps the wheel for scrolling the page: a slider or a list box under the pointer changes its
// value on a wheel turn only when it has the keyboard focus (the user chose it); otherwise the
// turn scrolls the page, as a user scrolling down the page expects. A wheel turn never gives
// these controls the focus either.
class WheelGuard : public QObject {
public:
    explicit WheelGuard(QScrollArea* page)
        : QObject(page)
        , m_page(page) {
        page->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_page) {
            // Controls built later (a page built on first show) are guarded when it shows.
            if (event->type() == QEvent::Show)
                guardControls();
            return false;
        }
        if (event->type() != QEvent::Wheel)
            return false;
        auto* control = static_cast<QWidget*>(watched);
        if (control->hasFocus())
            return false;
        QCoreApplication::sendEvent(m_page->verticalScrollBar(), event);
        return true;
    }

private:
    void guardControls() {
        const QList<QWidget*> controls = m_page->findChildren<QWidget*>();
        for (QWidget* control : controls) {
            const bool slider =
                qobject_cast<QAbstractSlider*>(control) && !qobject_cast<QScrollBar*>(control);
            if (!slider && !qobject_cast<QComboBox*>(control))
                continue;
            if (control->focusPolicy() == Qt::WheelFocus)
                control->setFocusPolicy(Qt::StrongFocus);
            control->installEventFilter(this);
        }
    }

    QScrollArea* m_page;
};

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
    new WheelGuard(scroll);
    return scroll;
}

namespace {

// Builds a page's content when its frame is first shown, then removes itself.
class BuildOnFirstShow : public QObject {
public:
    BuildOnFirstShow(QScrollArea* frame, std::function<QWidget*()> build)
        : QObject(frame)
        , m_build(std::move(build)) {
        frame->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            auto* frame = static_cast<QScrollArea*>(watched);
            auto* column = static_cast<QVBoxLayout*>(frame->widget()->layout());
            column->insertWidget(0, m_build());
            frame->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    std::function<QWidget*()> m_build;
};

} // namespace

QScrollArea* lazyFrame(std::function<QWidget*()> build) {
    auto* placeholder = new QWidget;
    QScrollArea* scroll = frame(placeholder);
    // The placeholder only held the place of the content in the column.
    scroll->widget()->layout()->removeWidget(placeholder);
    delete placeholder;
    new BuildOnFirstShow(scroll, std::move(build));
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
