#pragma once

#include "twips.hpp"

#include <QColor>
#include <QString>

class QLabel;
class QWidget;

namespace velmora::ui {

// Colours the windows store, as RGB.
inline const QColor kBlack(0x00, 0x00, 0x00);
inline const QColor kWhite(0xFF, 0xFF, 0xFF);

// Names a control as the layouts do and puts it at its place.
template <typename Control>
Control* place(Control* control, const QString& name, const TwipsRect& at) {
    control->setObjectName(name);
    control->setGeometry(at.pixels());
    return control;
}

// Paints a widget's own background in `colour`.
void setBackground(QWidget& widget, const QColor& colour);

// A label as the windows use them: plain text, left-aligned and wrapped at word boundaries,
// `text` on `background`, no focus. Call it once the label has its place.
void styleLabel(QLabel& label, const QColor& text, const QColor& background);

// Where the platform's 8-point font is wider than the one the layouts were drawn with, a note
// would lose its last words below its box: such a label is drawn a little smaller instead, never
// below 6 points, so that every word shows and nothing moves.
void fitTextToBox(QLabel& label);

// The frame the three windows share: resizable, system menu, minimize and close; maximize only
// where `canMaximize`.
void setTitleBarControls(QWidget& window, bool canMaximize);

} // namespace velmora::ui
