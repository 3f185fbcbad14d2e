// Build-time tool: writes the property list bytes of pipl_data.h to the file
// named by its one argument, for the resource compiler to embed. It runs on
// the build machine, also in the Windows cross build.
#include <cstdio>

#include "pipl_data.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(pipl::kBytes.data(), 1, pipl::kBytes.size(), file) == pipl::kBytes.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::fprintf(stderr, "%s: write failed\n", argv[1]);
    std::remove(argv[1]);
    return 1;
  }
  return 0;
}
