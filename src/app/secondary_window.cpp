#include "app/secondary_window.h"

#include "platform/x11_window_hints.h"

#include <QCursor>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

SecondaryWindow::SecondaryWindow(const QString& title, QWidget* content)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                           Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                           Qt::MSWindowsFixedSizeDialogHint)
    , m_content(content) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // The usual keys of a desktop window; the program has no main window to carry them.
    // Ctrl+W is a Linux desktop's close key whatever the platform theme binds; a key bound twice
    // would be ambiguous and do nothing, so each is bound once.
    QList<QKeySequence> closeKeys = QKeySequence::keyBindings(QKeySequence::Close);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::Key_Escape)})
        if (!closeKeys.contains(key))
            closeKeys.append(key);
    for (const QKeySequence& key : closeKeys)
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(QKeySequence::Quit), this), &QShortcut::activated, qApp,
            &QCoreApplication::quit, Qt::QueuedConnection);
}

void SecondaryWindow::openQuietly() {
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    open();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
}

void SecondaryWindow::open() {
    if (!m_placed) {
        adjustSize();
        // Fixed before the native window exists, so the window manager is told from the start
        // that the window cannot be resized (and so cannot be maximised).
        setFixedSize(size());
        const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect placed(QPoint(0, 0), frameGeometry().size());
            placed.moveCenter(screen->availableGeometry().center());
            move(placed.topLeft());
        }
        m_placed = true;
    }
    // Closing destroys the native window (Qt 6 closes the QWindow), so the hints go to the one
    // created for this show.
    winId();
    X11WindowHints::allowOnlyMoveAndClose(windowHandle());
    show();
    raise();
    if (!testAttribute(Qt::WA_ShowWithoutActivating))
        activateWindow();
}

QWidget* makePlaceholderPage(const std::function<void()>& onClose) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addStretch();
    auto* buttons = new QDialogButtonBox(page);
    QPushButton* close = buttons->addButton(QStringLiteral("닫기"), QDialogButtonBox::AcceptRole);
    close->setObjectName(QStringLiteral("close"));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, page, [onClose] {
        if (onClose)
            onClose();
    });
    layout->addWidget(buttons);
    page->setMinimumSize(360, 160);
    return page;
}
