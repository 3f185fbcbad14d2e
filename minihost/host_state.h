// Internal: everything one Host owns, and how the callbacks find it. The
// callback tables are plain C functions; those that carry effect_ref (or
// in_data) find their host through it, the others through the calling
// thread's current host, set for the duration of each EffectMain call.
#ifndef HUEWRIGHT_MINIHOST_HOST_STATE_H
#define HUEWRIGHT_MINIHOST_HOST_STATE_H

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host.h"
#include "worker_pool.h"

namespace minihost {

class HostState;

// What effect_ref points at.
struct EffectRefToken {
  static constexpr uint64_t kMagic = 0x4875657772696768ull;
  uint64_t magic = kMagic;
  HostState* host = nullptr;
};

class HostState {
 public:
  HostState(const EffectLibrary& effect, HostOptions options);

  const EffectLibrary& effect;
  HostOptions options;
  EffectRefToken token;
  SPBasicSuite basic{};
  PF_UtilCallbacks utils{};
  PF_PreRenderCallbacks pre_render_callbacks{};
  PF_SmartRenderCallbacks smart_render_callbacks{};
  PF_InData in_data{};
  PF_OutData out_data{};
  CallLog log;

  // Faults.
  std::vector<SuiteRefusal> refusals;
  const SuiteRefusal* RefusalFor(const std::string& name, int32_t version) const;
  // The fault that applies to this call, counting it against every armed fault.
  std::optional<CallFault> TakeFault(const std::string& call, std::optional<int64_t> first_value);
  void ArmFault(CallFault fault);
  void ArmPieceLoss(PieceLoss loss);
  // Whether this call (an iteration of that name) loses its pieces' starts,
  // counting it against every armed loss.
  bool TakePieceLoss(const std::string& call);
  void ClearFaults();

  // Suites acquired and not yet released, by name and version.
  std::map<std::pair<std::string, int32_t>, int> acquired_suites;

  // Parameters.
  ParamValues values;
  std::vector<PF_ParamDef> definitions;
  // Indices checked out into each record and not yet checked in.
  std::map<const PF_ParamDef*, std::vector<PF_ParamIndex>> checked_out_params;
  int unmatched_checkins = 0;
  // The record checkout_param hands out for index 1 to 3.
  PF_ParamDef ParamFor(PF_ParamIndex index) const;
  void TakeDefaultFrom(PF_ParamIndex index, const PF_ParamDef& def);

  // Pre-render.
  PF_LRect checkout_result_rect{0, 0, 640, 480};
  PF_LRect checkout_max_result_rect{0, 0, 640, 480};
  std::optional<PF_RenderRequest> last_request;

  // Worlds: the caller's input and output for the current command, and the
  // worlds the effect created.
  World* input = nullptr;
  World* output = nullptr;
  std::vector<std::unique_ptr<World>> created_worlds;
  int created_count = 0;
  int disposed_count = 0;
  // The last world the effect disposed of, kept for its next request of the
  // same layout and size, as a host's world cache does: a fresh frame-sized
  // allocation costs more in page faults than the effect's whole pass.
  std::unique_ptr<World> spare_world;

  // The iteration threads besides the caller's, made on first use and again
  // when the thread count changes; a pool still running keeps itself alive.
  std::shared_ptr<WorkerPool> IterationPool(int workers);
  // The world a record describes (by record address or pixel address), or null.
  World* FindWorld(const PF_EffectWorld* record) const;
  PF_Err CreateWorld(PixelLayout layout, A_long width, A_long height, bool clear, PF_EffectWorld* record);
  PF_Err DisposeWorld(const char* caller, PF_EffectWorld* record);
  // Reports every damaged guard region; true when there was none.
  bool CheckGuards(const World& world, const char* role);

  // Premiere pixel formats.
  std::vector<PrPixelFormat> declared_formats;
  int format_clears = 0;
  bool format_query_leaves_format = false;

  // Unexpected calls and damage, for Verify().
  void Error(std::string text);
  std::vector<std::string> Errors() const;

  // Records the call after running work (unless a fault stops it first).
  template <class Work>
  PF_Err Run(CallRecord record, Work&& work) {
    const std::optional<int64_t> first = record.values.empty() ? std::nullopt : std::optional(record.values[0]);
    const std::optional<CallFault> fault = TakeFault(record.name, first);
    PF_Err err = PF_Err_NONE;
    if (fault && !fault->after_work) {
      err = fault->code;
    } else {
      // Nothing may unwind through the effect's frames.
      try {
        err = work(record);
      } catch (const std::bad_alloc&) {
        err = PF_Err_OUT_OF_MEMORY;
      } catch (const std::exception& error) {
        Error(record.name + " failed inside the host: " + error.what());
        err = PF_Err_INTERNAL_STRUCT_DAMAGED;
      }
      if (fault) err = fault->code;
    }
    record.result = err;
    log.Add(std::move(record));
    return err;
  }

 private:
  struct ArmedFault {
    CallFault fault;
    int seen = 0;
  };
  std::mutex fault_mutex_;
  std::vector<ArmedFault> faults_;
  struct ArmedLoss {
    PieceLoss loss;
    int seen = 0;
  };
  std::vector<ArmedLoss> losses_;
  std::mutex pool_mutex_;
  std::shared_ptr<WorkerPool> pool_;
  mutable std::mutex error_mutex_;
  std::vector<std::string> errors_;
};

// The host driving EffectMain on this thread, or null.
HostState* CurrentHost();

// Sets the current host of this thread for one EffectMain call.
class CurrentHostScope {
 public:
  explicit CurrentHostScope(HostState* host);
  ~CurrentHostScope();
  CurrentHostScope(const CurrentHostScope&) = delete;
  CurrentHostScope& operator=(const CurrentHostScope&) = delete;

 private:
  HostState* previous_;
};

// The host of an effect_ref; null (after reporting) when it is not one of ours.
HostState* HostFromRef(PF_ProgPtr effect_ref, const char* caller);
// The current host for a callback without context; null (after reporting on
// stderr) when called outside EffectMain.
HostState* HostForContextFreeCall(const char* caller);

// Callback tables, defined next to their callbacks.
void InstallBasicSuite(HostState& host);
void InstallParamCallbacks(HostState& host);
void InstallUtilCallbacks(HostState& host);
void InstallRenderCallbacks(HostState& host);
const void* WorldSuite1Table();
const void* WorldSuite2Table();
const void* PixelFormatSuiteTable();
const void* AnsiSuiteTable();
const void* Iterate8SuiteTable();
const void* Iterate16SuiteTable();
const void* IterateFloatSuiteTable();

}  // namespace minihost

#endif
