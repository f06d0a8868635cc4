#pragma once
// The drawing surface of a picture box: a pixel grid whose drawing persists
// across hiding, showing and being covered. x grows to the right, y downward,
// the origin is the top-left pixel. The drawing code writes into it directly,
// with no painter and no repaint per pixel; a picture box shows the same
// memory (one 0xFFRRGGBB word per pixel, rows one after another) as it is.
#include <cstdint>
#include <functional>
#include <vector>

#include "raster/colour.h"

namespace korvalen {

class Raster {
 public:
  Raster(int width, int height, Colour background = RGB(255, 255, 255));

  // Width and height as the drawing code reads them: 32-bit floats, in pixels.
  float width() const { return static_cast<float>(width_); }
  float height() const { return static_cast<float>(height_); }
  int widthPixels() const { return width_; }
  int heightPixels() const { return height_; }

  Colour backColour() const { return back_; }
  void setBackColour(Colour c) { back_ = c; }

  // Fills the grid with the background colour.
  void clear();

  // One pixel at (x, y); x and y stand on whole pixels. A point off the grid
  // is simply not drawn.
  void setPoint(float x, float y, Colour c);
  // The same for whole-pixel coordinates, for the scan loops.
  void setPixel(int x, int y, Colour c) {
    if (static_cast<unsigned>(x) < static_cast<unsigned>(width_) &&
        static_cast<unsigned>(y) < static_cast<unsigned>(height_)) {
      bits_[static_cast<size_t>(y) * width_ + x] = toArgb(c);
      touched();
    }
    currentX_ = x;
    currentY_ = y;
  }

  // setPixel for loops that set many pixels: the grid's storage is taken once,
  // when the writer is made, and each pixel costs no call. The same pixels
  // are drawn; what else setPixel does (the change listener, the last pixel
  // set as the current point) is kept in the writer until commit hands it to
  // the raster. So several writers may draw disjoint pixels of one grid at
  // once, each on its own thread, and be committed one after another, in the
  // order their pixels would have been drawn, on the raster's own thread.
  class PixelWriter {
   public:
    explicit PixelWriter(Raster& r)
        : raster_(r),
          bits_(r.bits_.data()),
          stride_(static_cast<size_t>(r.width_)),
          width_(static_cast<unsigned>(r.width_)),
          height_(static_cast<unsigned>(r.height_)) {}
    void setPixel(int x, int y, Colour c) {
      put(x, y, toArgb(c));
      done(x, y);
    }

    // For runs of pixels already in the grid's format (toArgb): put stores a
    // pixel on the grid as setPixel would, and done, called after the run,
    // makes (x, y), the run's last pixel, the current point.
    void put(int x, int y, uint32_t argb) {
      if (static_cast<unsigned>(x) < width_ && static_cast<unsigned>(y) < height_) {
        bits_[static_cast<size_t>(y) * stride_ + x] = argb;
        drawn_ = true;
      }
    }
    void done(int x, int y) {
      moved_ = true;
      currentX_ = x;
      currentY_ = y;
    }

    // The change listener, if any pixel was drawn, and the current point, as
    // setPixel would have left them.
    void commit() {
      if (drawn_) raster_.touched();
      if (moved_) {
        raster_.currentX_ = static_cast<float>(currentX_);
        raster_.currentY_ = static_cast<float>(currentY_);
      }
      drawn_ = moved_ = false;
    }

   private:
    Raster& raster_;
    bool drawn_ = false, moved_ = false;
    int currentX_ = 0, currentY_ = 0;
    uint32_t* bits_;
    size_t stride_;
    unsigned width_, height_;
  };

  // The rows y0..y1 of the grid as they are, and put back as they were.
  struct SavedRows {
    int firstRow = 0;
    std::vector<uint32_t> words;
  };
  SavedRows saveRows(int y0, int y1) const;
  void restoreRows(const SavedRows& saved);

  // A one-pixel line from (x1, y1) to (x2, y2); the end point itself is not
  // drawn, so a line continued from it does not draw it twice. The part of the
  // line outside the grid is clipped away before drawing, so any end point,
  // however far off, costs no more than the visible part.
  void line(float x1, float y1, float x2, float y2, Colour c);
  // A line from the end of the previous line (or the last point set).
  void lineTo(float x2, float y2, Colour c);

  Colour point(int x, int y) const;
  // The grid's words, row after row with no gap: 0xFFRRGGBB each.
  const std::vector<uint32_t>& pixels() const { return bits_; }

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

  int width_, height_;
  std::vector<uint32_t> bits_;
  Colour back_;
  float currentX_ = 0, currentY_ = 0;
  bool dirty_ = false;
  std::function<void()> listener_;
};

}  // namespace korvalen
