#pragma once
// The drawing surface of a picture box: a pixel grid whose drawing persists
// across hiding, showing and being covered. x grows to the right, y downward,
// the origin is the top-left pixel. Widgets paint it; the drawing code writes
// into it directly, with no painter and no repaint per pixel.
#include <QImage>
#include <cstdint>
#include <functional>

#include "colour.h"

namespace korvalen {

class Raster {
 public:
  Raster(int width, int height, Colour background = RGB(255, 255, 255));

  // Width and height as the drawing code reads them: 32-bit floats, in pixels.
  float width() const { return static_cast<float>(image_.width()); }
  float height() const { return static_cast<float>(image_.height()); }
  int widthPixels() const { return image_.width(); }
  int heightPixels() const { return image_.height(); }

  Colour backColour() const { return back_; }
  void setBackColour(Colour c) { back_ = c; }

  // Fills the grid with the background colour.
  void clear();

  // One pixel at (x, y); x and y stand on whole pixels. A point off the grid
  // is simply not drawn.
  void setPoint(float x, float y, Colour c);
  // The same for whole-pixel coordinates, for the scan loops.
  void setPixel(int x, int y, Colour c) {
    if (static_cast<unsigned>(x) < static_cast<unsigned>(image_.width()) &&
        static_cast<unsigned>(y) < static_cast<unsigned>(image_.height())) {
      reinterpret_cast<uint32_t*>(image_.scanLine(y))[x] = toArgb(c);
      touched();
    }
    currentX_ = x;
    currentY_ = y;
  }

  // setPixel for loops that set many pixels: the grid's storage is taken once,
  // when the writer is made, and each pixel costs no Qt call. The same pixels
  // are drawn, the change listener fires at the first one drawn, and the last
  // pixel set becomes the current point, as with setPixel.
  class PixelWriter {
   public:
    explicit PixelWriter(Raster& r)
        : raster_(r),
          bits_(reinterpret_cast<uint32_t*>(r.image_.bits())),
          stride_(r.image_.bytesPerLine() / static_cast<qsizetype>(sizeof(uint32_t))),
          width_(static_cast<unsigned>(r.image_.width())),
          height_(static_cast<unsigned>(r.image_.height())) {}
    void set(int x, int y, Colour c) {
      if (static_cast<unsigned>(x) < width_ && static_cast<unsigned>(y) < height_) {
        bits_[static_cast<qsizetype>(y) * stride_ + x] = toArgb(c);
        raster_.touched();
      }
      raster_.currentX_ = static_cast<float>(x);
      raster_.currentY_ = static_cast<float>(y);
    }

    // For runs of pixels already in the grid's format (toArgb): put stores a
    // pixel on the grid as set would, and done, called after the run, does
    // the rest of what set does: the change listener, if any pixel of the run
    // was drawn, and (x, y), the run's last pixel, as the current point.
    void put(int x, int y, uint32_t argb) {
      if (static_cast<unsigned>(x) < width_ && static_cast<unsigned>(y) < height_) {
        bits_[static_cast<qsizetype>(y) * stride_ + x] = argb;
        drawn_ = true;
      }
    }
    void done(int x, int y) {
      if (drawn_) raster_.touched();
      drawn_ = false;
      raster_.currentX_ = static_cast<float>(x);
      raster_.currentY_ = static_cast<float>(y);
    }

   private:
    Raster& raster_;
    bool drawn_ = false;
    uint32_t* bits_;
    qsizetype stride_;
    unsigned width_, height_;
  };

  // A one-pixel line from (x1, y1) to (x2, y2); the end point itself is not
  // drawn, so a line continued from it does not draw it twice. The part of the
  // line outside the grid is clipped away before drawing, so any end point,
  // however far off, costs no more than the visible part.
  void line(float x1, float y1, float x2, float y2, Colour c);
  // A line from the end of the previous line (or the last point set).
  void lineTo(float x2, float y2, Colour c);

  // Screen pixels per logical pixel of the box that shows the grid; the
  // painter then puts each element on one screen pixel.
  void setDevicePixelRatio(double r) { image_.setDevicePixelRatio(r); }

  Colour point(int x, int y) const;
  const QImage& image() const { return image_; }

  // Called once when the grid changes after the owner last painted it.
  void setChangeListener(std::function<void()> f) { listener_ = std::move(f); }
  void markPainted() { dirty_ = false; }

 private:
  void touched() {
    if (!dirty_) {
      dirty_ = true;
      if (listener_) listener_();
    }
  }

  QImage image_;
  Colour back_;
  float currentX_ = 0, currentY_ = 0;
  bool dirty_ = false;
  std::function<void()> listener_;
};

}  // namespace korvalen
