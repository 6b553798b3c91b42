#pragma once

#include <QWidget>

// A titled, closable, fixed-size window around one view, kept above other windows. Closing it
// only hides it; the owner keeps it and shows the same window again on the next open.
class SecondaryWindow : public QWidget {
    Q_OBJECT

public:
    // Takes ownership of the content; the window is sized to the content's size hint.
    SecondaryWindow(const QString& title, QWidget* content);

    QWidget* content() const { return m_content; }

    // Shows, raises and activates the window. Centred on the screen under the pointer the
    // first time only; later opens keep where the user left it.
    void open();
    // Shows the window without taking the focus from the window the user is working in.
    void openQuietly();

private:
    QWidget* m_content;
    bool m_placed = false;
};

// Stand-in content for a window whose view is not there yet: an empty page with a close
// button.
QWidget* makePlaceholderPage(const std::function<void()>& onClose);
