#pragma once

#include <QAbstractButton>

// A tile that can be chosen: its content centred on a rounded rectangle, filled with the accent
// colour at 25 % and outlined in it when chosen, grey at 12 % otherwise. A click anywhere on it
// (or Space while it has focus) runs `clicked`. The content's widgets let the pointer through.
class SelectableCard : public QAbstractButton {
    Q_OBJECT

public:
    SelectableCard(qreal cornerRadius, QWidget* parent = nullptr);

    bool isSelected() const { return isChecked(); }
    void setSelected(bool selected) { setChecked(selected); }

    // Takes ownership; the content is stretched to the card's width.
    void setContent(QWidget* content);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The card's selection follows the model it shows; a click only reports itself.
    void nextCheckState() override {}

private:
    qreal m_cornerRadius;
    QWidget* m_content = nullptr;
};
