#pragma once

#include "ByteBlock.h"

namespace ui {

// A picture to decode for a window's scale: the bytes, and the scale in
// percent they were drawn at (100: the picture itself). Drawn at its
// logical size, the picture's pixel size times 100 / percent.
struct PictureChoice {
  Bytes bytes;
  int percent = 100;
};

// Larger drawings of an application's picture for displays of higher
// scale, such as the same photograph drawn at 150 % and 200 %. The engine
// keeps views: the bytes must live as long as the process (the program's
// constant data). A picture is known by its bytes, not by where they are,
// so a copy of them finds its variants too.
void AddPictureVariant(Bytes picture, int percent, Bytes variant);
void ClearPictureVariants();

// What to decode to draw `picture` at the dpi: the smallest drawing at
// least as large as the scale, else the largest there is; at 96 dpi, and
// for a picture without variants, the picture itself.
PictureChoice PictureForScale(Bytes picture, int dpi);

}  // namespace ui
