// The smallest form of the wrong code GCC 12 emits for the scalar reference
// (palette/scalar_reference.cpp) without -fno-tree-slp-vectorize: two
// neighbouring values rounded to float and widened back to double. Its
// basic-block vectoriser pairs the two conversions and then drops them, so
// the function returns its arguments unchanged (at -O2 the body is a bare
// "ret"). See docs/compiler-notes.md.
//
//   float_rounding_repro --expect-kept     0 when the roundings happen, else 1
//   float_rounding_repro --expect-dropped  0 when they are dropped (the
//                                           compiler still needs the flag),
//                                           77 when they happen (it does not)
#include <cstdio>
#include <cstring>

struct Pair {
  double first, second;
};

// Kept apart from its callers (no inlining, no copies specialised for
// constant arguments), so that the body is compiled as it stands.
[[gnu::noipa]] Pair RoundedToFloat(double a, double b) {
  return {double(static_cast<float>(a)), double(static_cast<float>(b))};
}

namespace {
constexpr int kSkipped = 77;
}  // namespace

int main(int argc, char** argv) {
  const bool expect_kept = argc == 2 && std::strcmp(argv[1], "--expect-kept") == 0;
  const bool expect_dropped = argc == 2 && std::strcmp(argv[1], "--expect-dropped") == 0;
  if (!expect_kept && !expect_dropped) {
    std::fprintf(stderr, "usage: %s --expect-kept | --expect-dropped\n", argv[0]);
    return 2;
  }
  // 0.1 and 0.2 are not floats: rounding moves both.
  volatile double a = 0.1, b = 0.2;
  const Pair pair = RoundedToFloat(a, b);
  const bool kept = pair.first == double(0.1f) && pair.second == double(0.2f);
  std::printf("double(float(0.1)) gave %.17g, double(float(0.2)) gave %.17g: the roundings were %s\n", pair.first,
              pair.second, kept ? "kept" : "dropped");
  if (expect_kept) return kept ? 0 : 1;
  if (kept) std::printf("this compiler no longer needs -fno-tree-slp-vectorize on palette_reference\n");
  return kept ? kSkipped : 0;
}
