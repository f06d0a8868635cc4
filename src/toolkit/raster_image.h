#pragma once
// A Raster as Qt sees it: a QImage over the grid's own memory, not a copy.
// It is valid while the Raster lives and keeps its size; the grid's words are
// already in QImage's 32-bit RGB layout.
#include <QImage>

#include "raster/raster.h"

namespace korvalen {

inline QImage imageOf(const Raster& r) {
  return QImage(reinterpret_cast<const uchar*>(r.pixels().data()), r.widthPixels(),
                r.heightPixels(), r.widthPixels() * static_cast<qsizetype>(sizeof(uint32_t)),
                QImage::Format_RGB32);
}

}  // namespace korvalen
