#pragma once

namespace ui::test {

// What the process holds of the three kinds a leak shows in: GDI objects,
// USER objects and kernel handles.
//
// Windows counts them (GetGuiResources, GetProcessHandleCount). Wine 8 does
// not (both answer 0), so there they are counted from what the process can
// see: the live entries of the GDI handle table, the windows of the calling
// thread (the USER objects the engine makes are windows) and the handle
// values that name an open handle.
struct ProcessResources {
  long gdiObjects = 0;
  long userObjects = 0;
  long kernelHandles = 0;
};

ProcessResources CountProcessResources();

}  // namespace ui::test
