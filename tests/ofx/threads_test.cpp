// Renders at once: several frames through one instance (the plug-in is
// fully safe), several instances side by side, and one frame's rows spread
// over the host's threads or kept on the calling thread. The bytes never
// depend on which.
#include <thread>
#include <vector>

#include "ofx_fixture.h"

namespace {

using namespace ofx_test;

constexpr int kFrames = 4;

// Four different pictures of one depth: the two test frames, each also
// upside down in memory with other bounds.
std::vector<std::shared_ptr<HostImage>> Frames(Depth depth) {
  std::vector<std::shared_ptr<HostImage>> frames;
  for (int index = 0; index < kFrames; ++index) {
    const TestFrame& frame = index % 2 ? CarrotsFrame() : MountainFrame();
    frames.push_back(SourceImage(frame, {{index, -index, frame.width + index, frame.height - index}, depth, 0,
                                         index >= 2}));
  }
  return frames;
}

std::shared_ptr<HostImage> OutputFor(const HostImage& source) {
  return OutputImage({source.Shape().bounds, source.Shape().depth});
}

// Every frame through one instance on the calling thread, no host threads.
std::vector<std::vector<unsigned char>> SerialBytes(const std::vector<std::shared_ptr<HostImage>>& frames) {
  ofx_host::HostOptions options;
  options.multithread_suite = false;
  auto host = DescribedHost(options);
  auto instance = CreatedInstance(*host, {true, 2.0, true});
  std::vector<std::vector<unsigned char>> bytes;
  for (const auto& frame : frames) {
    auto output = OutputFor(*frame);
    EXPECT_EQ(RenderOnce(*instance, frame, *output, frame->Shape().bounds), kOfxStatOK);
    bytes.emplace_back(output->PixelAddress(output->Shape().bounds.x1, output->Shape().bounds.y1),
                       output->PixelAddress(output->Shape().bounds.x1, output->Shape().bounds.y1) +
                           output->PixelBytes() * output->Width() * output->Height());
  }
  return bytes;
}

std::vector<unsigned char> BytesOf(HostImage& image) {
  const unsigned char* first = image.PixelAddress(image.Shape().bounds.x1, image.Shape().bounds.y1);
  return {first, first + image.PixelBytes() * image.Width() * image.Height()};
}

TEST(OfxConcurrentRender, FramesAtOnceThroughOneInstanceOrSeveralGiveTheSerialBytes) {
  for (Depth depth : {Depth::kByte, Depth::kShort, Depth::kFloat}) {
    SCOPED_TRACE(ofx_host::DepthName(depth));
    const auto frames = Frames(depth);
    const auto expected = SerialBytes(frames);
    for (bool one_instance : {true, false}) {
      SCOPED_TRACE(one_instance ? "one instance" : "an instance per thread");
      ofx_host::HostOptions options;
      options.cpus = 3;
      auto host = DescribedHost(options);
      std::vector<std::unique_ptr<ofx_host::Instance>> instances;
      for (int index = 0; index < (one_instance ? 1 : kFrames); ++index)
        instances.push_back(CreatedInstance(*host, {true, 2.0, true}));
      for (int index = 0; index < kFrames; ++index)
        instances[one_instance ? 0 : index]->SetSourceFrame(index, frames[index]);
      std::vector<std::shared_ptr<HostImage>> outputs;
      for (const auto& frame : frames) outputs.push_back(OutputFor(*frame));
      std::vector<OfxStatus> results(kFrames, kOfxStatFailed);
      std::vector<std::thread> threads;
      for (int index = 0; index < kFrames; ++index)
        threads.emplace_back([&, index] {
          results[index] = instances[one_instance ? 0 : index]->Render(
              index, frames[index]->Shape().bounds, 1.0, *outputs[index]);
        });
      for (std::thread& thread : threads) thread.join();
      for (int index = 0; index < kFrames; ++index) {
        ASSERT_EQ(results[index], kOfxStatOK);
        EXPECT_TRUE(BytesOf(*outputs[index]) == expected[index]) << "frame " << index;
      }
      EXPECT_GT(host->MultiThreadCalls(), 0);
    }
  }
}

}  // namespace
