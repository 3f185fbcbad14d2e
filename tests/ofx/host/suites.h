// The suites the test host hands out, and the registry that tells the
// handles it gave from anything else.
#ifndef HUEWRIGHT_TESTS_OFX_HOST_SUITES_H
#define HUEWRIGHT_TESTS_OFX_HOST_SUITES_H

#include "api/ofx_image_effect.h"
#include "api/ofx_message.h"
#include "api/ofx_multithread.h"
#include "api/ofx_param.h"
#include "api/ofx_property.h"
#include "test_host.h"

namespace ofx_host {

const OfxPropertySuiteV1& PropertySuite();
const OfxImageEffectSuiteV1& ImageEffectSuite();
const OfxParameterSuiteV1& ParameterSuite();
const OfxMultiThreadSuiteV1& MultiThreadSuite();
const OfxMessageSuiteV1& MessageSuite();

// Live objects by kind, so that a stale or foreign handle is caught.
void RegisterObject(const void* object);
void UnregisterObject(const void* object);
bool IsLiveObject(const void* object);

// The host whose actions are running, for the suites that take no handle.
void SetCurrentHost(Host* host);
Host* CurrentHost();

// The output image of the render running on this thread.
void SetThreadOutput(HostImage* image);
HostImage* ThreadOutput();

}  // namespace ofx_host

#endif
