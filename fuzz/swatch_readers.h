// Readers of the swatch files, written from the published layouts rather
// than from the writers: each reads a file back and compares it with the
// groups it was written from. Names are compared as a reader of that format
// decodes them (UTF-16 units for .ase, CSS escapes for .css), so a name that
// is cut, merged into a neighbour or spilled into the syntax shows.
#ifndef HUEWRIGHT_FUZZ_SWATCH_READERS_H
#define HUEWRIGHT_FUZZ_SWATCH_READERS_H

#include <string>
#include <vector>

#include "swatch_export.h"

namespace fuzz {

struct ReadResult {
  bool ok = true;
  std::string fault;  // the first difference found
};

// True when a group or colour name needs more UTF-16 units than an .ase
// name's 16-bit length can count.
bool AseCannotHold(const std::vector<huewright::SwatchGroup>& groups);

ReadResult ReadAse(const std::string& bytes, const std::vector<huewright::SwatchGroup>& groups);
ReadResult ReadGpl(const std::string& text, const std::vector<huewright::SwatchGroup>& groups);
ReadResult ReadCss(const std::string& text, const std::vector<huewright::SwatchGroup>& groups);

}  // namespace fuzz

#endif
