// Reading and writing image files through OpenImageIO, keeping what a file
// carries: every part (subimage) and channel in its own sample type, the
// header with its metadata, compression, tiling and data window. The effect
// sees one RGB(A) set of channels of one part; the rest passes through.
#ifndef HUEWRIGHT_TOOLS_IMAGE_FILE_H
#define HUEWRIGHT_TOOLS_IMAGE_FILE_H

#include <OpenImageIO/imageio.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "depth_choice.h"
#include "movie_reader.h"

namespace huewright {

enum class SampleType { UInt8, UInt16, Half, Float };

std::optional<SampleType> ParseSampleType(std::string_view text);
std::string_view SampleTypeName(SampleType type);

struct ReadSettings {
  std::string layer;              // --layer: NAME.R, NAME.G, ... or the part named NAME
  bool keep_orientation = false;  // render the stored pixels as they are
  // The host and the world asked for, to choose each frame's world and to
  // know the memory it needs before any pixel is read.
  bool premiere = false;
  std::optional<PixelLayout> layout;
};

// One part of a file: its header as read and its pixels (the data window)
// in the header's sample type, channels interleaved, rows top to bottom.
struct ImagePart {
  OIIO::ImageSpec image_spec;
  std::vector<std::byte> pixels;
};

// One frame as read.
struct SourceImage {
  std::string path;
  std::string format;  // OpenImageIO's name: "png", "openexr", ...
  std::vector<ImagePart> parts;
  int part = 0;                       // the part the effect renders
  std::array<int, 4> channels{};      // its R, G, B and A channels; A is -1 when there is none
  SampleFacts samples;                // of those channels
  PixelLayout layout = PixelLayout::kArgb8;  // the world it renders in
  bool movie = false;
  std::optional<int> jpeg_quality;  // of a JPEG file, kept when written as JPEG again

  const ImagePart& Rendered() const { return parts[static_cast<std::size_t>(part)]; }
  ImagePart& Rendered() { return parts[static_cast<std::size_t>(part)]; }
  int Width() const { return Rendered().image_spec.width; }
  int Height() const { return Rendered().image_spec.height; }
};

// Keeps a file open between frames, so that the frames of a movie are
// decoded in order rather than sought from the start each time.
class FrameReader {
 public:
  FrameReader();
  ~FrameReader();
  FrameReader(const FrameReader&) = delete;
  FrameReader& operator=(const FrameReader&) = delete;

  // Every part of the file, or frame `movie_frame` of a movie. Throws
  // ToolError naming the file: missing, unreadable, damaged, no RGB to
  // render, or too large for memory.
  SourceImage Read(const std::string& path, int movie_frame, const ReadSettings& settings);

 private:
  OIIO::ImageInput* Open(const std::string& path);
  std::vector<OIIO::ImageSpec> Headers(const std::string& path);
  std::vector<ImagePart> ReadParts(const std::string& path, int movie_frame, const std::vector<OIIO::ImageSpec>& specs,
                                   bool keep_orientation);

  std::unique_ptr<OIIO::ImageInput> input_;  // an image file, from its headers to its pixels
  std::string movie_path_;                   // a movie stays open between frames
  std::unique_ptr<MovieReader> movie_;
};

// Whether this file is a movie, and how many frames it has.
std::optional<int> MovieFrameCount(const std::string& path);

struct WriteSettings {
  std::optional<SampleType> sample_type;  // default: the source's type
  std::string compression;                // default: the source's
  bool no_clobber = false;                // refuse to replace an existing file
};

// Throws ToolError for an output name that no image writer takes; a movie
// name gets the way to make one.
void CheckWritableFormat(const std::string& path);

// Writes every part of `image` in the format the path's extension names,
// with the headers as read, through a temporary file renamed into place.
void WriteImage(const std::string& path, const SourceImage& image, const WriteSettings& settings);

// Converts the rendered part's samples to `type` before the effect's
// values come back into them, so that a deeper --out-type keeps the
// precision of the world (a 16-bit swatch from an 8-bit file). A part
// without samples (released while rendering) only changes its header.
void ConvertRenderedPart(SourceImage& image, SampleType type);

}  // namespace huewright

#endif
