#pragma once
// The plain kernel's parameters from the program's state after the set-ups of
// a shading run.
#include "bench/plain_kernel.h"
#include "photometry/model_state.h"

namespace korvalen {

inline plain::Params plainParamsOf(const ViewAndRotation& view, const LightAndModel& lm,
                                   const MapPicture& picture, const Isolines& isolines) {
  plain::Params p;
  p.width = picture.pictureWidth;
  p.height = picture.pictureHeight;
  p.centreX = picture.centreX;
  p.centreY = picture.centreY;
  p.unitsPerPixel = view.unitsPerPixel;
  p.discLimitSq = view.discLimitSq;
  p.rotated = !(view.rotAngleOX == 0 && view.rotAngleOY == 0 && view.rotAngleOZ == 0);
  p.cX = view.cosRotOX;
  p.sX = view.sinRotOX;
  p.cY = view.cosRotOY;
  p.sY = view.sinRotOY;
  p.cZ = view.cosRotOZ;
  p.sZ = view.sinRotOZ;
  p.lightX = lm.lightX;
  p.lightY = lm.lightY;
  p.lightZ = lm.lightZ;
  p.visibleHalfOnly = view.visibleHalfOnly == kTrue;
  p.model = lm.surfaceModel;
  p.g = lm.sourceInclination;
  p.cosG = lm.cosG;
  p.diffuseShare = lm.diffuseShare;
  p.specularGain = lm.specularGain;
  p.peakSharpness = lm.peakSharpness;
  p.smoothing = isolines.noSmoothing == kFalse;
  p.bandsShown = isolines.isolinesHidden == kFalse;
  for (int k = 1; k <= 7; ++k) {
    p.low[k] = static_cast<float>(static_cast<double>(isolines.isolineLevel[k]) -
                                  isolines.isolineHalfWidth[k]);
    p.high[k] = static_cast<float>(static_cast<double>(isolines.isolineLevel[k]) +
                                   isolines.isolineHalfWidth[k]);
  }
  p.shadowLow = -isolines.isolineHalfWidth[1];
  p.zoneHigh = isolines.isolineHalfWidth[7];
  p.backRed = picture.backRed;
  p.backGreen = picture.backGreen;
  p.backBlue = picture.backBlue;
  return p;
}

}  // namespace korvalen
