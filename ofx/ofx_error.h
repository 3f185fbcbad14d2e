// A failed step inside an action: the status the action answers and a
// sentence for the user. Thrown inside the plug-in, caught at its entry.
#ifndef HUEWRIGHT_OFX_OFX_ERROR_H
#define HUEWRIGHT_OFX_OFX_ERROR_H

#include <stdexcept>
#include <string>

#include "api/ofx_core.h"

namespace huewright_ofx {

class OfxError : public std::runtime_error {
 public:
  OfxError(OfxStatus status, const std::string& message) : std::runtime_error(message), status_(status) {}
  OfxStatus status() const { return status_; }

 private:
  OfxStatus status_;
};

// Throws OfxError(status, what + ": status N") unless status is kOfxStatOK.
void Check(OfxStatus status, const char* what);

}  // namespace huewright_ofx

#endif
