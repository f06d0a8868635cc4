#pragma once
// The legend of a comparison map, drawn into the map's own pixels so that it
// goes wherever the picture goes (the screen, the clipboard, the files): in
// the top right corner the colour bar of the scale with its ends and middle
// and the caption "φA / φB" or "φA − φB"; under the ratio, in the bottom right
// corner, the colour of the pixels without a ratio.
#include <QLocale>
#include <QString>

#include "comparison/model_comparison.h"
#include "raster/raster.h"

namespace korvalen {

// A number of the scale as the legend and the probe write it, in the locale.
QString scaleNumberText(double v, const QLocale& locale);

// `scale` is the picture's screen pixels per logical pixel: the legend is as
// large to the window at every screen scale.
void drawComparisonLegend(Raster& picture, ComparisonKind kind, double limit, double scale,
                          const QLocale& locale);

}  // namespace korvalen
