#pragma once

#include "forms/form.hpp"

#include <optional>

class QLabel;
class QWidget;

namespace velmora::ui {

// Fills a widget's own background with a stored colour: an RGB value as it is, a system colour
// as the palette entry that follows the user's colour scheme.
void setBackground(QWidget& widget, forms::Colour colour);

// A label as the windows use them: plain text, left-aligned, wrapped, no focus, in the layout's
// colours. Call it once the label has its place.
void styleLabel(QLabel& label, std::optional<forms::Colour> text,
                std::optional<forms::Colour> background);

// A window's frame as its form gives it: object name, title, and maximize where it allows it.
void applyFormFrame(QWidget& window, const forms::Form& form);

// The height of the window's title bar and frame, or more where they are not known yet.
int frameHeight(const QWidget& window);

// Moves the window beside `owner` by forms::placeBeside, in the screen's work area.
void placeBeside(QWidget& window, const QWidget& owner);

// Makes the window visible, brings it to the front and activates it.
void showWindow(QWidget& window);

// What every window of the program shares: the platform's default font at 8 point, regular,
// and the program's icon, which desktops on Linux expect on each window.
void applyProgramLook();

} // namespace velmora::ui
