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

namespace setup {

// Window backgrounds: JPEG, 825 x 468.
inline ui::Bytes BackgroundImage1() { return ui::EmbeddedBytes(kBackground1Block); }
inline ui::Bytes BackgroundImage2() { return ui::EmbeddedBytes(kBackground2Block); }

// Install button states (normal, hover, pressed): PNG, 193 x 58, RGBA.
inline ui::Bytes ButtonImage1() { return ui::EmbeddedBytes(kButtonImage1Block); }
inline ui::Bytes ButtonImage2() { return ui::EmbeddedBytes(kButtonImage2Block); }
inline ui::Bytes ButtonImage3() { return ui::EmbeddedBytes(kButtonImage3Block); }

}  // namespace setup
