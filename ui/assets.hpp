#pragma once

#include "forms/form.hpp"

#include <QIcon>
#include <QImage>

// The pictures the windows show, from the program's resources. Where they are not linked in
// (the tool that paints them), the images are empty and the boxes show their background.
namespace velmora::ui::assets {

// Each names in its text "versions" where its versions for 1.5 and 2 times the scale are: the
// path with "-150" or "-200" for "%1".
QImage picture(forms::Picture which);
QIcon programIcon();

} // namespace velmora::ui::assets
