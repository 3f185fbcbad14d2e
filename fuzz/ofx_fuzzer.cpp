// libFuzzer target: a hostile OpenFX host. It loads the plug-in bundle by
// path and plays each input as a session of renders whose images lie about
// themselves in every way a plug-in can notice (bounds reversed or absurd,
// rows too short, no data, an unknown depth or components, misaligned
// channels, properties of the wrong type or missing, a window outside the
// output, odd parameter values). The pixel memory behind each image is
// always large enough for the image it truly is, so only a plug-in fault
// can crash. The plug-in must answer with a status, release every image,
// use only handles it was given and write nothing outside its output.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "byte_reader.h"
#include "plugin_binary.h"
#include "test_host.h"

namespace {

using ofx_host::Depth;
using ofx_host::HostImage;
using ofx_host::PropertySet;

std::unique_ptr<ofx_host::PluginBinary> bundle;

void Require(bool holds, const std::string& what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  std::abort();
}

// The image's true shape: float memory, the largest per pixel, so that any
// smaller depth it claims stays inside.
std::shared_ptr<HostImage> TrueImage(fuzz::ByteReader& in, const OfxRectI& bounds) {
  ofx_host::ImageShape shape{bounds, Depth::kFloat, 4 * (in.Byte() % 4), in.Flag()};
  auto image = std::make_shared<HostImage>(shape);
  for (int y = bounds.y1; y < bounds.y2; ++y)
    for (int x = bounds.x1; x < bounds.x2; ++x)
      for (int c = 0; c < 4; ++c) image->SetChannel(x, y, c, static_cast<float>(in.I16()) / 4096.0f);
  return image;
}

// One lie told about an image, chosen by the input.
void Lie(fuzz::ByteReader& in, HostImage& image) {
  PropertySet& properties = image.Properties();
  static const char* const kDepths[] = {kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat, kOfxBitDepthHalf,
                                        kOfxBitDepthNone, ""};
  static const char* const kComponents[] = {kOfxImageComponentRGBA, kOfxImageComponentRGB, kOfxImageComponentAlpha,
                                            kOfxImageComponentNone, "OfxImageComponentYUVA"};
  const int width = image.Width(), height = image.Height();
  const OfxRectI& b = image.Shape().bounds;
  switch (in.Byte() % 12) {
    case 0:  // a smaller or unknown depth; the memory holds floats
      properties.DefineStrings(kOfxImageEffectPropPixelDepth, {in.Pick(kDepths)});
      break;
    case 1:
      properties.DefineStrings(kOfxImageEffectPropComponents, {in.Pick(kComponents)});
      break;
    case 2:  // reversed bounds
      properties.DefineInts(kOfxImagePropBounds, {b.x2, b.y2, b.x1 - 1 - (in.Byte() % 3), b.y1});
      break;
    case 3: {  // absurd bounds: a side longer than any image, wherever it starts (up to 63)
      const int far = in.Flag() ? 2147483647 : (1 << 17) + 64 + in.Byte();
      properties.DefineInts(kOfxImagePropBounds, {b.x1, b.y1, in.Flag() ? far : b.x2, far});
      break;
    }
    case 4: {  // rows closer together than the claimed width needs, same direction
      const auto stride = static_cast<int>(image.PixelBytes()) * width * (in.Byte() % 4) / 4;
      properties.DefineInts(kOfxImagePropRowBytes, {image.RowBytes() < 0 ? -stride : stride});
      break;
    }
    case 5:
      properties.DefinePointer(kOfxImagePropData, nullptr);
      break;
    case 6:  // misaligned channels
      properties.DefinePointer(kOfxImagePropData, image.Data() ? image.Data() + 1 + in.Byte() % 3 : nullptr);
      properties.DefineInts(kOfxImagePropRowBytes, {static_cast<int>(image.RowBytes()) + 1});
      break;
    case 7:  // properties of the wrong type
      properties.DefineDoubles(kOfxImagePropBounds, {0.0, 0.0, double(width), double(height)});
      properties.DefineStrings(kOfxImagePropRowBytes, {"many"});
      break;
    case 8:
      properties.DefineInts(kOfxImageEffectPropPixelDepth, {1});
      properties.DefineInts(kOfxImagePropData, {0});
      break;
    case 9:  // a property missing, or with too few values
      properties.DefineInts(kOfxImagePropBounds, {b.x1, b.y1});
      break;
    case 10:
      properties.DefineStrings(kOfxImageEffectPropComponents, {});
      break;
    default:
      break;  // the truth
  }
}

OfxRectI Bounds(fuzz::ByteReader& in) {
  const int x1 = in.I16() % 64, y1 = in.I16() % 64;
  return {x1, y1, x1 + in.Byte() % 40, y1 + in.Byte() % 40};
}

void RenderOnce(fuzz::ByteReader& in, ofx_host::Instance& instance, double time) {
  const OfxRectI source_bounds = Bounds(in);
  auto source = TrueImage(in, source_bounds);
  const bool same_bounds = in.Flag();
  auto output = std::make_shared<HostImage>(
      ofx_host::ImageShape{same_bounds ? source_bounds : Bounds(in), Depth::kFloat, 0, in.Flag()});
  output->FillBytes(0x5A);
  if (in.Flag()) Lie(in, *source);
  if (in.Flag()) Lie(in, *output);
  // The output is honest about its depth unless a lie said otherwise: match
  // the source's claim so that most renders get past the depth check.
  if (in.Flag())
    output->Properties().DefineStrings(kOfxImageEffectPropPixelDepth,
                                       {source->Properties().String(kOfxImageEffectPropPixelDepth)});
  const OfxRectI& out = output->Shape().bounds;
  OfxRectI window = out;
  if (in.Flag()) window = {out.x1 + in.Byte() % 8 - 2, out.y1 + in.Byte() % 8 - 2, out.x2 - in.Byte() % 8 + 2,
                           out.y2 - in.Byte() % 8 + 2};
  instance.SetBoolean("swatches", in.Flag());
  instance.SetBoolean("measure", in.Flag());
  static const double kGains[] = {1.0, 0.001, 3.0, 1e300, -5.0, NAN, INFINITY, 0.0};
  instance.SetDouble("gain", in.Pick(kGains));
  if (in.Flag()) instance.SetSourceFrame(time, source);  // else no image at this time

  instance.Render(time, window, 1.0, *output);
  Require(instance.OutstandingImages() == 0, "every image released");
  Require(output->GuardDamage().empty(), "nothing written outside the output");
  Require(source->GuardDamage().empty(), "nothing written into the source's guards");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  try {
    bundle = std::make_unique<ofx_host::PluginBinary>(HUEWRIGHT_OFX_BUNDLE);
  } catch (const ofx_host::LoadError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ByteReader in(data, size);
  ofx_host::HostOptions options;
  options.multithread_suite = in.Flag();
  options.cpus = 1 + in.Byte() % 4;
  options.message_suite = in.Flag();
  ofx_host::Host host(*bundle->Plugin(0), options);
  host.Load();
  host.Describe();
  host.DescribeInContext(kOfxImageEffectContextFilter);
  auto instance = host.NewInstance();
  if (instance->Create() == kOfxStatOK)
    for (int render = 0; render < 4 && !in.Done(); ++render) RenderOnce(in, *instance, render % 2);
  instance.reset();
  host.Unload();
  const auto faults = ofx_host::TakeFaults();
  Require(faults.empty(), faults.empty() ? "" : "the plug-in misused the host: " + faults.front());
  return 0;
}
