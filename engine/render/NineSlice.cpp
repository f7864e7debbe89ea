#include "NineSlice.h"

namespace ui {

std::array<NineSliceCell, 9> NineSliceCells(int imageWidth, int imageHeight, const RectF& dest, int gridLeft,
                                            int gridTop, int gridRight, int gridBottom) {
  // Border thicknesses of the image.
  const int left = gridLeft, top = gridTop;
  const int right = imageWidth - gridRight, bottom = imageHeight - gridBottom;
  const int sourceColumns[4] = {0, left, imageWidth - right, imageWidth};
  const int sourceRows[4] = {0, top, imageHeight - bottom, imageHeight};

  const int x = static_cast<int>(dest.left), y = static_cast<int>(dest.top);
  const int w = static_cast<int>(dest.width), h = static_cast<int>(dest.height);
  const int destColumns[4] = {x, x + left, x + w - right, x + w};
  const int destRows[4] = {y, y + top, y + h - bottom, y + h};

  std::array<NineSliceCell, 9> cells{};
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      NineSliceCell& cell = cells[row * 3 + column];
      cell.source = {sourceColumns[column], sourceRows[row], sourceColumns[column + 1] - sourceColumns[column],
                     sourceRows[row + 1] - sourceRows[row]};
      cell.destination = {destColumns[column], destRows[row], destColumns[column + 1] - destColumns[column],
                          destRows[row + 1] - destRows[row]};
    }
  }
  return cells;
}

}  // namespace ui
