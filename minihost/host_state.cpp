#include "host_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace minihost {

namespace {

thread_local HostState* current_host = nullptr;

// Garbage in a world the effect did not ask to be cleared, so that reading
// it before writing shows.
constexpr uint8_t kUnclearedByte = 0xCD;

}  // namespace

HostState::HostState(const EffectLibrary& library, HostOptions host_options)
    : effect(library), options(host_options) {
  token.host = this;
  InstallBasicSuite(*this);
  InstallParamCallbacks(*this);
  InstallUtilCallbacks(*this);
  InstallRenderCallbacks(*this);
  in_data.utils = &utils;
  in_data.effect_ref = &token;
  in_data.quality = options.quality;
  in_data.version_major = 13;
  in_data.version_minor = 25;
  in_data.appl_id =
      options.application == Application::kPremiere ? PF_APPL_ID_PREMIERE : PF_APPL_ID_AFTER_EFFECTS;
  in_data.num_params = 1;
  in_data.current_time = options.current_time;
  in_data.time_step = options.time_step;
  in_data.local_time_step = options.time_step;
  in_data.total_time = options.time_step * 240;
  in_data.time_scale = options.time_scale;
  in_data.pica_basicP = &basic;
}

// --- faults -----------------------------------------------------------------

const SuiteRefusal* HostState::RefusalFor(const std::string& name, int32_t version) const {
  for (const SuiteRefusal& refusal : refusals)
    if (refusal.name == name && (!refusal.version || *refusal.version == version)) return &refusal;
  return nullptr;
}

void HostState::ArmFault(CallFault fault) {
  std::lock_guard<std::mutex> lock(fault_mutex_);
  faults_.push_back(ArmedFault{std::move(fault), 0});
}

void HostState::ArmPieceLoss(PieceLoss loss) {
  std::lock_guard<std::mutex> lock(fault_mutex_);
  losses_.push_back(ArmedLoss{std::move(loss), 0});
}

bool HostState::TakePieceLoss(const std::string& call) {
  std::lock_guard<std::mutex> lock(fault_mutex_);
  bool hit = false;
  for (ArmedLoss& armed : losses_)
    if (armed.loss.call == call && ++armed.seen == armed.loss.occurrence) hit = true;
  return hit;
}

void HostState::ClearFaults() {
  std::lock_guard<std::mutex> lock(fault_mutex_);
  faults_.clear();
  losses_.clear();
  refusals.clear();
}

std::optional<CallFault> HostState::TakeFault(const std::string& call, std::optional<int64_t> first_value) {
  std::lock_guard<std::mutex> lock(fault_mutex_);
  std::optional<CallFault> hit;
  for (ArmedFault& armed : faults_) {
    const CallFault& fault = armed.fault;
    if (fault.call != call) continue;
    if (fault.first_value && fault.first_value != first_value) continue;
    ++armed.seen;
    if (!hit && (fault.occurrence == 0 || fault.occurrence == armed.seen)) hit = fault;
  }
  return hit;
}

// --- errors -----------------------------------------------------------------

void HostState::Error(std::string text) {
  std::lock_guard<std::mutex> lock(error_mutex_);
  errors_.push_back(std::move(text));
}

std::vector<std::string> HostState::Errors() const {
  std::lock_guard<std::mutex> lock(error_mutex_);
  return errors_;
}

// --- parameters -------------------------------------------------------------

PF_ParamDef HostState::ParamFor(PF_ParamIndex index) const {
  PF_ParamDef def{};
  const std::size_t position = static_cast<std::size_t>(index - 1);
  if (index >= 1 && position < definitions.size()) {
    def = definitions[position];
  } else {
    def.param_type = index == 1 ? PF_Param_CHECKBOX : PF_Param_FLOAT_SLIDER;
    def.uu.id = index;
  }
  if (index == 1 && def.param_type == PF_Param_CHECKBOX) def.u.bd.value = values.checkbox;
  if (index == 2 && def.param_type == PF_Param_FLOAT_SLIDER) def.u.fs_d.value = values.gain;
  if (index == 3 && def.param_type == PF_Param_FLOAT_SLIDER) def.u.fs_d.value = values.seed;
  return def;
}

