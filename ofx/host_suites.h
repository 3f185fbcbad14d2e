// The suites the plug-in fetched from its host: three it cannot work
// without, two it uses when the host has them.
#ifndef HUEWRIGHT_OFX_HOST_SUITES_H
#define HUEWRIGHT_OFX_HOST_SUITES_H

#include "api/ofx_core.h"
#include "api/ofx_image_effect.h"
#include "api/ofx_message.h"
#include "api/ofx_multithread.h"
#include "api/ofx_param.h"
#include "api/ofx_property.h"

namespace huewright_ofx {

struct HostSuites {
  const OfxPropertySuiteV1* property = nullptr;
  const OfxImageEffectSuiteV1* image_effect = nullptr;
  const OfxParameterSuiteV1* param = nullptr;
  const OfxMultiThreadSuiteV1* multithread = nullptr;  // optional
  const OfxMessageSuiteV1* message = nullptr;          // optional
};

// Called by the host before anything else; a new host replaces the old one
// and its suites.
void SetHost(OfxHost* host);

// The suites, fetched on first use (hosts are meant to send the load action
// first; some describe straight away). Throws OfxError
// (kOfxStatErrMissingHostFeature) when a required suite is missing.
const HostSuites& Suites();

// Drops the fetched suites (unload): a later load fetches them again.
void ForgetSuites();

}  // namespace huewright_ofx

#endif
