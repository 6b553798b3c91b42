#pragma once

// Screen readers and other assistive tools see the widget's drawn controls as what they are:
// the start/pause and alert-off button as a button that can be pressed, the grips as grips.
// Their names are the widgets' accessible names, kept current by the view.
namespace WidgetAccessibility {

// Registers the interfaces with Qt's accessibility framework; once per process is enough.
void install();

} // namespace WidgetAccessibility
