#pragma once

#include <QFont>
#include <QString>

#include <functional>

class QBoxLayout;
class QHBoxLayout;
class QLabel;
class QScrollArea;
class QVBoxLayout;
class QWidget;

// The pieces every tab of the settings window is built from.
namespace TabPage {

// A tab's frame: the content column in a vertical scroll area, 20 points of margin on every
// side, 14 points between items, leading-aligned and stretched to the full width.
QScrollArea* frame(QWidget* content);

// The same frame around content built the first time the page is shown: a page that loads a
// lot (the font samples load eight font files) costs nothing until the user looks at it.
QScrollArea* lazyFrame(std::function<QWidget*()> build);

// A column with the given spacing and no margins, in a new widget.
QVBoxLayout* column(QWidget* owner, int spacing);

// The caption font for a body font.
QFont caption(const QFont& body);
// A note under a control: the caption font, the secondary text colour, wrapped.
QLabel* note(const QString& text, QWidget* parent = nullptr);
// A section title: the body font, bold.
QLabel* title(const QString& text, QWidget* parent = nullptr);

// A row: a label at the leading edge, flexible space, then the controls added after it.
QHBoxLayout* labelledRow(const QString& label, QWidget* parent);

} // namespace TabPage
