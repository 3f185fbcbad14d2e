// The multithread suite, optional: a host without it renders on the
// calling thread.
#ifndef HUEWRIGHT_OFX_API_OFX_MULTITHREAD_H
#define HUEWRIGHT_OFX_API_OFX_MULTITHREAD_H

#include "ofx_core.h"

inline constexpr char kOfxMultiThreadSuite[] = "OfxMultiThreadSuite";

using OfxMutexHandle = struct OfxMutex*;
using OfxThreadFunctionV1 = void(unsigned int threadIndex, unsigned int threadMax, void* customArg);

struct OfxMultiThreadSuiteV1 {
  // Runs func on nThreads threads and returns once every one has returned.
  OfxStatus (*multiThread)(OfxThreadFunctionV1 func, unsigned int nThreads, void* customArg);
  OfxStatus (*multiThreadNumCPUs)(unsigned int* nCPUs);
  OfxStatus (*multiThreadIndex)(unsigned int* threadIndex);
  int (*multiThreadIsSpawnedThread)();
  OfxStatus (*mutexCreate)(OfxMutexHandle* mutex, int lockCount);
  OfxStatus (*mutexDestroy)(OfxMutexHandle mutex);
  OfxStatus (*mutexLock)(OfxMutexHandle mutex);
  OfxStatus (*mutexUnLock)(OfxMutexHandle mutex);
  OfxStatus (*mutexTryLock)(OfxMutexHandle mutex);
};

#endif
