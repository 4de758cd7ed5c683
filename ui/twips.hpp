#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Every position and size of the windows is kept in twips, as the layouts were drawn, and turned
// into logical pixels here and nowhere else.
namespace velmora::ui {

inline constexpr int kTwipsPerPixel = 15;

constexpr int toPixels(int twips) {
    return twips / kTwipsPerPixel;
}

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;

    constexpr QRect pixels() const {
        return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
    }
};

struct TwipsSize {
    int width;
    int height;

    constexpr QSize pixels() const { return {toPixels(width), toPixels(height)}; }
};

struct TwipsLine {
    int x1;
    int y;
    int x2;

    constexpr QPoint from() const { return {toPixels(x1), toPixels(y)}; }
    constexpr QPoint to() const { return {toPixels(x2), toPixels(y)}; }
};

} // namespace velmora::ui
