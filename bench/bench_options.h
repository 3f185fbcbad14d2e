// What frame_bench and frei0r_bench share: their command line (positional
// arguments, --quick, --case TEXT, --cpu-time) and the median they report.
#ifndef HUEWRIGHT_BENCH_BENCH_OPTIONS_H
#define HUEWRIGHT_BENCH_BENCH_OPTIONS_H

#include <algorithm>
#include <string>
#include <vector>

struct BenchOptions {
  std::vector<std::string> positional;
  bool quick = false;
  bool cpu_time = false;
  std::string only;  // --case: rows containing this text

  bool Selected(const std::string& row) const { return row.find(only) != std::string::npos; }
};

inline BenchOptions ParseBenchOptions(int argc, char** argv) {
  BenchOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--quick")
      options.quick = true;
    else if (arg == "--cpu-time")
      options.cpu_time = true;
    else if (arg == "--case" && i + 1 < argc)
      options.only = argv[++i];
    else
      options.positional.push_back(arg);
  }
  return options;
}

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

#endif