void HostState::TakeDefaultFrom(PF_ParamIndex index, const PF_ParamDef& def) {
  if (index == 1 && def.param_type == PF_Param_CHECKBOX) values.checkbox = def.u.bd.value;
  if (index == 2 && def.param_type == PF_Param_FLOAT_SLIDER) values.gain = def.u.fs_d.value;
  if (index == 3 && def.param_type == PF_Param_FLOAT_SLIDER) values.seed = def.u.fs_d.value;
}

// --- worlds -----------------------------------------------------------------

World* HostState::FindWorld(const PF_EffectWorld* record) const {
  if (!record) return nullptr;
  auto matches = [record](World* world) {
    return world && (world->Record() == record || (record->data && world->Record()->data == record->data));
  };
  if (matches(input)) return input;
  if (matches(output)) return output;
  for (const std::unique_ptr<World>& world : created_worlds)
    if (matches(world.get())) return world.get();
  return nullptr;
}

PF_Err HostState::CreateWorld(PixelLayout layout, A_long width, A_long height, bool clear, PF_EffectWorld* record) {
  if (!record || width < 0 || height < 0) return PF_Err_BAD_CALLBACK_PARAM;
  std::unique_ptr<World> world;
  const bool reused = spare_world && spare_world->Layout() == layout && spare_world->Width() == width &&
                      spare_world->Height() == height;
  if (reused)
    world = std::move(spare_world);
  else
    world = std::make_unique<World>(layout, width, height);
  if (reused || !clear) world->FillBytes(clear ? uint8_t{0} : kUnclearedByte);  // a new world starts cleared
  *record = *world->Record();
  created_worlds.push_back(std::move(world));
  ++created_count;
  return PF_Err_NONE;
}

PF_Err HostState::DisposeWorld(const char* caller, PF_EffectWorld* record) {
  if (!record) {
    Error(std::string(caller) + " with a null world");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  // A record that was never filled in is disposed of harmlessly.
  if (!record->data) return PF_Err_NONE;
  auto found = std::find_if(created_worlds.begin(), created_worlds.end(),
                            [record](const std::unique_ptr<World>& world) {
                              return world->Record()->data == record->data;
                            });
  if (found == created_worlds.end()) {
    Error(std::string(caller) + " of a world the host did not create, or disposed twice");
    return PF_Err_BAD_CALLBACK_PARAM;
  }
  // A damaged world is reported once and never handed out again.
  if (CheckGuards(**found, "created")) spare_world = std::move(*found);
  created_worlds.erase(found);
  ++disposed_count;
  std::memset(record, 0, sizeof *record);
  return PF_Err_NONE;
}

std::shared_ptr<WorkerPool> HostState::IterationPool(int workers) {
  std::lock_guard lock(pool_mutex_);
  if (!pool_ || pool_->Workers() != workers) pool_ = std::make_shared<WorkerPool>(workers);
  return pool_;
}

bool HostState::CheckGuards(const World& world, const char* role) {
  const std::vector<std::string> damage = world.GuardDamage();
  for (const std::string& text : damage) Error(std::string(role) + " " + text);
  return damage.empty();
}

// --- finding the host -------------------------------------------------------

HostState* CurrentHost() { return current_host; }

CurrentHostScope::CurrentHostScope(HostState* host) : previous_(current_host) { current_host = host; }
CurrentHostScope::~CurrentHostScope() { current_host = previous_; }

HostState* HostFromRef(PF_ProgPtr effect_ref, const char* caller) {
  HostState* current = current_host;
  if (current && effect_ref == &current->token) return current;
  if (current) {
    current->Error(std::string(caller) + " called with an effect_ref that is not this instance's");
    return nullptr;
  }
  // Outside EffectMain (a thread of the effect's own): trust our token only.
  const auto* token = static_cast<const EffectRefToken*>(effect_ref);
  if (token && token->magic == EffectRefToken::kMagic) return token->host;
  std::fprintf(stderr, "minihost: %s called with an unknown effect_ref outside EffectMain\n", caller);
  return nullptr;
}

HostState* HostForContextFreeCall(const char* caller) {
  if (!current_host) std::fprintf(stderr, "minihost: %s called outside EffectMain\n", caller);
  return current_host;
}

}  // namespace minihost
