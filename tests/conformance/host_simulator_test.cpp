// minihost's own promises, which every other test leans on: guard bytes
// catch writes outside a world, iteration visits each pixel once at matching
// positions, and Verify reports what the effect leaves behind.
#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <thread>

#include "effect_fixture.h"

namespace conformance {
namespace {

using minihost::CallFault;
using minihost::Host;
using minihost::IterationSplit;
using minihost::PixelLayout;
using minihost::World;
using minihost::WorldShape;

template <class Suite>
const Suite* Acquire(Host& host, const char* name, int32_t version) {
  const void* suite = nullptr;
  host.InData().pica_basicP->AcquireSuite(name, version, &suite);
  return static_cast<const Suite*>(suite);
}

void Release(Host& host, const char* name, int32_t version) { host.InData().pica_basicP->ReleaseSuite(name, version); }

// ---------------------------------------------------------------- worlds --

struct GuardCase {
  PixelLayout layout;
  WorldShape shape;
};

const GuardCase kGuardCases[] = {
    {PixelLayout::kArgb8, {5, 3, 0, false}},     {PixelLayout::kArgb16, {4, 2, 8, false}},
    {PixelLayout::kArgbFloat, {3, 4, 0, true}},  {PixelLayout::kBgraFloat, {2, 2, 16, true}},
    {PixelLayout::kVuya8, {1, 1, 4, false}},
};

// Lowest and one-past-highest pixel byte in memory.
std::pair<uint8_t*, uint8_t*> PixelExtent(World& world) {
  const bool upward = world.RowBytes() < 0;
  uint8_t* low = world.PixelAddress(0, upward ? world.Height() - 1 : 0);
  uint8_t* last = world.PixelAddress(world.Width() - 1, upward ? 0 : world.Height() - 1);
  return {low, last + minihost::PixelBytes(world.Layout())};
}

TEST(WorldGuards, WritesJustOutsideThePixelsAreDetected) {
  for (const GuardCase& c : kGuardCases) {
    for (int side = 0; side < 2; ++side) {
      World world(c.layout, c.shape);
      world.FillBytes(0xFF);
      EXPECT_TRUE(world.GuardDamage().empty()) << "filling the pixels damaged a guard";
      auto [low, high] = PixelExtent(world);
      *(side == 0 ? low - 1 : high) ^= 0x01;
      EXPECT_FALSE(world.GuardDamage().empty()) << minihost::LayoutName(c.layout) << " side " << side;
    }
  }
}

TEST(WorldGuards, UpwardRowsStartAtTheLastRowInMemory) {
  World world(PixelLayout::kArgb8, WorldShape{3, 4, 4, true});
  EXPECT_EQ(world.RowBytes(), -16);
  EXPECT_EQ(world.PixelAddress(0, 0), world.Record()->data);
  EXPECT_EQ(world.PixelAddress(0, 1), static_cast<uint8_t*>(world.Record()->data) - 16);
  World empty(PixelLayout::kArgbFloat, 0, 0);
  EXPECT_NE(empty.Record()->data, nullptr);
  EXPECT_TRUE(empty.GuardDamage().empty());
  EXPECT_THROW(empty.PixelAddress(0, 0), std::out_of_range);
}

// ------------------------------------------------------------- iteration --

struct Visits {
  const World* src;
  const World* dst;
  std::vector<std::atomic<int>> counts;
  std::atomic<int> misplaced{0};
};

PF_Err CountVisit(void* refcon, A_long x, A_long y, PF_Pixel8* in, PF_Pixel8* out) {
  auto* visits = static_cast<Visits*>(refcon);
  if (reinterpret_cast<const uint8_t*>(in) != visits->src->PixelAddress(x, y) ||
      reinterpret_cast<const uint8_t*>(out) != visits->dst->PixelAddress(x, y))
    ++visits->misplaced;
  ++visits->counts[static_cast<std::size_t>(y * visits->dst->Width() + x)];
  return PF_Err_NONE;
}

struct IterateCase {
  const char* what;
  WorldShape src;
  WorldShape dst;
  std::optional<PF_LRect> area;
  PF_LRect expected;  // pixels visited, in destination coordinates
};

const IterateCase kIterateCases[] = {
    {"same size, whole world", {6, 5, 0, false}, {6, 5, 0, false}, std::nullopt, {0, 0, 6, 5}},
    {"upward padded source", {6, 5, 8, true}, {6, 5, 0, false}, std::nullopt, {0, 0, 6, 5}},
    {"smaller source clips", {4, 3, 0, false}, {6, 5, 4, true}, std::nullopt, {0, 0, 4, 3}},
    {"area reaching outside clips", {6, 5, 0, false}, {6, 5, 0, false}, PF_LRect{-2, 3, 9, 99}, {0, 3, 6, 5}},
    {"empty area visits nothing", {6, 5, 0, false}, {6, 5, 0, false}, PF_LRect{4, 4, 2, 5}, {0, 0, 0, 0}},
    {"empty destination", {6, 5, 0, false}, {0, 0, 0, false}, std::nullopt, {0, 0, 0, 0}},
};

TEST(Iteration, VisitsEveryPixelOfTheClippedAreaOnceAtMatchingPositions) {
  for (const IterateCase& c : kIterateCases) {
    for (const auto& [threads, split] : {std::pair{1, IterationSplit::kWholeRows}, {3, IterationSplit::kWholeRows},
                                        {3, IterationSplit::kRowPieces}}) {
      std::unique_ptr<Host> host = MakeHost();
      host->SetIterateThreads(threads);
      host->SetIterateSplit(split);
      World src(PixelLayout::kArgb8, c.src);
      World dst(PixelLayout::kArgb8, c.dst);
      host->UseWorlds(&src, &dst);
      Visits visits{&src, &dst, std::vector<std::atomic<int>>(static_cast<std::size_t>(dst.Width() * dst.Height()))};
      PF_Err err = -1;
      host->WithinCall([&] {
        auto* suite = Acquire<PF_Iterate8Suite1>(*host, kPFIterate8Suite, 1);
        const PF_Rect* area = c.area ? &*c.area : nullptr;
        err = suite->iterate(&host->InData(), 0, dst.Height(), src.Record(), area, &visits, CountVisit, dst.Record());
        Release(*host, kPFIterate8Suite, 1);
      });
      EXPECT_EQ(err, PF_Err_NONE) << c.what;
      EXPECT_EQ(visits.misplaced, 0) << c.what;
      for (A_long y = 0; y < dst.Height(); ++y)
        for (A_long x = 0; x < dst.Width(); ++x) {
          const bool inside = x >= c.expected.left && x < c.expected.right && y >= c.expected.top &&
                              y < c.expected.bottom;
          EXPECT_EQ(visits.counts[static_cast<std::size_t>(y * dst.Width() + x)], inside ? 1 : 0)
              << c.what << ", " << threads << " thread(s), split " << static_cast<int>(split) << ", pixel " << x
              << "," << y;
        }
      host->UseWorlds(nullptr, nullptr);
      EXPECT_EQ(host->VerifyReport(), "") << c.what;
    }
  }
}

// Who visited each pixel, in which order.
struct PieceVisits {
  std::mutex mutex;
  std::vector<std::thread::id> thread;  // by pixel, row-major
  std::vector<A_long> last_x;           // by row, -1 before the first visit
  bool out_of_order = false;
};

PF_Err RecordPieceVisit(void* refcon, A_long x, A_long y, PF_Pixel8*, PF_Pixel8*) {
  auto* visits = static_cast<PieceVisits*>(refcon);
  std::lock_guard lock(visits->mutex);
  const std::size_t width = visits->thread.size() / visits->last_x.size();
  visits->thread[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)] = std::this_thread::get_id();
  visits->out_of_order |= x <= visits->last_x[static_cast<std::size_t>(y)];
  visits->last_x[static_cast<std::size_t>(y)] = x;
  return PF_Err_NONE;
}

// Row pieces: every row goes to as many threads as there are pieces, one
// piece after the other in column order; PieceLoss leaves out each later
// piece's first pixel, in the one call it names.
TEST(Iteration, RowPiecesGoToSeveralThreadsInColumnOrder) {
  constexpr A_long kWidth = 10, kHeight = 4;
  std::unique_ptr<Host> host = MakeHost();
  host->SetIterateThreads(3);
  host->SetIterateSplit(IterationSplit::kRowPieces);
  host->LosePieceStarts({"iterate8", 2});
  World src(PixelLayout::kArgb8, kWidth, kHeight), dst(PixelLayout::kArgb8, kWidth, kHeight);
  host->UseWorlds(&src, &dst);
  for (int call = 1; call <= 3; ++call) {
    SCOPED_TRACE("call " + std::to_string(call));
    PieceVisits visits;
    visits.thread.resize(kWidth * kHeight);
    visits.last_x.assign(kHeight, -1);
    host->WithinCall([&] {
      auto* suite = Acquire<PF_Iterate8Suite1>(*host, kPFIterate8Suite, 1);
      EXPECT_EQ(suite->iterate(&host->InData(), 0, kHeight, src.Record(), nullptr, &visits, RecordPieceVisit,
                               dst.Record()),
                PF_Err_NONE);
      Release(*host, kPFIterate8Suite, 1);
    });
    EXPECT_FALSE(visits.out_of_order);
    for (A_long y = 0; y < kHeight; ++y) {
      std::set<std::thread::id> threads;
      for (A_long x = 0; x < kWidth; ++x) {
        const std::thread::id id = visits.thread[static_cast<std::size_t>(y * kWidth + x)];
        // Pieces 3 | 3 | 4 columns wide: the second and third start at 3 and 6.
        const bool lost = call == 2 && (x == 3 || x == 6);
        EXPECT_EQ(id == std::thread::id(), lost) << "pixel " << x << "," << y;
        if (id != std::thread::id()) threads.insert(id);
      }
      EXPECT_EQ(threads.size(), 3u) << "row " << y;
    }
  }
  host->UseWorlds(nullptr, nullptr);
  EXPECT_EQ(host->VerifyReport(), "");
}

TEST(Iteration, InterruptAtTheKthCallWithOrWithoutVisiting) {
  for (bool after_work : {false, true}) {
    std::unique_ptr<Host> host = MakeHost();
    World src(PixelLayout::kArgb8, 3, 2), dst(PixelLayout::kArgb8, 3, 2);
    host->UseWorlds(&src, &dst);
    host->FailCall(CallFault{"iterate8", 2, std::nullopt, PF_Interrupt_CANCEL, after_work});
    std::vector<PF_Err> results;
    std::vector<int> visited;
    host->WithinCall([&] {
      auto* suite = Acquire<PF_Iterate8Suite1>(*host, kPFIterate8Suite, 1);
      for (int call = 0; call < 3; ++call) {
        Visits visits{&src, &dst, std::vector<std::atomic<int>>(6)};
        results.push_back(suite->iterate(&host->InData(), 0, 2, src.Record(), nullptr, &visits, CountVisit,
                                         dst.Record()));
        int total = 0;
        for (const auto& count : visits.counts) total += count;
        visited.push_back(total);
      }
      Release(*host, kPFIterate8Suite, 1);
    });
    EXPECT_EQ(results, (std::vector<PF_Err>{0, PF_Interrupt_CANCEL, 0}));
    EXPECT_EQ(visited, (std::vector<int>{6, after_work ? 6 : 0, 6}));
  }
}

// ---------------------------------------------------------------- Verify --

struct LeakCase {
  const char* what;
  std::function<void(Host&)> act;  // runs inside a call
  const char* reported;            // a word of the expected report
};

const LeakCase kLeakCases[] = {
    {"suite never released", [](Host& h) { Acquire<PF_WorldSuite2>(h, kPFWorldSuite, 2); }, "PF World Suite"},
    {"release without acquisition", [](Host& h) { Release(h, kPFANSISuite, 1); }, "not held"},
    {"release under another version",
     [](Host& h) {
       Acquire<PF_WorldSuite2>(h, kPFWorldSuite, 2);
       Release(h, kPFWorldSuite, 1);
     },
     "version 2 acquired"},
    {"parameter not checked in",
     [](Host& h) {
       static PF_ParamDef def;
       h.InData().inter.checkout_param(h.InData().effect_ref, 2, 0, 1, 24, &def);
     },
     "parameter 2"},
    {"world not disposed",
     [](Host& h) {
       PF_EffectWorld world{};
       Acquire<PF_WorldSuite2>(h, kPFWorldSuite, 2)->PF_NewWorld(h.InData().effect_ref, 4, 4, 1,
                                                                  PF_PixelFormat_ARGB64, &world);
       Release(h, kPFWorldSuite, 2);
     },
     "not disposed"},
    {"world disposed twice",
     [](Host& h) {
       auto* suite = Acquire<PF_WorldSuite2>(h, kPFWorldSuite, 2);
       PF_EffectWorld world{};
       suite->PF_NewWorld(h.InData().effect_ref, 4, 4, 1, PF_PixelFormat_ARGB32, &world);
       PF_EffectWorld copy = world;
       suite->PF_DisposeWorld(h.InData().effect_ref, &world);
       suite->PF_DisposeWorld(h.InData().effect_ref, &copy);
       Release(h, kPFWorldSuite, 2);
     },
     "disposed twice"},
    {"write past a created world",
     [](Host& h) {
       auto* suite = Acquire<PF_WorldSuite1>(h, kPFWorldSuite, 1);
       PF_EffectWorld world{};
       suite->new_world(h.InData().effect_ref, 2, 2, PF_NewWorldFlag_CLEAR_PIXELS, &world);
       static_cast<uint8_t*>(world.data)[2 * world.rowbytes] = 7;
       suite->dispose_world(h.InData().effect_ref, &world);
       Release(h, kPFWorldSuite, 1);
     },
     "guard after the pixels"},
};

TEST(Verify, ReportsWhatTheEffectLeftBehind) {
  for (const LeakCase& c : kLeakCases) {
    std::unique_ptr<Host> host = MakeHost();
    host->WithinCall([&] { c.act(*host); });
    const std::string report = host->VerifyReport();
    EXPECT_NE(report.find(c.reported), std::string::npos) << c.what << ": " << report;
  }
}

// The second request of each kind gets the world the host kept from the
// first, after the effect scribbled over it: it must come back cleared (or
// marked uncleared) all the same.
TEST(Verify, NewWorldsAreClearedOnlyWhenAsked) {
  struct Made {
    bool v2;
    int clear;  // clear_pixB or new_world flags
    uint8_t byte;
  };
  for (const Made made : {Made{true, 3, 0x00}, Made{true, 0, 0xCD}, Made{false, PF_NewWorldFlag_CLEAR_PIXELS, 0x00},
                          Made{false, PF_NewWorldFlag_NONE, 0xCD}}) {
    std::unique_ptr<Host> host = MakeHost();
    host->WithinCall([&] {
      auto* v1 = Acquire<PF_WorldSuite1>(*host, kPFWorldSuite, 1);
      auto* v2 = Acquire<PF_WorldSuite2>(*host, kPFWorldSuite, 2);
      PF_ProgPtr ref = host->InData().effect_ref;
      for (int round = 0; round < 2; ++round) {
        PF_EffectWorld world{};
        if (made.v2)
          v2->PF_NewWorld(ref, 3, 2, static_cast<PF_Boolean>(made.clear), PF_PixelFormat_ARGB128, &world);
        else
          v1->new_world(ref, 3, 2, made.clear, &world);
        auto* pixels = static_cast<uint8_t*>(world.data);
        const std::size_t row_bytes = static_cast<std::size_t>(world.width) * (made.v2 ? 16 : 4);
        for (A_long y = 0; y < world.height; ++y) {
          EXPECT_EQ(pixels[y * world.rowbytes], made.byte) << "round " << round;
          EXPECT_EQ(pixels[y * world.rowbytes + row_bytes - 1], made.byte) << "round " << round;
          std::memset(pixels + y * world.rowbytes, 0x77, row_bytes);
        }
        // Either version disposes of worlds of both.
        EXPECT_EQ(v2->PF_DisposeWorld(ref, &world), PF_Err_NONE);
      }
      Release(*host, kPFWorldSuite, 2);
      Release(*host, kPFWorldSuite, 1);
    });
    EXPECT_EQ(host->CreatedWorlds(), 2);
    EXPECT_EQ(host->VerifyReport(), "");
  }
}

TEST(Verify, WorldsTooLargeOrNegativeAreRefusedWithoutHarm) {
  struct Size {
    A_long width, height;
    PF_Err expected;
  };
  for (const Size size : {Size{1 << 20, 1 << 20, PF_Err_OUT_OF_MEMORY}, Size{-1, 4, PF_Err_BAD_CALLBACK_PARAM},
                          Size{0, 0, PF_Err_NONE}}) {
    std::unique_ptr<Host> host = MakeHost();
    host->WithinCall([&] {
      auto* suite = Acquire<PF_WorldSuite2>(*host, kPFWorldSuite, 2);
      PF_EffectWorld world{};
      EXPECT_EQ(suite->PF_NewWorld(host->InData().effect_ref, size.width, size.height, 1, PF_PixelFormat_ARGB128,
                                   &world),
                size.expected);
      EXPECT_EQ(suite->PF_DisposeWorld(host->InData().effect_ref, &world), PF_Err_NONE);
      Release(*host, kPFWorldSuite, 2);
    });
    EXPECT_EQ(host->VerifyReport(), "");
  }
}

// Callbacks without a context pointer find their host through the calling
// thread, so hosts on several threads never see each other's calls.
TEST(ConcurrentHosts, EachHostRecordsOnlyItsOwnCalls) {
  constexpr int kThreads = 4, kRounds = 40;
  std::vector<std::unique_ptr<Host>> hosts;
  for (int i = 0; i < kThreads; ++i) hosts.push_back(MakeHost(minihost::Application::kPremiere));
  std::vector<std::thread> threads;
  std::atomic<int> failures{0};
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] {
      for (int round = 0; round < kRounds; ++round)
        if (hosts[static_cast<std::size_t>(i)]->About() != PF_Err_NONE ||
            hosts[static_cast<std::size_t>(i)]->GlobalSetup() != PF_Err_NONE)
          ++failures;
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(failures, 0);
  for (const auto& host : hosts) {
    EXPECT_EQ(host->Log().Count("AcquireSuite"), 2u * kRounds);
    EXPECT_EQ(host->Log().Count("AddSupportedPixelFormat"), 3u * kRounds);
    EXPECT_EQ(host->DeclaredPixelFormats().size(), 3u);
    EXPECT_EQ(host->VerifyReport(), "");
  }
}

}  // namespace
}  // namespace conformance
