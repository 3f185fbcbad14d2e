// A simulated After Effects or Premiere Pro that drives one effect instance:
// it owns the host records, callback tables and suites, records every call
// the effect makes, injects faults on request and reports leaks.
//
// Several Hosts may run on several threads at once over one loaded library;
// they share no mutable state. One Host is driven from one thread at a time
// (its iterations may fan out over worker threads).
#ifndef HUEWRIGHT_MINIHOST_HOST_H
#define HUEWRIGHT_MINIHOST_HOST_H

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "call_log.h"
#include "effect_library.h"
#include "faults.h"
#include "pf_host.h"
#include "world.h"

namespace minihost {

enum class Application { kAfterEffects, kPremiere };

// How one iteration's area is shared among its threads.
enum class IterationSplit {
  kWholeRows,  // each thread takes whole rows, as the effect's row cells assume
  // Every row cut into column ranges, range k of every row on thread k: a
  // row's pieces run on different threads, one after another (see iterate.cpp).
  kRowPieces,
};

struct HostOptions {
  Application application = Application::kAfterEffects;
  PF_Quality quality = PF_Quality_HI;
  A_long current_time = 0;
  A_long time_step = 1;
  A_u_long time_scale = 24;
  // Worker threads of one iteration, rows split evenly; 1 runs on the caller.
  int iterate_threads = 1;
  IterationSplit iterate_split = IterationSplit::kWholeRows;
};

// Values handed out by checkout_param for indices 1 to 3.
struct ParamValues {
  A_long checkbox = 1;
  PF_FpLong gain = 1.0;
  PF_FpLong seed = 9999.0;
};

struct PreRenderOutcome {
  PF_Err result = PF_Err_NONE;
  PF_PreRenderOutput output{};                     // the output record after the call
  std::optional<PF_RenderRequest> request_seen;     // what checkout_layer received
  std::optional<CallRecord> checkout;               // the checkout_layer call, when made
};

class HostState;

class Host {
 public:
  explicit Host(const EffectLibrary& effect, HostOptions options = {});
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // One call per command. Each sets this Host as the calling thread's
  // current host for the duration of EffectMain.
  PF_Err About();
  PF_Err GlobalSetup();
  PF_Err ParamsSetup();
  PF_Err UserChangedParam(PF_ParamIndex index = 1);
  // The pre-render input carries output_request; output starts with the
  // given rectangles.
  PreRenderOutcome SmartPreRender(const PF_RenderRequest& output_request, PF_LRect result_rect = {},
                                  PF_LRect max_result_rect = {}, A_short bitdepth = 8);
  // input is handed out for checkout id 0, output by checkout_output.
  PF_Err SmartRender(World& input, World& output);
  // Premiere's classic render: input as the layer of params[0], output passed
  // as the output world; params 1 to 3 carry the current values.
  PF_Err Render(World& input, World& output);
  // Any selector with records of the caller's choosing. Worlds named by
  // UseWorlds are known to the host for the call.
  PF_Err Send(PF_Cmd cmd, PF_ParamDef* params[] = nullptr, PF_LayerDef* output = nullptr, void* extra = nullptr);
  void UseWorlds(World* input, World* output);
  // Runs body as if inside EffectMain (this Host is the thread's current
  // host), so that a test or fuzzer can call the suites and callbacks itself.
  void WithinCall(const std::function<void()>& body);

  // The records the next command receives; tests may change them.
  PF_InData& InData();
  PF_OutData& OutData();
  const HostOptions& Options() const;
  void SetQuality(PF_Quality quality);
  void SetIterateThreads(int threads);
  void SetIterateSplit(IterationSplit split);

  // Parameters: values for checkout_param (defaults from ParamsSetup's
  // definitions) and the definitions add_param collected, in order.
  ParamValues& Params();
  const std::vector<PF_ParamDef>& ParamDefinitions() const;
  // Number of parameter records checked out and not yet checked in.
  int OutstandingParams() const;
  // Check-ins of records that were not checked out (allowed: the effect
  // checks in records whose checkout it never reached).
  int UnmatchedCheckins() const;

  // Pre-render: what checkout_layer returns.
  void SetCheckoutResult(PF_LRect result_rect, PF_LRect max_result_rect);

  // Pixel formats declared through the Pixel Format Suite, in order.
  const std::vector<PrPixelFormat>& DeclaredPixelFormats() const;
  int PixelFormatClears() const;
  // Let GetPixelFormat of the Pixel Format Suite leave the format unchanged.
  void SetPixelFormatQueryLeavesFormat(bool leave);

  // Worlds made by new_world / PF_NewWorld and not yet disposed.
  int LiveCreatedWorlds() const;
  int CreatedWorlds() const;
  int DisposedWorlds() const;

  // Recording and fault injection.
  CallLog& Log();
  const CallLog& Log() const;
  void RefuseSuite(SuiteRefusal refusal);
  void FailCall(CallFault fault);
  void LosePieceStarts(PieceLoss loss);
  void ClearFaults();

  // Suites acquired and not released, parameters checked out and not
  // checked in, worlds created and not disposed, damaged guard bytes,
  // unmatched releases and unexpected calls: one readable text each.
  std::vector<std::string> Verify() const;
  // Verify() joined into one text, empty when clean.
  std::string VerifyReport() const;

 private:
  std::unique_ptr<HostState> state_;
};

}  // namespace minihost

#endif
