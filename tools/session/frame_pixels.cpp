#include "frame_pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <limits>
#include <optional>
#include <thread>
#include <type_traits>

#include "pf_pixels.h"
#include "pixel_packing.h"

namespace huewright {
namespace {

using OIIO::TypeDesc;

std::byte* RowOf(ImagePart& part, int y) {
  return part.pixels.data() + static_cast<std::size_t>(y) * part.image_spec.scanline_bytes();
}
const std::byte* RowOf(const ImagePart& part, int y) {
  return part.pixels.data() + static_cast<std::size_t>(y) * part.image_spec.scanline_bytes();
}

// One row of every channel as floats (integers scaled to 0.0-1.0).
void RowToFloats(const ImagePart& part, int y, std::vector<float>& floats) {
  const std::size_t count = static_cast<std::size_t>(part.image_spec.width) * part.image_spec.nchannels;
  floats.resize(count);
  OIIO::convert_pixel_values(part.image_spec.format, RowOf(part, y), TypeDesc::FLOAT, floats.data(), static_cast<int>(count));
}

template <class T>
void Quantised(const std::vector<float>& floats, void* row, double full_scale) {
  T* out = static_cast<T*>(row);
  for (std::size_t i = 0; i < floats.size(); ++i) out[i] = static_cast<T>(minihost::Quantise(floats[i], full_scale));
}

void FloatsToRow(std::vector<float>& floats, ImagePart& part, int y) {
  void* row = RowOf(part, y);
  switch (part.image_spec.format.basetype) {
    case TypeDesc::UINT8:
      return Quantised<uint8_t>(floats, row, 255.0);
    case TypeDesc::UINT16:
      return Quantised<uint16_t>(floats, row, 65535.0);
    case TypeDesc::HALF:
    case TypeDesc::FLOAT:
    case TypeDesc::DOUBLE:
      break;
    default:  // other integers: no NaN may reach the library's conversion
      for (float& value : floats)
        if (std::isnan(value)) value = 0.0f;
  }
  OIIO::convert_pixel_values(TypeDesc::FLOAT, floats.data(), part.image_spec.format, row, static_cast<int>(floats.size()));
}

// Rows in bands over the machine's cores: a single file leaves them idle
// here, and packing a 4K float frame is a pass over 260 MB. Rows are
// independent, so the bytes do not depend on the split.
void ForEachRowBand(int height, const std::function<void(int, int)>& rows) {
  const int64_t bands = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
  const auto edge = [&](int64_t band) { return static_cast<int>(height * band / bands); };
  std::vector<std::future<void>> others;  // waited for also when a band throws
  for (int64_t band = 1; band < bands; ++band) others.push_back(std::async(std::launch::async, rows, edge(band), edge(band + 1)));
  rows(0, edge(1));
  for (std::future<void>& band : others) band.get();
}

void PackThroughFloats(const SourceImage& image, minihost::World& world) {
  const ImagePart& part = image.Rendered();
  const int width = part.image_spec.width, n = part.image_spec.nchannels;
  const auto& ch = image.channels;
  ForEachRowBand(part.image_spec.height, [&](int first, int last) {
    std::vector<float> floats, rgba(static_cast<std::size_t>(width) * 4);
    for (int y = first; y < last; ++y) {
      RowToFloats(part, y, floats);
      for (int x = 0; x < width; ++x) {
        const float* in = floats.data() + static_cast<std::size_t>(x) * n;
        float* out = rgba.data() + static_cast<std::size_t>(x) * 4;
        out[0] = in[ch[0]];
        out[1] = in[ch[1]];
        out[2] = in[ch[2]];
        out[3] = ch[3] >= 0 ? in[ch[3]] : 1.0f;
      }
      PackRow(image.layout, rgba.data(), world.PixelAddress(0, y), static_cast<std::size_t>(width));
    }
  });
}

void UnpackThroughFloats(const minihost::World& world, SourceImage& image) {
  ImagePart& part = image.Rendered();
  const int width = part.image_spec.width, n = part.image_spec.nchannels;
  const auto& ch = image.channels;
  ForEachRowBand(part.image_spec.height, [&](int first, int last) {
    std::vector<float> floats, rgba(static_cast<std::size_t>(width) * 4);
    for (int y = first; y < last; ++y) {
      UnpackRow(world.Layout(), world.PixelAddress(0, y), rgba.data(), static_cast<std::size_t>(width));
      RowToFloats(part, y, floats);
      for (int x = 0; x < width; ++x) {
        const float* in = rgba.data() + static_cast<std::size_t>(x) * 4;
        float* out = floats.data() + static_cast<std::size_t>(x) * n;
        out[ch[0]] = in[0];
        out[ch[1]] = in[1];
        out[ch[2]] = in[2];
        if (ch[3] >= 0) out[ch[3]] = in[3];
      }
      FloatsToRow(floats, part, y);
    }
  });
}

// Integer samples and an integer world: every channel converts on its own,
// so one table per direction, filled through the float conversions above,
// gives the same values without a float and a rounding per sample (which
// cost more than the effect's whole render of an 8-bit frame).
template <class Sample, class Pixel>
struct ChannelTables {
  using Channel = decltype(Pixel::red);
  static_assert(std::is_same_v<Channel, decltype(Pixel::alpha)>);

