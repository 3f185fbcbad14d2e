// The one warning per render command when a float picture lands in a file
// that stores integers: every value above 1 (and below 0) is clipped there.
#ifndef HUEWRIGHT_TOOLS_CLI_FLOAT_CLIP_WARNING_H
#define HUEWRIGHT_TOOLS_CLI_FLOAT_CLIP_WARNING_H

#include <map>
#include <string>

#include "image_file.h"

namespace huewright {

class FloatClipWarning {
 public:
  // Called once `output` is written from `image`. Warns on stderr, naming
  // the file, when the picture rendered in a float world from float samples,
  // no --out-type chose the file's sample type, and the file holds integers.
  // An explicit --out-type, or an integer world (--depth, --format: its own
  // warning already said values are clamped), is not warned about again.
  void Check(const std::string& output, const SourceImage& image, const WriteSettings& settings);

 private:
  // The writer decides what it stores (PNG, JPEG: integers; TIFF, DPX, EXR:
  // floats), so the first file of each extension is read back, once.
  bool StoresIntegers(const std::string& output, int part);

  bool said_ = false;
  std::map<std::string, bool> integer_by_extension_;
};

}  // namespace huewright

#endif
