#include "tool_fixture.h"

#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using OIIO::ImageBuf;
using OIIO::TypeDesc;

namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

ImageBuf Frame(const char* name) { return ImageBuf(std::string(TEST_DATA_DIR) + "/" + name); }

void Write(ImageBuf image, const fs::path& path, TypeDesc type, int bits = 0) {
  if (bits) image.specmod().attribute("oiio:BitsPerSample", bits);
  image.set_write_format(type);
  ASSERT_TRUE(image.write(path.string())) << path << ": " << image.geterror();
}

ImageBuf Channels(const ImageBuf& source, std::vector<int> order, std::vector<float> fill = {}) {
  if (fill.empty()) fill.assign(order.size(), 0.0f);
  return OIIO::ImageBufAlgo::channels(source, static_cast<int>(order.size()), order, fill);
}

}  // namespace

int SwatchCell(int x, int y, int width, int height) {
  static const double kEdges[] = {0.1, 0.26, 0.42, 0.58, 0.74, 0.9};
  if (!(y >= 0.8 * height && y <= 0.95 * height)) return -1;
  for (int k = 0; k < 5; ++k)
    if (x >= kEdges[k] * width && x < kEdges[k + 1] * width) return k;
  return -1;
}

void ToolTest::SetUp() {
  char pattern[] = "/tmp/huewright-tool-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir_ = pattern;
}

void ToolTest::TearDown() { fs::remove_all(dir_); }

int ToolTest::Shell(const std::string& command) const {
  const int status = std::system(("cd " + Quote(dir_.string()) + " && " + command).c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ToolRun ToolTest::Run(const std::vector<std::string>& args) const {
  std::string command = Quote(HUEWRIGHT_TOOL);
  for (const std::string& arg : args) command += " " + Quote(arg);
  const fs::path out = dir_.parent_path() / (dir_.filename().string() + ".out");
  const fs::path err = dir_.parent_path() / (dir_.filename().string() + ".err");
  ToolRun run;
  run.status = Shell(command + " >" + Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null");
  run.out = ReadFile(out);
  run.err = ReadFile(err);
  fs::remove(out);
  fs::remove(err);
  return run;
}

std::string ToolTest::Source(const std::string& name) const {
  const fs::path path = dir_ / name;
  if (fs::exists(path)) return path.string();
  const ImageBuf mountain = Frame("mttam_120x80.ppm");
  const ImageBuf carrots = Frame("carrots_96x64.pfm");
  if (name == "mountain.png" || name == "mountain.jpg") Write(mountain, path, TypeDesc::UINT8);
  else if (name == "mountain16.tif") Write(mountain, path, TypeDesc::UINT16);
  else if (name == "mountain.dpx") Write(mountain, path, TypeDesc::UINT16, 10);
  else if (name == "carrots.exr") Write(carrots, path, TypeDesc::HALF);
  else if (name == "carrots.png") Write(carrots, path, TypeDesc::UINT8);
  else if (name == "grey.png") Write(Channels(mountain, {1}), path, TypeDesc::UINT8);
  else if (name == "greyalpha.png") Write(Channels(mountain, {1, 0}), path, TypeDesc::UINT8);
  else if (name == "rgba.png") Write(Channels(mountain, {0, 1, 2, -1}, {0, 0, 0, 0.8f}), path, TypeDesc::UINT8);
  else if (name == "five.exr") Write(Channels(carrots, {0, 1, 2, -1, -1}, {0, 0, 0, 1, 0}), path, TypeDesc::HALF);
  else ADD_FAILURE() << "no recipe for test image " << name;
  return path.string();
}

Pixels ToolTest::Read(const std::string& name) const {
  // Colours as stored, as the tool reads them: no premultiplication.
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  ImageBuf image((dir_ / name).string(), 0, 0, nullptr, &config);
  Pixels pixels;
  if (!image.read(0, 0, true, TypeDesc::FLOAT)) {
    ADD_FAILURE() << name << ": " << image.geterror();
    return pixels;
  }
  const OIIO::ImageSpec& header = image.nativespec();
  pixels.width = header.width;
  pixels.height = header.height;
  pixels.channels = header.nchannels;
  pixels.format = image.file_format_name();
  pixels.type = image.nativespec().format.c_str();
  pixels.bits = image.nativespec().get_int_attribute("oiio:BitsPerSample", int(image.nativespec().format.size() * 8));
  std::vector<float> samples(static_cast<std::size_t>(header.width) * header.height * header.nchannels);
  image.get_pixels(image.roi(), TypeDesc::FLOAT, samples.data());
  const int n = header.nchannels;
  for (std::size_t i = 0; i < samples.size(); i += n) {
    const bool grey = n <= 2;
    pixels.rgba.insert(pixels.rgba.end(), {samples[i], samples[i + (grey ? 0 : 1)], samples[i + (grey ? 0 : 2)],
                                           n == 2 ? samples[i + 1] : n == 4 ? samples[i + 3] : 1.0f});
  }
  return pixels;
}

std::vector<std::string> ToolTest::Listing() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(dir_)) names.push_back(entry.path().lexically_relative(dir_));
  std::sort(names.begin(), names.end());
  return names;
}

std::string ToolTest::Bytes(const std::string& name) const { return ReadFile(dir_ / name); }
