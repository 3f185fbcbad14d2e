#include "frame_pipeline.h"

#include <future>
#include <optional>

namespace huewright {

void RunFrames(const std::vector<Frame>& frames, const ReadSettings& settings,
               const std::function<void(const Frame&, SourceImage&)>& render,
               const std::function<void(const Frame&, const SourceImage&)>& write) {
  if (frames.empty()) return;
  FrameReader reader;
  auto read = [&](std::size_t i) {
    return std::async(std::launch::async, [&reader, &settings, &frame = frames[i]] {
      return reader.Read(frame.input, frame.movie_frame, settings);
    });
  };
  std::optional<SourceImage> written;  // the frame the writer holds; outlives the writer
  std::future<void> writing;
  std::future<SourceImage> next = read(0);
  for (std::size_t i = 0; i < frames.size(); ++i) {
    SourceImage image;
    try {
      image = next.get();
      if (i + 1 < frames.size()) next = read(i + 1);
      render(frames[i], image);
    } catch (...) {
      if (writing.valid()) writing.get();  // an earlier frame's failure comes first
      throw;
    }
    if (!write) continue;
    if (writing.valid()) writing.get();
    written = std::move(image);
    writing = std::async(std::launch::async, [&write, &frame = frames[i], &written] { write(frame, *written); });
  }
  if (writing.valid()) writing.get();
}

}  // namespace huewright
