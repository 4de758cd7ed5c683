#pragma once

#include "forms/form.hpp"

#include <optional>

class QLabel;
class QWidget;

namespace velmora::ui {

// Fills a widget's own background with a stored colour: an RGB value as it is, a system colour
// as the palette entry that follows the user's colour scheme.
void setBackground(QWidget& widget, forms::Colour colour);

// A label as the windows use them: plain text, left-aligned and wrapped at word boundaries, no
// focus; `text` and `background` where the layout stores them. Call it once the label has its
// place.
void styleLabel(QLabel& label, std::optional<forms::Colour> text,
                std::optional<forms::Colour> background);

// Where the platform's 8-point font is wider than the one the layouts were drawn with, a note
// would lose its last words below its box: such a label is drawn a little smaller instead, never
// below 6 points, so that every word shows and nothing moves.
void fitTextToBox(QLabel& label);

// A window's frame as its form gives it: object name, title and icon; resizable, with system
// menu, minimize and close, and maximize only where the form allows it.
void applyFormFrame(QWidget& window, const forms::Form& form);

// Makes the window visible, brings it to the front and activates it.
void showWindow(QWidget& window);

// The font every text of the program is drawn in: the platform's default at 8 point, regular.
void applyProgramFont();

} // namespace velmora::ui
