#include "GifWriter.h"

#include <algorithm>

namespace ui::test {
namespace {

void Put16(std::vector<std::uint8_t>& out, int value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// LZW data for `count` pixels of colour index `index` with 3-bit codes: a
// clear code before every pair of pixels keeps the code table from growing,
// so every code stays 3 bits wide.
std::vector<std::uint8_t> SolidLzw(int count, int index) {
  constexpr int kClear = 4, kEnd = 5, kWidth = 3;
  std::vector<int> codes;
  for (int i = 0; i < count; ++i) {
    if (i % 2 == 0) codes.push_back(kClear);
    codes.push_back(index);
  }
  codes.push_back(kEnd);
  std::vector<std::uint8_t> bytes;
  unsigned buffer = 0;
  int bits = 0;
  for (int code : codes) {
    buffer |= static_cast<unsigned>(code) << bits;
    bits += kWidth;
    while (bits >= 8) {
      bytes.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
      buffer >>= 8;
      bits -= 8;
    }
  }
  if (bits > 0) bytes.push_back(static_cast<std::uint8_t>(buffer & 0xFF));
  return bytes;
}

}  // namespace

std::vector<std::uint8_t> MakeAnimatedGif(int width, int height, const std::vector<GifFrame>& frames) {
  std::vector<std::uint32_t> palette;
  for (const GifFrame& frame : frames) {
    if (std::find(palette.begin(), palette.end(), frame.rgb) == palette.end()) palette.push_back(frame.rgb);
  }
  palette.resize(4, 0);

  std::vector<std::uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
  Put16(out, width);
  Put16(out, height);
  out.push_back(0xF1);  // global colour table of 4 entries
  out.push_back(0);
  out.push_back(0);
  for (std::uint32_t rgb : palette) {
    out.push_back(static_cast<std::uint8_t>(rgb >> 16));
    out.push_back(static_cast<std::uint8_t>(rgb >> 8));
    out.push_back(static_cast<std::uint8_t>(rgb));
  }
  // Loop for ever.
  const std::uint8_t loop[] = {0x21, 0xFF, 0x0B, 'N', 'E',  'T',  'S',  'C',  'A', 'P',
                               'E',  '2',  '.',  '0', 0x03, 0x01, 0x00, 0x00, 0x00};
  out.insert(out.end(), std::begin(loop), std::end(loop));

  for (const GifFrame& frame : frames) {
    const int index = static_cast<int>(std::find(palette.begin(), palette.end(), frame.rgb) - palette.begin());
    out.insert(out.end(), {0x21, 0xF9, 0x04, 0x00});  // graphic control: no disposal
    Put16(out, frame.delay);
    out.insert(out.end(), {0x00, 0x00});
    out.push_back(0x2C);  // image descriptor
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    out.push_back(0);
    out.push_back(2);  // LZW minimum code size
    const std::vector<std::uint8_t> data = SolidLzw(width * height, index);
    for (std::size_t at = 0; at < data.size(); at += 255) {
      const std::size_t length = std::min<std::size_t>(255, data.size() - at);
      out.push_back(static_cast<std::uint8_t>(length));
      out.insert(out.end(), data.begin() + at, data.begin() + at + length);
    }
    out.push_back(0);
  }
  out.push_back(0x3B);
  return out;
}

}  // namespace ui::test
