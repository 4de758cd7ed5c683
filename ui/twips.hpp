#pragma once

#include "forms/form.hpp"

#include <QRect>
#include <QSize>

// The layouts keep every position and size in twips; here, and nowhere else, they become Qt's
// logical pixels (15 twips each, 96 DPI at a scale of one).
namespace velmora::ui {

inline constexpr int kTwipsPerPixel = 15;

constexpr int toPixels(int twips) {
    return twips / kTwipsPerPixel;
}

constexpr QRect toPixels(const forms::TwipsRect& twips) {
    return {toPixels(twips.left), toPixels(twips.top), toPixels(twips.width),
            toPixels(twips.height)};
}

constexpr QSize toPixels(const forms::TwipsSize& twips) {
    return {toPixels(twips.width), toPixels(twips.height)};
}

} // namespace velmora::ui
