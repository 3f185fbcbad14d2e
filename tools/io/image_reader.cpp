// Reading a frame: every part of the file as stored, the channels the
// effect sees, the world it renders in, and the memory that needs.
#include <OpenImageIO/imagebuf.h>
#include <OpenImageIO/imagebufalgo.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "image_file.h"
#include "jpeg_quality.h"
#include "openimageio_error.h"
#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;
using OIIO::TypeDesc;

void CheckReadable(const std::string& path) {
  std::error_code error;
  if (!fs::exists(path, error)) throw ToolError(path, "no such file");
  if (fs::is_directory(path, error)) throw ToolError(path, "is a directory, not an image");
  if (access(path.c_str(), R_OK) != 0) throw ToolError(path, "permission denied");
}

int FindChannel(const OIIO::ImageSpec& image_spec, const std::string& name) {
  for (int c = 0; c < image_spec.nchannels; ++c)
    if (image_spec.channel_name(c) == name) return c;
  return -1;
}

int FindAlpha(const OIIO::ImageSpec& image_spec, const std::string& prefix) {
  for (const char* name : {"A", "a", "Alpha", "alpha"})
    if (const int c = FindChannel(image_spec, prefix + name); c >= 0) return c;
  return -1;
}

struct Choice {
  int part = -1;
  std::array<int, 4> channels{-1, -1, -1, -1};
  bool grey = false;
};

// R, G and B (and A) under `prefix` ("" or "diffuse."), in any part.
Choice ByName(const std::vector<OIIO::ImageSpec>& specs, const std::string& prefix) {
  for (std::size_t p = 0; p < specs.size(); ++p) {
    const OIIO::ImageSpec& s = specs[p];
    const int r = FindChannel(s, prefix + "R"), g = FindChannel(s, prefix + "G"), b = FindChannel(s, prefix + "B");
    if (r >= 0 && g >= 0 && b >= 0) return {static_cast<int>(p), {r, g, b, FindAlpha(s, prefix)}, false};
  }
  return {};
}

// Files of one to four unnamed channels: grey, grey+alpha, RGB, RGBA.
Choice ByPosition(const OIIO::ImageSpec& s) {
  switch (s.nchannels) {
    case 1:
      return {0, {0, 0, 0, -1}, true};
    case 2:
      return {0, {0, 0, 0, 1}, true};
    case 3:
      return {0, {0, 1, 2, -1}, false};
    case 4:
      return {0, {0, 1, 2, 3}, false};
  }
  return {};
}

std::string LayerNames(const std::vector<OIIO::ImageSpec>& specs) {
  std::set<std::string> layers;
  for (const OIIO::ImageSpec& s : specs) {
    for (int c = 0; c < s.nchannels; ++c) {
      const std::string name = s.channel_name(c);
      const std::size_t dot = name.rfind('.');
      if (dot != std::string::npos && name.substr(dot + 1) == "R") layers.insert(name.substr(0, dot));
    }
    const std::string part = s.get_string_attribute("oiio:subimagename");
    if (!part.empty() && FindChannel(s, "R") >= 0) layers.insert(part);
  }
  std::string list;
  for (const std::string& layer : layers) list += (list.empty() ? "" : ", ") + layer;
  return list.empty() ? "none" : list;
}

Choice ChooseChannels(const std::string& path, const std::vector<OIIO::ImageSpec>& specs, const std::string& layer) {
  if (!layer.empty()) {
    if (Choice c = ByName(specs, layer + "."); c.part >= 0) return c;
    for (std::size_t p = 0; p < specs.size(); ++p)
      if (specs[p].get_string_attribute("oiio:subimagename") == layer)
        if (Choice c = ByName({specs[p]}, ""); c.part >= 0) return {static_cast<int>(p), c.channels, false};
    throw ToolError(path, "no layer '" + layer + "' with R, G and B channels (layers: " + LayerNames(specs) + ")");
  }
  if (Choice c = ByName(specs, ""); c.part >= 0) return c;
  if (specs[0].nchannels <= 2 && FindChannel(specs[0], "Y") >= 0) {
    const int y = FindChannel(specs[0], "Y");
    return {0, {y, y, y, FindAlpha(specs[0], "")}, true};
  }
  if (Choice c = ByPosition(specs[0]); c.part >= 0) return c;
  throw ToolError(path, "no R, G and B channels to render; pick a layer with --layer NAME (layers: " +
                            LayerNames(specs) + ")");
}

