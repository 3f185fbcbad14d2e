// Writing, and what reading and writing share.
#include "image_file.h"

#include <OpenImageIO/imageio.h>

#include <optional>

#include "atomic_file.h"
#include "movie_reader.h"
#include "openimageio_error.h"
#include "recording_output.h"
#include "tool_error.h"

namespace huewright {
namespace {

using OIIO::TypeDesc;

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

// The names --out-type accepts, which are also the names messages show.
struct SampleTypeEntry {
  SampleType type;
  std::string_view name;
};
constexpr SampleTypeEntry kSampleTypes[] = {{SampleType::UInt8, "uint8"},
                                            {SampleType::UInt16, "uint16"},
                                            {SampleType::Half, "half"},
                                            {SampleType::Float, "float"}};

// The header as read, with what the command line changes. A format that
// cannot hold tiles gets scanlines, as oiiotool does.
OIIO::ImageSpec OutputSpec(const OIIO::ImageSpec& read, const WriteSettings& settings, OIIO::ImageOutput& out) {
  OIIO::ImageSpec header = read;
  if (settings.sample_type) {
    header.set_format(TypeDescOf(*settings.sample_type));
    header.channelformats.clear();
    header.erase_attribute("oiio:BitsPerSample");
  }
  if (!settings.compression.empty()) header.attribute("compression", settings.compression);
  if (!out.supports("tiles")) header.tile_width = header.tile_height = header.tile_depth = 0;
  // Colour values pass through untouched: no premultiplication on the way.
  header.attribute("oiio:UnassociatedAlpha", 1);
  return header;
}

}  // namespace

std::string Reason(std::string message, const char* fallback) {
  while (!message.empty() && message.back() == '\n') message.pop_back();
  for (std::size_t at = message.find('\n'); at != std::string::npos; at = message.find('\n', at))
    message.replace(at, 1, "; ");
  return message.empty() ? fallback : message;
}

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

void ConvertRenderedPart(SourceImage& image, SampleType type) {
  ImagePart& part = image.Rendered();
  const TypeDesc target = TypeDescOf(type);
  if (part.image_spec.format == target && part.image_spec.channelformats.empty()) return;
  OIIO::ImageSpec image_spec = part.image_spec;
  image_spec.set_format(target);
  image_spec.channelformats.clear();
  image_spec.erase_attribute("oiio:BitsPerSample");
  if (part.pixels.empty()) {  // released while rendering: every sample is still to come
    part.image_spec = image_spec;
    return;
  }
  std::vector<std::byte> pixels(image_spec.image_bytes());
  const int row_samples = image_spec.width * image_spec.nchannels;
  for (int y = 0; y < image_spec.height; ++y)  // a row at a time: a whole frame's count may not fit an int
    if (!OIIO::convert_pixel_values(part.image_spec.format, part.pixels.data() + y * part.image_spec.scanline_bytes(), target,
                                    pixels.data() + y * image_spec.scanline_bytes(), row_samples))
      throw ToolError(image.path, "cannot convert the samples to " + std::string(SampleTypeName(type)));
  part.image_spec = image_spec;
  part.pixels = std::move(pixels);
}

void CheckWritableFormat(const std::string& path) {
  if (IsMovieName(path))
    throw ToolError(path, "huewright writes image sequences, not movies: write a pattern such as out.%04d.png, "
                          "then encode it (e.g. ffmpeg -framerate 24 -i out.%04d.png out.mp4)");
  if (!OIIO::ImageOutput::create(path))
    throw ToolError(path, Reason(OIIO::geterror(), "no image format is known for this file name"));
}

void WriteImage(const std::string& path, const SourceImage& image, const WriteSettings& settings) {
  auto out = OIIO::ImageOutput::create(path);
  if (!out) throw ToolError(path, Reason(OIIO::geterror(), "no image format is known for this file name"));
  const int count = static_cast<int>(image.parts.size());
  if (count > 1 && !out->supports("multiimage"))
    throw ToolError(path, "the input has " + std::to_string(count) + " parts and " + out->format_name() +
                              " holds one; write to a format that holds several (.exr, .tif)");
  std::vector<OIIO::ImageSpec> headers;
  for (const ImagePart& part : image.parts) headers.push_back(OutputSpec(part.image_spec, settings, *out));
  // A JPEG keeps its quality (OpenImageIO would write 98); its subsampling
  // comes with the header.
  if (settings.compression.empty() && image.jpeg_quality && out->format_name() == std::string_view("jpeg"))
    headers[0].attribute("compression", "jpeg:" + std::to_string(*image.jpeg_quality));

  AtomicFile file(path);
  std::optional<RecordingOutput> proxy;
  if (WritesThroughProxy(*out)) {
    proxy.emplace(file.TempPath(), path);
    for (OIIO::ImageSpec& header : headers) proxy->AttachTo(header);
  }
  bool written = count == 1 ? out->open(file.TempPath(), headers[0]) : out->open(file.TempPath(), count, headers.data());
  for (int i = 0; written && i < count; ++i) {
    const ImagePart& part = image.parts[static_cast<std::size_t>(i)];
    if (i > 0) written = out->open(file.TempPath(), headers[static_cast<std::size_t>(i)], OIIO::ImageOutput::AppendSubimage);
    written = written && out->write_image(part.image_spec.format, part.pixels.data());
  }
  written = written && out->close();
  if (proxy) proxy->Finish();  // the system's reason comes first: it is why the writer failed
  if (!written) throw ToolError(path, "cannot write: " + file.InUserTerms(Reason(out->geterror(), "the writer failed")));
  file.Commit(!settings.no_clobber);
}

}  // namespace huewright
