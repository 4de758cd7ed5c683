#pragma once

#include "forms/form.hpp"

#include <QIcon>
#include <QImage>

// The pictures the windows show, from the program's resources. Where they are not linked in
// (the tool that paints them), the images are empty and the boxes show their background.
namespace velmora::ui::assets {

QImage picture(forms::Picture which);
QIcon programIcon();

} // namespace velmora::ui::assets