  explicit ChannelTables(PixelLayout layout) {
    constexpr int kSamples = std::numeric_limits<Sample>::max() + 1;
    constexpr int kChannels = std::numeric_limits<Channel>::max() + 1;
    const TypeDesc sample_type = OIIO::BaseTypeFromC<Sample>::value;

    // Every sample value through RowToFloats and PackRow, then opaque white.
    ImagePart samples{OIIO::ImageSpec(kSamples, 1, 1, sample_type), std::vector<std::byte>(kSamples * sizeof(Sample))};
    for (int i = 0; i < kSamples; ++i) {
      const Sample value = static_cast<Sample>(i);
      std::memcpy(&samples.pixels[static_cast<std::size_t>(i) * sizeof(Sample)], &value, sizeof value);
    }
    std::vector<float> floats;
    RowToFloats(samples, 0, floats);
    std::vector<float> rgba(4 * (kSamples + 1), 1.0f);
    for (int i = 0; i < kSamples; ++i) std::fill_n(&rgba[4 * static_cast<std::size_t>(i)], 4, floats[static_cast<std::size_t>(i)]);
    minihost::World packed(layout, kSamples + 1, 1);
    PackRow(layout, rgba.data(), packed.PixelAddress(0, 0), kSamples + 1);
    to_world.resize(kSamples);
    for (int i = 0; i < kSamples; ++i) to_world[static_cast<std::size_t>(i)] = packed.At<Pixel>(i, 0).red;
    opaque = packed.At<Pixel>(kSamples, 0).alpha;

    // Every channel value through UnpackRow and FloatsToRow.
    minihost::World channels(layout, kChannels, 1);
    for (int i = 0; i < kChannels; ++i) {
      const Channel value = static_cast<Channel>(i);
      channels.At<Pixel>(i, 0) = Pixel{value, value, value, value};
    }
    rgba.resize(4 * static_cast<std::size_t>(kChannels));
    UnpackRow(layout, channels.PixelAddress(0, 0), rgba.data(), kChannels);
    floats.resize(kChannels);
    for (int i = 0; i < kChannels; ++i) floats[static_cast<std::size_t>(i)] = rgba[4 * static_cast<std::size_t>(i)];
    ImagePart unpacked{OIIO::ImageSpec(kChannels, 1, 1, sample_type), std::vector<std::byte>(kChannels * sizeof(Sample))};
    FloatsToRow(floats, unpacked, 0);
    to_sample.resize(kChannels);
    std::memcpy(to_sample.data(), unpacked.pixels.data(), unpacked.pixels.size());
  }

