#pragma once
// The table of the map's values: for every pixel where the probe shows a
// value, the pixel, phi as the probe evaluates it (before the label rounds
// it) and the angles i, e and g in degrees.
#include <QByteArray>
#include <QString>

#include "photometry/model_state.h"

namespace korvalen {

// What the probe reads, as a shading run left it.
struct MapRunState {
  ViewAndRotation view;
  LightAndModel lm;
  MapPicture map;
  MirrorSpot mirror;
  int widthPixels = 0, heightPixels = 0;  // the picture's extent
};

// CSV: two comment lines starting with "#" (the program and its version, the
// command that makes the run again; for the added models a third saying that
// phi is the radiance factor I/F), the header x,y,phi,i,e,g, then one row a
// pixel, rows of the picture top to bottom, each left to right. Numbers with
// the point, without grouping, each the shortest text that reads back to the
// same value. A fault in an evaluation is a run-time error, as in the probe.
QByteArray valueTable(const MapRunState& run, const QString& command);

}  // namespace korvalen
