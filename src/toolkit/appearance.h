#pragma once
// The look of the program's windows on any desktop.
//
// The windows are laid out to the pixel for compact controls. Styles with
// roomier frames and indicators (adwaita, Breeze) would clip the numbers in
// the narrow text boxes and push the captions of the option buttons out of
// their boxes, so the program draws its controls with Qt's own Fusion style,
// which is compact and always present, and keeps the colours the desktop
// gives: its palette, light or dark.
#include <QColor>
#include <QPalette>

class QStyle;

namespace korvalen {

// The name of the style the controls are drawn with.
inline constexpr const char* kWindowStyle = "Fusion";

// Makes the window style the application's style. The palette stays the one
// the desktop set up, also where it came from the desktop's own style (as
// adwaita-dark brings its dark palette), rather than Fusion's light one.
void useWindowStyle();

// A new instance of the window style, for styles built over it.
QStyle* newWindowStyle();

// The contrast of two colours, 1 to 21: (L1 + 0.05) / (L2 + 0.05) of their
// relative luminances, the lighter over the darker.
double contrastRatio(const QColor& a, const QColor& b);

// Text that must stay readable on `background`: `preferred` where it has a
// contrast of at least minRatio against it, otherwise the nearest colour on
// the way from it to black or to white (whichever the background sets off
// better) that has.
QColor readableOn(const QColor& preferred, const QColor& background, double minRatio = 4.5);

// Makes a window's captions (its WindowText) readable on its `surface`
// colour, in the active and inactive groups of `palette`. Greyed captions
// keep the scheme's colour: they stand for controls out of use.
void makeCaptionsReadable(QPalette& palette, QPalette::ColorRole surface);

}  // namespace korvalen
