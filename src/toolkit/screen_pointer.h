#pragma once
// Where the pointer is, to the screen pixel.
//
// Qt hands mouse positions over in logical pixels. Its X11 backend rounds the
// X server's position to whole logical pixels first, so at a screen scale of
// 2 the odd screen pixels are never reported, and at 1.25 one in five. The
// server's own motion events carry the screen pixel: a filter of the native
// events keeps the last few positions, and a widget handling a mouse move
// takes the one that belongs to it. Where the platform gives nothing better
// (Wayland's positions are already fractional, the offscreen platform has no
// pointer) the logical position stands.
#include <QPointF>
#include <optional>

class QWidget;

namespace korvalen {

// Starts keeping the positions of the native motion events (once per
// application; nothing on a platform other than X11).
void watchScreenPointer();

// The position, in logical pixels of `widget` but to the screen pixel, of the
// native motion event that Qt reported at `logical` (its position in the
// widget, rounded); nothing when no native event matches it.
std::optional<QPointF> screenPointerPosition(const QWidget* widget, const QPointF& logical);

}  // namespace korvalen
