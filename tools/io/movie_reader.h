// Movies, decoded by the system's FFmpeg libraries: any container and codec
// they read (.mp4, .mov, .mkv, .webm, .mxf, .avi, ...), recognised by name
// or by content. OpenImageIO's own movie reader is not used: it opens only a
// few extensions, guesses the length of a Matroska file short, and repeats
// the last decoded picture for the frames a codec still holds at the end.
#ifndef HUEWRIGHT_TOOLS_MOVIE_READER_H
#define HUEWRIGHT_TOOLS_MOVIE_READER_H

#include <OpenImageIO/imageio.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace huewright {

// True for names only a movie format claims (clip.mp4, clip.mkv, ...).
bool IsMovieName(const std::string& path);
// A movie by its name, or, for a name no image reader claims, by content.
bool IsMovieFile(const std::string& path);

// One movie's frames, decoded in order: frame n after n-1 costs one decode;
// an earlier frame reopens the movie.
class MovieReader {
 public:
  // Throws ToolError naming the file when it holds no video FFmpeg decodes.
  explicit MovieReader(std::string path);
  ~MovieReader();
  MovieReader(const MovieReader&) = delete;
  MovieReader& operator=(const MovieReader&) = delete;

  // Every frame's header: RGB (RGBA when the video has alpha), 8 bits, or
  // 16 for deeper video; oiio:Movie, FramesPerSecond and the container's tags.
  const OIIO::ImageSpec& ImageHeader() const { return spec_; }
  // Frames counted by demuxing the whole file (containers such as Matroska
  // do not record it).
  int CountFrames();
  // Frame `index` (from 0) into `pixels` (ImageHeader().image_bytes()); false past
  // the end. Throws ToolError for undecodable data.
  bool ReadFrame(int index, std::vector<std::byte>& pixels);

 private:
  struct Codec;
  void Open();
  bool DecodeNext();

  std::string path_;
  std::unique_ptr<Codec> codec_;
  OIIO::ImageSpec spec_;
  int next_index_ = 0;  // the frame the next decoded picture is
};

}  // namespace huewright

#endif
