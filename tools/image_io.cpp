#include "image_io.h"

#include <OpenImageIO/imageio.h>

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "atomic_file.h"
#include "layout_convert.h"
#include "tool_error.h"

namespace huewright {
namespace {

namespace fs = std::filesystem;
using OIIO::TypeDesc;

// OpenImageIO's last error, or a fallback when it has none to say.
// Several lines become one: "first; second".
std::string Reason(std::string message, const char* fallback) {
  while (!message.empty() && message.back() == '\n') message.pop_back();
  for (std::size_t at = message.find('\n'); at != std::string::npos; at = message.find('\n', at))
    message.replace(at, 1, "; ");
  return message.empty() ? fallback : message;
}

void CheckReadable(const std::string& path) {
  std::error_code error;
  if (!fs::exists(path, error)) throw ToolError(path, "no such file");
  if (fs::is_directory(path, error)) throw ToolError(path, "is a directory, not an image");
}

SampleType SampleTypeOf(const TypeDesc& format) {
  switch (format.basetype) {
    case TypeDesc::UINT8:
      return SampleType::UInt8;
    case TypeDesc::UINT16:
      return SampleType::UInt16;
    case TypeDesc::HALF:
      return SampleType::Half;
    default:
      return SampleType::Float;
  }
}

bool IsIntegerType(const TypeDesc& format) {
  return format.basetype != TypeDesc::HALF && format.basetype != TypeDesc::FLOAT &&
         format.basetype != TypeDesc::DOUBLE;
}

// Grey, grey+alpha, RGB and RGBA become RGBA; missing alpha is opaque.
void ExpandToRgba(const std::vector<float>& samples, int channels, RgbaImage& image) {
  const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
  image.pixels.resize(count * 4);
  for (std::size_t i = 0; i < count; ++i) {
    const float* in = samples.data() + i * channels;
    float* out = image.pixels.data() + i * 4;
    const bool grey = channels <= 2;
    out[0] = in[0];
    out[1] = grey ? in[0] : in[1];
    out[2] = grey ? in[0] : in[2];
    out[3] = channels == 2 ? in[1] : channels == 4 ? in[3] : 1.0f;
  }
}

TypeDesc TypeDescOf(SampleType type) {
  switch (type) {
    case SampleType::UInt8:
      return TypeDesc::UINT8;
    case SampleType::UInt16:
      return TypeDesc::UINT16;
    case SampleType::Half:
      return TypeDesc::HALF;
    case SampleType::Float:
      return TypeDesc::FLOAT;
  }
  return TypeDesc::FLOAT;
}

// Integer files get samples we quantise ourselves: OpenImageIO's own
// conversion does not promise anything for NaN, which a float render can
// produce.
template <class T>
std::vector<T> QuantisedSamples(const RgbaImage& image, int channels, double full_scale) {
  std::vector<T> samples;
  samples.reserve(static_cast<std::size_t>(image.width) * image.height * channels);
  for (std::size_t i = 0; i < image.pixels.size(); i += 4)
    for (int c = 0; c < channels; ++c) samples.push_back(static_cast<T>(Quantise(image.pixels[i + c], full_scale)));
  return samples;
}

OIIO::ImageSpec OutputSpec(const RgbaImage& image, const ImageFile& source, SampleType type, int channels) {
  OIIO::ImageSpec header(image.width, image.height, channels, TypeDescOf(type));
  header.channelnames = {"R", "G", "B"};
  if (channels == 4) header.channelnames.push_back("A");
  header.alpha_channel = channels == 4 ? 3 : -1;
  // Colour values pass through untouched: no premultiplication on the way.
  header.attribute("oiio:UnassociatedAlpha", 1);
  if (type == source.sample_type && source.samples.integer)
    header.attribute("oiio:BitsPerSample", source.samples.bits);
  return header;
}

bool WritePixels(OIIO::ImageOutput& out, const RgbaImage& image, SampleType type, int channels) {
  if (type == SampleType::UInt8)
    return out.write_image(TypeDesc::UINT8, QuantisedSamples<uint8_t>(image, channels, 255.0).data());
  if (type == SampleType::UInt16)
    return out.write_image(TypeDesc::UINT16, QuantisedSamples<uint16_t>(image, channels, 65535.0).data());
  const OIIO::stride_t pixel_stride = 4 * sizeof(float);
  return out.write_image(TypeDesc::FLOAT, image.pixels.data(), pixel_stride, pixel_stride * image.width);
}

// The names --out-type accepts, which are also the names messages show.
struct SampleTypeEntry {
  SampleType type;
  std::string_view name;
};
constexpr SampleTypeEntry kSampleTypes[] = {{SampleType::UInt8, "uint8"},
                                            {SampleType::UInt16, "uint16"},
                                            {SampleType::Half, "half"},
                                            {SampleType::Float, "float"}};

}  // namespace

std::optional<SampleType> ParseSampleType(std::string_view text) {
  for (const SampleTypeEntry& entry : kSampleTypes)
    if (entry.name == text) return entry.type;
  return std::nullopt;
}

std::string_view SampleTypeName(SampleType type) {
  for (const SampleTypeEntry& entry : kSampleTypes)
    if (entry.type == type) return entry.name;
  return "?";
}

ImageFile ReadImage(const std::string& path) {
  CheckReadable(path);
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path, &config);
  if (!in) throw ToolError(path, "cannot read: " + Reason(OIIO::geterror(), "not an image file OpenImageIO can read"));
  const OIIO::ImageSpec& header = in->spec();
  if (header.deep) throw ToolError(path, "deep images are not supported");
  if (header.nchannels < 1 || header.nchannels > 4)
    throw ToolError(path, "unsupported channel layout: " + std::to_string(header.nchannels) +
                              " channels (grey, grey+alpha, RGB or RGBA expected)");
  if (header.width <= 0 || header.height <= 0 || header.depth != 1) throw ToolError(path, "not a 2D image");

