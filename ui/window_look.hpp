#pragma once

#include <QColor>

class QLabel;
class QWidget;

namespace velmora::ui {

// Colours the windows store, as RGB.
inline const QColor kBlack(0x00, 0x00, 0x00);
inline const QColor kWhite(0xFF, 0xFF, 0xFF);

// Paints a widget's own background in `colour`.
void setBackground(QWidget& widget, const QColor& colour);

// A label as the windows use them: plain text, left-aligned, `text` on `background`, no focus.
void styleLabel(QLabel& label, const QColor& text, const QColor& background, bool wrap);

// The frame the three windows share: resizable, system menu, minimize and close; maximize only
// where `canMaximize`.
void setTitleBarControls(QWidget& window, bool canMaximize);

} // namespace velmora::ui
