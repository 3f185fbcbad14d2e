#include "host_suites.h"

#include <mutex>

#include "ofx_error.h"

namespace huewright_ofx {

namespace {

struct HostState {
  std::mutex lock;
  OfxHost* host = nullptr;
  HostSuites suites;
  bool fetched = false;
};

HostState& State() {
  static HostState state;
  return state;
}

template <class Suite>
const Suite* Fetch(OfxHost* host, const char* name) {
  return static_cast<const Suite*>(host->fetchSuite(host->host, name, 1));
}

HostSuites FetchAll(OfxHost* host) {
  if (!host || !host->fetchSuite) throw OfxError(kOfxStatErrMissingHostFeature, "the host gave no suite fetcher");
  HostSuites suites;
  suites.property = Fetch<OfxPropertySuiteV1>(host, kOfxPropertySuite);
  suites.image_effect = Fetch<OfxImageEffectSuiteV1>(host, kOfxImageEffectSuite);
  suites.param = Fetch<OfxParameterSuiteV1>(host, kOfxParameterSuite);
  suites.multithread = Fetch<OfxMultiThreadSuiteV1>(host, kOfxMultiThreadSuite);
  suites.message = Fetch<OfxMessageSuiteV1>(host, kOfxMessageSuite);
  if (!suites.property || !suites.image_effect || !suites.param)
    throw OfxError(kOfxStatErrMissingHostFeature, "the host lacks the property, image effect or parameter suite");
  return suites;
}

}  // namespace

void SetHost(OfxHost* host) {
  HostState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  state.host = host;
  state.fetched = false;
  state.suites = {};
}

const HostSuites& Suites() {
  HostState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  if (!state.fetched) {
    state.suites = FetchAll(state.host);
    state.fetched = true;
  }
  return state.suites;
}

void ForgetSuites() {
  HostState& state = State();
  std::lock_guard<std::mutex> hold(state.lock);
  state.fetched = false;
  state.suites = {};
}

void Check(OfxStatus status, const char* what) {
  if (status != kOfxStatOK) throw OfxError(status, std::string(what) + ": status " + std::to_string(status));
}

}  // namespace huewright_ofx