SampleFacts FactsOf(const OIIO::ImageSpec& image_spec, const std::array<int, 4>& channels) {
  SampleFacts facts{true, 0};
  for (int c : channels) {
    if (c < 0) continue;
    const TypeDesc type = image_spec.channelformat(c);
    facts.integer = facts.integer && type.basetype != TypeDesc::HALF && type.basetype != TypeDesc::FLOAT &&
                    type.basetype != TypeDesc::DOUBLE;
    facts.bits = std::max(facts.bits, static_cast<int>(type.size() * 8));
  }
  facts.bits = image_spec.get_int_attribute("oiio:BitsPerSample", facts.bits);
  return facts;
}

std::size_t AvailableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  std::size_t kilobytes = 0;
  while (meminfo >> key >> kilobytes)
    if (key == "MemAvailable:") return kilobytes * 1024;
  return static_cast<std::size_t>(sysconf(_SC_PHYS_PAGES)) * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

std::string Gigabytes(double bytes) {
  std::ostringstream text;
  text.precision(2);
  text << std::fixed << bytes / (1024.0 * 1024 * 1024) << " GB";
  return text.str();
}

// One frame in flight needs its parts, the host's input and output worlds
// and, when it is turned upright, a second copy of the part it renders.
void CheckMemory(const std::string& path, const std::vector<OIIO::ImageSpec>& specs, const Choice& choice,
                 PixelLayout layout, bool reorients) {
  const OIIO::ImageSpec& rendered = specs[static_cast<std::size_t>(choice.part)];
  const double pixels = static_cast<double>(rendered.width) * rendered.height;
  const double world = pixels * static_cast<double>(minihost::PixelBytes(layout));
  double need = 2 * world + (reorients ? static_cast<double>(rendered.image_bytes()) : 0.0);
  for (const OIIO::ImageSpec& s : specs) need += static_cast<double>(s.image_bytes());
  const std::string size = std::to_string(rendered.width) + " x " + std::to_string(rendered.height);
  if (world > static_cast<double>(minihost::World::kMaxPixelBytes))
    throw ToolError(path, "image too large: " + size + " needs " + Gigabytes(world) + " per host world (" +
                              std::string(LayoutDescription(layout)) + "; the host's worlds hold at most " +
                              Gigabytes(static_cast<double>(minihost::World::kMaxPixelBytes)) + ")");
  if (need > static_cast<double>(AvailableMemory()))
    throw ToolError(path, "image too large: " + size + " needs " + Gigabytes(need) + ", " +
                              Gigabytes(static_cast<double>(AvailableMemory())) + " of memory available");
}

// A grey part gets R, G and B from its grey channel in front of its other
// channels, so that the effect's colours have somewhere to go.
void ExpandGrey(ImagePart& part, Choice& choice) {
  const OIIO::ImageSpec& old = part.image_spec;
  const int grey = choice.channels[0];
  std::vector<int> order = {grey, grey, grey};
  for (int c = 0; c < old.nchannels; ++c)
    if (c != grey) order.push_back(c);
  OIIO::ImageSpec image_spec = old;
  image_spec.nchannels = static_cast<int>(order.size());
  image_spec.channelnames = {"R", "G", "B"};
  image_spec.channelformats.clear();
  for (std::size_t i = 3; i < order.size(); ++i) image_spec.channelnames.push_back(old.channel_name(order[i]));
  image_spec.alpha_channel = -1;
  for (int c = 3; c < image_spec.nchannels; ++c)
    if (order[static_cast<std::size_t>(c)] == choice.channels[3]) image_spec.alpha_channel = c;
  const std::size_t size = old.format.size();
  const std::size_t count = static_cast<std::size_t>(old.width) * old.height;
  std::vector<std::byte> pixels(count * order.size() * size);
  for (std::size_t i = 0; i < count; ++i)
    for (std::size_t c = 0; c < order.size(); ++c)
      std::memcpy(&pixels[(i * order.size() + c) * size],
                  &part.pixels[(i * static_cast<std::size_t>(old.nchannels) + static_cast<std::size_t>(order[c])) * size],
                  size);
  part.image_spec = image_spec;
  part.pixels = std::move(pixels);
  choice.channels = {0, 1, 2, image_spec.alpha_channel};
  choice.grey = false;
}

