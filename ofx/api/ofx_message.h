// The message suite, optional: how a plug-in tells the user why a render
// failed.
#ifndef HUEWRIGHT_OFX_API_OFX_MESSAGE_H
#define HUEWRIGHT_OFX_API_OFX_MESSAGE_H

#include "ofx_core.h"

inline constexpr char kOfxMessageSuite[] = "OfxMessageSuite";
inline constexpr char kOfxMessageError[] = "OfxMessageError";

struct OfxMessageSuiteV1 {
  // handle is the effect instance, or null for a message about the plug-in.
  OfxStatus (*message)(void* handle, const char* messageType, const char* messageId, const char* format, ...);
};

#endif
