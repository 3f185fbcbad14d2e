#include "float_clip_warning.h"

#include <OpenImageIO/imageio.h>

#include <cctype>
#include <cstdio>
#include <filesystem>

namespace huewright {
namespace {

std::string ExtensionOf(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

bool FloatClipWarning::StoresIntegers(const std::string& output, int part) {
  const std::string extension = ExtensionOf(output);
  if (const auto known = integer_by_extension_.find(extension); known != integer_by_extension_.end())
    return known->second;
  const auto input = OIIO::ImageInput::open(output);
  // A file the tool has just written reads back; if it did not, nothing is
  // claimed about it.
  if (!input || !input->seek_subimage(part, 0)) {
    (void)OIIO::geterror();
    return false;
  }
  const bool integers = !input->spec().format.is_floating_point();
  integer_by_extension_[extension] = integers;
  return integers;
}

void FloatClipWarning::Check(const std::string& output, const SourceImage& image, const WriteSettings& settings) {
  if (said_ || settings.sample_type || image.samples.integer || !IsFloatLayout(image.layout)) return;
  if (!StoresIntegers(output, image.part)) return;
  said_ = true;
  std::fprintf(stderr,
               "huewright: warning: %s: the float picture is written as integers: values above 1 (and below 0) are "
               "clipped (give --out-type, or write .exr or .tif, to keep them)\n",
               output.c_str());
}

}  // namespace huewright
