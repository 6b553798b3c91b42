#pragma once

#include <QColor>
#include <QToolButton>

#include <functional>
#include <optional>

// A button showing a colour as a swatch; pressing it asks the picker for another colour. The
// picker is given the current colour and the well (as the parent for a dialog) and answers a
// colour, or nothing when the user cancelled.
class ColourWell : public QToolButton {
    Q_OBJECT

public:
    using Picker = std::function<std::optional<QColor>(const QColor& current, QWidget* parent)>;

    explicit ColourWell(Picker picker, QWidget* parent = nullptr);

    // The system's colour dialog, opaque colours only, in the dialog's title the given text.
    static Picker dialogPicker(const QString& title);

    QColor color() const { return m_color; }
    // Shows a colour without emitting.
    void setColor(const QColor& color);

signals:
    // The user picked a colour.
    void colorPicked(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void pick();

    Picker m_picker;
    QColor m_color;
};
