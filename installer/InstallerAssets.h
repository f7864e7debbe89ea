#pragma once

#include <cstdint>

#include "engine/core/ByteBlock.h"

// The installer's pictures in the program's constant data, laid out by the
// build's embedding step as {1, length, bytes}.
extern "C" const std::uint8_t kBackground1Block[];
extern "C" const std::uint8_t kBackground2Block[];
extern "C" const std::uint8_t kButtonImage1Block[];
extern "C" const std::uint8_t kButtonImage2Block[];
extern "C" const std::uint8_t kButtonImage3Block[];
// The same pictures drawn for 150 % and 200 % displays.
extern "C" const std::uint8_t kBackground1At150Block[];
extern "C" const std::uint8_t kBackground1At200Block[];
extern "C" const std::uint8_t kBackground2At150Block[];
extern "C" const std::uint8_t kBackground2At200Block[];
extern "C" const std::uint8_t kButtonImage1At150Block[];
extern "C" const std::uint8_t kButtonImage1At200Block[];
extern "C" const std::uint8_t kButtonImage2At150Block[];
extern "C" const std::uint8_t kButtonImage2At200Block[];
extern "C" const std::uint8_t kButtonImage3At150Block[];
extern "C" const std::uint8_t kButtonImage3At200Block[];

namespace setup {

// Window backgrounds: JPEG, 825 x 468.
inline ui::Bytes BackgroundImage1() { return ui::EmbeddedBytes(kBackground1Block); }
inline ui::Bytes BackgroundImage2() { return ui::EmbeddedBytes(kBackground2Block); }

// Install button states (normal, hover, pressed): PNG, 193 x 58, RGBA.
inline ui::Bytes ButtonImage1() { return ui::EmbeddedBytes(kButtonImage1Block); }
inline ui::Bytes ButtonImage2() { return ui::EmbeddedBytes(kButtonImage2Block); }
inline ui::Bytes ButtonImage3() { return ui::EmbeddedBytes(kButtonImage3Block); }

// Tells the engine of the drawings of each picture for scaled displays
// (1238 x 702 and 1650 x 936 backgrounds, 290 x 87 and 386 x 116 buttons),
// once; it draws the one made for a window's scale.
void RegisterScaledPictures();

}  // namespace setup
