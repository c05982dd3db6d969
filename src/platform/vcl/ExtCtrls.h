// TPanel and TImage: controls that the program draws on outside their paint cycle.
#pragma once

#include "platform/gdi/DrawingSurface.h"
#include "platform/vcl/Graphics.h"

#include <QWidget>
#include <memory>

enum class TBevelCut { bvNone, bvRaised, bvLowered };

// A panel owns a screen surface the panel's size. GetDC paints on it; the paint event only
// copies it to the window. Resizing, Repaint() or a colour change resets it to the face.
// The surface is in the panel's own pixels; on a high-density screen the copy scales it up.
class TPanel : public QWidget, public gdi::DrawingSurface {
    Q_OBJECT
public:
    explicit TPanel(QWidget* parent);

    TColor Color() const { return color; }
    void SetColor(TColor value);
    TBevelCut BevelOuter() const { return bevelOuter; }
    void SetBevelOuter(TBevelCut value);

    HWND Handle() { return this; }
    // Invalidate and update at once: the face replaces whatever was drawn.
    void Repaint();

    // Follows the panel's size: a surface of another size is first reset to the face.
    QImage& Surface() override;
    const QImage& Surface() const;
    // Called by the device context: schedules a copy to the window.
    void SurfaceChanged() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintFace() const;

    TColor color = clBtnFace;
    TBevelCut bevelOuter = TBevelCut::bvRaised;
    mutable QImage surface;
};

// An image control holding a bitmap that is created at the control's size the first time
// its canvas is used, and keeps that size; the control shows it unscaled at its top-left.
class TImage : public QWidget {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent);
    ~TImage() override;

    TCanvas* Canvas();
    TBitmap* Bitmap() { return bitmap.get(); } // null before the first canvas use
    // Replaces the bitmap by a white one at least this large (never smaller than now), keeping
    // its Monochrome setting; a canvas got before is gone. Already that large: no change.
    // Without a bitmap it makes one.
    void GrowBitmap(int width, int height);
    // Call after drawing on the canvas so the control shows it.
    void Changed() { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TBitmap> bitmap;
};
