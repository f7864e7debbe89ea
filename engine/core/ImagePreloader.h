#pragma once

#include "ByteBlock.h"
#include "GdiPlus.h"

namespace ui {

// Decodes one background picture, premultiplied as backgrounds are kept, on
// a thread of its own while the program goes on starting (creating its
// window, its fonts), so that the first composition finds it ready. The
// engine must be started. A second call replaces a picture that was not
// taken yet.
void PreloadImage(Bytes bytes);

// The picture preloaded from exactly these bytes, as
// LoadPremultipliedImageFromBytes decodes it, waiting for its decoding to
// end; null when no such picture was preloaded (or it did not decode). A
// picture is taken once.
ImagePtr TakePreloadedImage(Bytes bytes);

}  // namespace ui
