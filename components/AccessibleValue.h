// A screen reader asks a widget what it shows. A tube or a clock only paints, so
// whoever knows what the picture means supplies the words, asked afresh each time.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace AccessibleValue {

// Reader's text becomes Widget's accessible value (the text a screen reader
// speaks after the name). Set it before the widget is first asked about.
void SetReader(QWidget* Widget, std::function<QString()> Reader);

// What Reader says now; empty for a widget that has none.
QString Read(const QWidget* Widget);

} // namespace AccessibleValue