// Turns a part upright as its orientation says, and marks it upright.
void Reorient(ImagePart& part) {
  OIIO::ImageBuf stored(part.image_spec, part.pixels.data());
  OIIO::ImageBuf upright = OIIO::ImageBufAlgo::reorient(stored);
  if (upright.has_error()) throw std::runtime_error(upright.geterror());
  OIIO::ImageSpec image_spec = upright.spec();
  image_spec.attribute("Orientation", 1);
  std::vector<std::byte> pixels(image_spec.image_bytes());
  upright.get_pixels(upright.roi(), image_spec.format, pixels.data());
  part.image_spec = image_spec;
  part.pixels = std::move(pixels);
}

}  // namespace

std::optional<int> MovieFrameCount(const std::string& path) {
  if (!IsMovieFile(path)) return std::nullopt;
  return MovieReader(path).CountFrames();
}

FrameReader::FrameReader() = default;
FrameReader::~FrameReader() = default;

OIIO::ImageInput* FrameReader::Open(const std::string& path) {
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  input_ = OIIO::ImageInput::open(path, &config);
  if (!input_) throw ToolError(path, "cannot read: " + Reason(OIIO::geterror(), "not an image file OpenImageIO can read"));
  return input_.get();
}

// The headers of every part of an image file, or of a movie's frames.
std::vector<OIIO::ImageSpec> FrameReader::Headers(const std::string& path) {
  if (movie_ && movie_path_ == path) return {movie_->ImageHeader()};
  movie_.reset();
  movie_path_.clear();
  if (IsMovieFile(path)) {
    movie_ = std::make_unique<MovieReader>(path);
    movie_path_ = path;
    return {movie_->ImageHeader()};
  }
  OIIO::ImageInput* in = Open(path);
  std::vector<OIIO::ImageSpec> specs;
  for (int s = 0; in->seek_subimage(s, 0); ++s) specs.push_back(in->spec());
  (void)in->geterror();  // the seek past the last part is expected to fail
  return specs;
}

std::vector<ImagePart> FrameReader::ReadParts(const std::string& path, int movie_frame,
                                              const std::vector<OIIO::ImageSpec>& specs, bool keep_orientation) {
  std::vector<ImagePart> parts;
  if (movie_) {
    ImagePart part{specs[0], {}};
    if (!movie_->ReadFrame(movie_frame, part.pixels))
      throw ToolError(path, "frame " + std::to_string(movie_frame + 1) + " cannot be read: the movie ends before it");
    parts.push_back(std::move(part));
    return parts;
  }
  for (std::size_t i = 0; i < specs.size(); ++i) {
    ImagePart part{specs[i], std::vector<std::byte>(specs[i].image_bytes())};
    const bool read = input_->read_image(static_cast<int>(i), 0, 0, part.image_spec.nchannels, part.image_spec.format,
                                         part.pixels.data());
    if (!read || input_->has_error())
      throw ToolError(path, "damaged or truncated image: " + Reason(input_->geterror(), "the pixels cannot be read"));
    if (!keep_orientation && part.image_spec.get_int_attribute("Orientation", 1) != 1) Reorient(part);
    parts.push_back(std::move(part));
  }
  input_.reset();
  return parts;
}

SourceImage FrameReader::Read(const std::string& path, int movie_frame, const ReadSettings& settings) {
  if (movie_path_ != path) CheckReadable(path);
  const std::vector<OIIO::ImageSpec> specs = Headers(path);
  SourceImage image;
  image.path = path;
  image.movie = movie_ != nullptr;
  image.format = image.movie ? "FFmpeg movie" : input_->format_name();
  if (image.format == "jpeg") image.jpeg_quality = JpegQuality(path);
  if (specs.empty()) throw ToolError(path, "no image in the file");
  for (const OIIO::ImageSpec& s : specs) {
    if (s.deep) throw ToolError(path, "deep images are not supported");
    if (s.width <= 0 || s.height <= 0 || s.depth != 1) throw ToolError(path, "not a 2D image");
  }
  Choice choice = ChooseChannels(path, specs, settings.layer);
  const OIIO::ImageSpec& chosen = specs[static_cast<std::size_t>(choice.part)];
  image.samples = FactsOf(chosen, choice.channels);
  image.layout = ChooseLayout(settings.premiere, settings.layout, image.samples);
  const bool reorients = !settings.keep_orientation && chosen.get_int_attribute("Orientation", 1) != 1;
  CheckMemory(path, specs, choice, image.layout, reorients);
  image.parts = ReadParts(path, movie_frame, specs, settings.keep_orientation);
  image.part = choice.part;
  if (choice.grey) ExpandGrey(image.Rendered(), choice);
  image.channels = choice.channels;
  return image;
}

}  // namespace huewright
