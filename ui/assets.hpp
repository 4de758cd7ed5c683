#pragma once

#include "forms/form.hpp"

#include <QIcon>
#include <QImage>

// The pictures the windows show, from the program's resources. Where they are not linked in
// (the tool that paints them), the images are empty and the boxes show their background.
namespace velmora::ui::assets {

QImage picture(forms::Picture which);
// The version of `picture` drawn for a display at `ratio` device pixels to the logical pixel,
// with that device pixel ratio; the picture itself at 1 or where it has no other versions.
QImage drawnFor(const QImage& picture, qreal ratio);
QIcon programIcon();

} // namespace velmora::ui::assets