  ImageFile file;
  file.format = in->format_name();
  file.sample_type = SampleTypeOf(header.format);
  file.samples.integer = IsIntegerType(header.format);
  file.samples.bits = header.get_int_attribute("oiio:BitsPerSample", static_cast<int>(header.format.size() * 8));
  file.has_alpha = header.nchannels == 2 || header.nchannels == 4;
  file.image.width = header.width;
  file.image.height = header.height;

  std::vector<float> samples;
  try {
    samples.resize(static_cast<std::size_t>(header.width) * header.height * header.nchannels);
    file.image.pixels.reserve(static_cast<std::size_t>(header.width) * header.height * 4);
  } catch (const std::bad_alloc&) {
    throw ToolError(path, "too large to hold in memory (" + std::to_string(header.width) + " x " +
                              std::to_string(header.height) + ")");
  }
  const bool read = in->read_image(0, 0, 0, header.nchannels, TypeDesc::FLOAT, samples.data());
  if (!read || in->has_error())
    throw ToolError(path, "damaged or truncated image: " + Reason(in->geterror(), "the pixels cannot be read"));
  in->close();
  ExpandToRgba(samples, header.nchannels, file.image);
  return file;
}

void WriteImage(const std::string& path, const RgbaImage& image, const ImageFile& source,
                const WriteSettings& settings) {
  auto out = OIIO::ImageOutput::create(path);
  if (!out) throw ToolError(path, Reason(OIIO::geterror(), "no image format is known for this file name"));
  int channels = source.has_alpha ? 4 : 3;
  if (channels == 4 && !out->supports("alpha")) channels = 3;
  const SampleType type = settings.sample_type.value_or(source.sample_type);

  AtomicFile file(path);
  const OIIO::ImageSpec header = OutputSpec(image, source, type, channels);
  const bool written = out->open(file.TempPath(), header) && WritePixels(*out, image, type, channels) && out->close();
  if (!written) throw ToolError(path, "cannot write: " + Reason(out->geterror(), "the writer failed"));
  file.Commit(!settings.no_clobber);
}

}  // namespace huewright
