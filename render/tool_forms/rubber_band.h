#pragma once
// The rubber band the viewers draw with the mouse: a rectangle in pixels,
// drawn in exclusive-or so that drawing it twice removes it, and zoomed to
// when the mouse lets go (a band too small to be one centres the view).
#include <cstdint>

#include "platform/canvas.h"

class TDevice;

// Whether a band of two corners is small enough to be a click.
bool BandIsClick(const platform::PixelRect& band);
// The band with its corners ordered left-top to right-bottom.
platform::PixelRect NormalisedBand(const platform::PixelRect& band);

// The band's pen on a canvas device: exclusive-or, green, solid, width 3,
// and a hollow brush.
void SetBandPen(TDevice* device);
// The pen after the band: copy mode, black, width 1.
void SetPenBack(TDevice* device);
// Draws the band with the current pen.
void DrawBand(TDevice* device, const platform::PixelRect& band);
// A band of a click centres the view on the world point of (x, y); a
// larger one becomes the view.
void ZoomToBand(TDevice* device, const platform::PixelRect& band, std::int32_t x, std::int32_t y);