  std::vector<Channel> to_world;  // by sample value
  std::vector<Sample> to_sample;  // by channel value
  Channel opaque;                 // a missing alpha
};

template <class Sample, class Pixel>
void PackThroughTables(const SourceImage& image, minihost::World& world) {
  const ChannelTables<Sample, Pixel> tables(image.layout);
  const ImagePart& part = image.Rendered();
  const std::size_t width = static_cast<std::size_t>(part.image_spec.width);
  const std::size_t n = static_cast<std::size_t>(part.image_spec.nchannels);
  const int r = image.channels[0], g = image.channels[1], b = image.channels[2], a = image.channels[3];
  ForEachRowBand(part.image_spec.height, [&](int first, int last) {
    std::vector<Sample> samples(width * n);
    for (int y = first; y < last; ++y) {
      std::memcpy(samples.data(), RowOf(part, y), samples.size() * sizeof(Sample));
      Pixel* out = reinterpret_cast<Pixel*>(world.PixelAddress(0, y));
      for (std::size_t x = 0; x < width; ++x) {
        const Sample* in = &samples[x * n];
        out[x].red = tables.to_world[in[r]];
        out[x].green = tables.to_world[in[g]];
        out[x].blue = tables.to_world[in[b]];
        out[x].alpha = a >= 0 ? tables.to_world[in[a]] : tables.opaque;
      }
    }
  });
}

template <class Sample, class Pixel>
void UnpackThroughTables(const minihost::World& world, SourceImage& image) {
  const ChannelTables<Sample, Pixel> tables(image.layout);
  ImagePart& part = image.Rendered();
  const std::size_t width = static_cast<std::size_t>(part.image_spec.width);
  const std::size_t n = static_cast<std::size_t>(part.image_spec.nchannels);
  const int r = image.channels[0], g = image.channels[1], b = image.channels[2], a = image.channels[3];
  ForEachRowBand(part.image_spec.height, [&](int first, int last) {
    std::vector<Sample> samples(width * n);
    for (int y = first; y < last; ++y) {
      std::memcpy(samples.data(), RowOf(part, y), samples.size() * sizeof(Sample));
      const Pixel* in = reinterpret_cast<const Pixel*>(world.PixelAddress(0, y));
      for (std::size_t x = 0; x < width; ++x) {
        Sample* out = &samples[x * n];
        out[r] = tables.to_sample[in[x].red];
        out[g] = tables.to_sample[in[x].green];
        out[b] = tables.to_sample[in[x].blue];
        if (a >= 0) out[a] = tables.to_sample[in[x].alpha];
      }
      std::memcpy(RowOf(part, y), samples.data(), samples.size() * sizeof(Sample));
    }
  });
}

// The table walks of integer samples in an integer world.
struct TablePath {
  void (*pack)(const SourceImage&, minihost::World&);
  void (*unpack)(const minihost::World&, SourceImage&);
};

template <class Sample>
std::optional<TablePath> TablePathFor(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::kArgb8:
      return TablePath{PackThroughTables<Sample, PF_Pixel8>, UnpackThroughTables<Sample, PF_Pixel8>};
    case PixelLayout::kBgra8:
      return TablePath{PackThroughTables<Sample, PF_Pixel_BGRA_8u>, UnpackThroughTables<Sample, PF_Pixel_BGRA_8u>};
    case PixelLayout::kArgb16:
      return TablePath{PackThroughTables<Sample, PF_Pixel16>, UnpackThroughTables<Sample, PF_Pixel16>};
    default:
      return std::nullopt;
  }
}

std::optional<TablePath> TablePathOf(const ImagePart& part, PixelLayout layout) {
  if (part.image_spec.format == TypeDesc::UINT8) return TablePathFor<uint8_t>(layout);
  if (part.image_spec.format == TypeDesc::UINT16) return TablePathFor<uint16_t>(layout);
  return std::nullopt;
}

// No channel of the rendered part passes through: the output replaces them all.
bool EffectWritesEveryChannel(const SourceImage& image) {
  const int count = image.Rendered().image_spec.nchannels;
  std::vector<bool> written(static_cast<std::size_t>(count), false);
  for (int c : image.channels)
    if (c >= 0 && c < count) written[static_cast<std::size_t>(c)] = true;
  return std::find(written.begin(), written.end(), false) == written.end();
}

}  // namespace

minihost::World PackFrame(const SourceImage& image) {
  minihost::World world(image.layout, image.Width(), image.Height());
  if (const std::optional<TablePath> tables = TablePathOf(image.Rendered(), image.layout))
    tables->pack(image, world);
  else
    PackThroughFloats(image, world);
  return world;
}

void UnpackFrame(const minihost::World& world, SourceImage& image) {
  ImagePart& part = image.Rendered();
  if (part.pixels.empty()) part.pixels.resize(part.image_spec.image_bytes());
  if (const std::optional<TablePath> tables = TablePathOf(part, world.Layout()))
    tables->unpack(world, image);
  else
    UnpackThroughFloats(world, image);
}

void ReleaseRenderedSamples(SourceImage& image) {
  if (EffectWritesEveryChannel(image)) image.Rendered().pixels = std::vector<std::byte>();  // frees, unlike clear()
}

}  // namespace huewright
