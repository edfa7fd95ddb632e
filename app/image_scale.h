// Pictures resized for a screen of another DPI.
#pragma once

#include "app/png_image.h"

namespace app {

// `source` at `width` x `height`, each pixel blended from the four source
// pixels around its centre: enlarged pictures come out smooth, not in steps,
// whatever the system's own stretching does. Empty for an empty source.
Image ScaleImage(const Image& source, int width, int height);

}  // namespace app
