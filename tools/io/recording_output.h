// A file that image writers write through (OpenImageIO's I/O proxy), keeping
// the first failure of the system instead of handing it to the writer. Some
// writers ignore a failed write and leave a short file behind as if
// complete; libjpeg ends the whole process. Told that every write
// succeeded, each writer finishes normally and the caller reports the
// failure itself, naming the user's file rather than the temporary one.
#ifndef HUEWRIGHT_TOOLS_RECORDING_OUTPUT_H
#define HUEWRIGHT_TOOLS_RECORDING_OUTPUT_H

#include <OpenImageIO/filesystem.h>
#include <OpenImageIO/imageio.h>

#include <string>

namespace huewright {

// Whether `out` writes correctly through a proxy: checked format by format.
// TIFF does not (OpenImageIO 2.4 links the Exif directory over the image's
// own) and keeps reporting its failures itself.
bool WritesThroughProxy(const OIIO::ImageOutput& out);

class RecordingOutput final : public OIIO::Filesystem::IOProxy {
 public:
  // `subject` names the file in errors; throws ToolError when `path` cannot
  // be created.
  RecordingOutput(const std::string& path, const std::string& subject);
  ~RecordingOutput() override;

  const char* proxytype() const override { return "huewright"; }
  void close() override;
  bool seek(int64_t offset) override;
  size_t read(void* buf, size_t size) override;
  size_t write(const void* buf, size_t size) override;
  size_t pread(void* buf, size_t size, int64_t offset) override;
  size_t pwrite(const void* buf, size_t size, int64_t offset) override;
  size_t size() const override;

  // Makes a writer opened with `image_spec` write through this file.
  void AttachTo(OIIO::ImageSpec& image_spec);
  // Closes the file; throws ToolError with the system's reason when any
  // write (or the close) failed.
  void Finish();

 private:
  void Record(int error_number);
  int fd_ = -1;
  int failure_ = 0;  // errno of the first failure
  std::string subject_;
};

}  // namespace huewright

#endif
