// TPanel and TImage: controls that the program draws on outside their paint cycle.
#pragma once

#include "platform/vcl/Graphics.h"

#include <QWidget>
#include <memory>

enum class TBevelCut { bvNone, bvRaised, bvLowered };

// A panel owns a screen surface the panel's size. GetDC paints on it; the paint event only
// copies it to the window. Resizing, Repaint() or a colour change resets it to the face.
class TPanel : public QWidget {
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

    QImage& Surface() { return surface; }
    const QImage& Surface() const { return surface; }
    // Called by the device context after drawing: schedules a copy to the window.
    void SurfaceChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void PaintFace();

    TColor color = clBtnFace;
    TBevelCut bevelOuter = TBevelCut::bvRaised;
    QImage surface;
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
    // Replaces the bitmap by a white one at least this large (never smaller than now).
    void GrowBitmap(int width, int height);
    // Call after drawing on the canvas so the control shows it.
    void Changed() { update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TBitmap> bitmap;
};
