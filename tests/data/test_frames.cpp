#include "test_frames.h"

#include <cstddef>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <string>

extern const uint8_t kMountainFrameFile[];
extern const std::size_t kMountainFrameFileSize;
extern const uint8_t kCarrotsFrameFile[];
extern const std::size_t kCarrotsFrameFileSize;

namespace {

// "P6"/"PF" header: magic, width, height, maxval or scale, one whitespace byte.
struct Header {
  std::string magic;
  int32_t width = 0;
  int32_t height = 0;
  double scale = 0;
  std::size_t data_offset = 0;
};

Header ReadHeader(const uint8_t* file, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(file), size < 64 ? size : 64);
  std::istringstream in(text);
  Header header;
  in >> header.magic >> header.width >> header.height >> header.scale;
  header.data_offset = static_cast<std::size_t>(in.tellg()) + 1;
  return header;
}

TestFrame ReadPpm(const uint8_t* file, std::size_t size) {
  const Header header = ReadHeader(file, size);
  TestFrame frame{header.width, header.height, {}};
  const std::size_t pixels = static_cast<std::size_t>(header.width) * header.height;
  if (header.magic != "P6" || header.scale != 255 || header.data_offset + pixels * 3 != size)
    throw std::runtime_error("damaged 8-bit test frame");
  const uint8_t* data = file + header.data_offset;
  for (std::size_t i = 0; i < pixels; ++i) frame.rgb.push_back({float(data[3 * i]), float(data[3 * i + 1]), float(data[3 * i + 2])});
  return frame;
}

TestFrame ReadPfm(const uint8_t* file, std::size_t size) {
  const Header header = ReadHeader(file, size);
  TestFrame frame{header.width, header.height, {}};
  const std::size_t pixels = static_cast<std::size_t>(header.width) * header.height;
  if (header.magic != "PF" || header.scale >= 0 || header.data_offset + pixels * 12 != size)
    throw std::runtime_error("damaged float test frame");
  frame.rgb.resize(pixels);
  // Little-endian rows, bottom row first.
  for (int32_t y = 0; y < header.height; ++y) {
    const uint8_t* row = file + header.data_offset + static_cast<std::size_t>(header.height - 1 - y) * header.width * 12;
    std::memcpy(&frame.rgb[static_cast<std::size_t>(y) * header.width], row, static_cast<std::size_t>(header.width) * 12);
  }
  return frame;
}

}  // namespace

const TestFrame& MountainFrame() {
  static const TestFrame frame = ReadPpm(kMountainFrameFile, kMountainFrameFileSize);
  return frame;
}

const TestFrame& CarrotsFrame() {
  static const TestFrame frame = ReadPfm(kCarrotsFrameFile, kCarrotsFrameFileSize);
  return frame;
}
