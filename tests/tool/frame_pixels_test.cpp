// Frames between the file's samples and the host's worlds.
#include <gtest/gtest.h>

#include <cstring>

#include "frame_pixels.h"

namespace huewright {
namespace {

using OIIO::TypeDesc;

SourceImage Frame(TypeDesc type, PixelLayout layout, int width, int channels) {
  SourceImage image;
  const OIIO::ImageSpec image_spec(width, 1, channels, type);
  image.parts.push_back({image_spec, std::vector<std::byte>(image_spec.image_bytes())});
  image.channels = {0, 1, 2, 3};
  image.layout = layout;
  return image;
}

// Integer samples of `size` bytes, read and written whatever their type.
unsigned Get(const std::byte* samples, std::size_t size, std::size_t i) {
  uint16_t value16 = 0;
  uint8_t value8 = 0;
  if (size == 1) return std::memcpy(&value8, samples + i, 1), value8;
  return std::memcpy(&value16, samples + 2 * i, 2), value16;
}
void Set(std::byte* samples, std::size_t size, std::size_t i, unsigned value) {
  const uint16_t value16 = static_cast<uint16_t>(value);
  const uint8_t value8 = static_cast<uint8_t>(value);
  if (size == 1) std::memcpy(samples + i, &value8, 1);
  else std::memcpy(samples + 2 * i, &value16, 2);
}

// Every value in every channel, shifted per channel so that a swap shows.
void FillEveryValue(std::byte* samples, std::size_t size, std::size_t pixels) {
  const unsigned values = size == 1 ? 256 : 65536;
  for (std::size_t i = 0; i < pixels * 4; ++i) Set(samples, size, i, static_cast<unsigned>(i / 4 + (i % 4) * 101) % values);
}

// Integer frames take a path of their own; it must give what OpenImageIO's
// conversion to float and minihost's packing give, and back, for every
// sample value and every channel value.
TEST(FramePixels, IntegerFramesMatchTheFloatPath) {
  for (const TypeDesc type : {TypeDesc::UINT8, TypeDesc::UINT16}) {
    for (const PixelLayout layout : {PixelLayout::kArgb8, PixelLayout::kBgra8, PixelLayout::kArgb16}) {
      SCOPED_TRACE(std::string(type.c_str()) + " in " + std::string(LayoutDescription(layout)));
      const int samples = type == TypeDesc::UINT8 ? 256 : 65536;
      SourceImage image = Frame(type, layout, samples, 4);
      FillEveryValue(image.Rendered().pixels.data(), type.size(), static_cast<std::size_t>(samples));
      std::vector<float> rgba(4 * static_cast<std::size_t>(samples));
      OIIO::convert_pixel_values(type, image.Rendered().pixels.data(), TypeDesc::FLOAT, rgba.data(), 4 * samples);
      minihost::World expected(layout, samples, 1);
      PackRow(layout, rgba.data(), expected.PixelAddress(0, 0), static_cast<std::size_t>(samples));
      EXPECT_TRUE(PackFrame(image).SamePixels(expected));

      const int channel_values = IsEightBitLayout(layout) ? 256 : 65536;
      const std::size_t channel_size = IsEightBitLayout(layout) ? 1 : 2;
      minihost::World world(layout, channel_values, 1);
      FillEveryValue(reinterpret_cast<std::byte*>(world.PixelAddress(0, 0)), channel_size,
                     static_cast<std::size_t>(channel_values));
      SourceImage unpacked = Frame(type, layout, channel_values, 4);
      UnpackFrame(world, unpacked);
      rgba.resize(4 * static_cast<std::size_t>(channel_values));
      UnpackRow(layout, world.PixelAddress(0, 0), rgba.data(), static_cast<std::size_t>(channel_values));
      int wrong = 0;
      for (std::size_t i = 0; i < rgba.size(); ++i)
        wrong += Get(unpacked.Rendered().pixels.data(), type.size(), i) !=
                 minihost::Quantise(rgba[i], type == TypeDesc::UINT8 ? 255.0 : 65535.0);
      EXPECT_EQ(wrong, 0);
    }
  }
}

// The rendered part's samples are dropped while it renders only when the
// output replaces every one of them: a channel the effect does not see
// (depth, here) comes back as it was.
TEST(FramePixels, ChannelsTheEffectDoesNotSeeSurviveTheRender) {
  for (const int channels : {4, 5}) {
    SourceImage image = Frame(TypeDesc::UINT8, PixelLayout::kArgb8, 16, channels);
    std::fill(image.Rendered().pixels.begin(), image.Rendered().pixels.end(), std::byte{200});
    minihost::World world = PackFrame(image);
    ReleaseRenderedSamples(image);
    EXPECT_EQ(image.Rendered().pixels.empty(), channels == 4);
    world.FillBytes(0);
    UnpackFrame(world, image);
    ASSERT_EQ(image.Rendered().pixels.size(), 16u * static_cast<unsigned>(channels));
    for (std::size_t i = 0; i < image.Rendered().pixels.size(); ++i)
      EXPECT_EQ(image.Rendered().pixels[i], i % static_cast<std::size_t>(channels) == 4 ? std::byte{200} : std::byte{0}) << i;
  }
}

}  // namespace
}  // namespace huewright
