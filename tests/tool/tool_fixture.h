// Running the built huewright in a scratch directory of test images made
// from the frames in tests/data, and reading what it wrote.
#ifndef HUEWRIGHT_TESTS_TOOL_TOOL_FIXTURE_H
#define HUEWRIGHT_TESTS_TOOL_TOOL_FIXTURE_H

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

struct ToolRun {
  int status = -1;  // exit status, or -1 when the tool did not exit normally
  std::string out;
  std::string err;
};

// An image as read back: channels expanded to RGBA floats.
struct Pixels {
  int width = 0, height = 0, channels = 0;
  std::string format;    // "png", "openexr", ...
  std::string type;      // "uint8", "uint16", "half", "float"
  int bits = 0;          // bits per sample as stored
  std::vector<float> rgba;
  const float* At(int x, int y) const { return rgba.data() + (static_cast<std::size_t>(y) * width + x) * 4; }
};

// The swatch cell (0 to 4) that holds pixel (x, y), or -1.
int SwatchCell(int x, int y, int width, int height);

class ToolTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Runs huewright with these arguments in the scratch directory.
  ToolRun Run(const std::vector<std::string>& args) const;
  // Runs a shell command line in the scratch directory; returns its status.
  int Shell(const std::string& command) const;

  // Test images, written on first use:
  //   mountain.png (8-bit RGB), mountain.jpg, mountain16.tif (16-bit),
  //   mountain.dpx (10-bit), carrots.exr (half), carrots.png (8-bit),
  //   grey.png (1 channel), greyalpha.png (2), rgba.png (4), five.exr (5).
  std::string Source(const std::string& name) const;
  Pixels Read(const std::string& name) const;
  std::vector<std::string> Listing() const;  // names in the scratch directory
  std::string Bytes(const std::string& name) const;

 private:
  std::filesystem::path dir_;
};

#endif
