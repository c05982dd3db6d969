// What a window offers to be drawn on outside its paint cycle: an image the window's size,
// and a way to have that image shown.
#pragma once

#include <QImage>

namespace gdi {

class DrawingSurface {
public:
    // The image GetDC draws on, at the window's current size.
    virtual QImage& Surface() = 0;
    // Called when a context is got for the window: schedules the copy to the screen.
    virtual void SurfaceChanged() = 0;

protected:
    ~DrawingSurface() = default;
};

} // namespace gdi
