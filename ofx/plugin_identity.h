// What hosts store and show of the plug-in: its identifier and version (a
// host project names the plug-in by these), its labels, and the parameter
// identifiers that projects save values under. Keep them stable.
#ifndef HUEWRIGHT_OFX_PLUGIN_IDENTITY_H
#define HUEWRIGHT_OFX_PLUGIN_IDENTITY_H

namespace huewright_ofx {

inline constexpr char kPluginIdentifier[] = "com.kestrow.HuewrightGenerator";
inline constexpr unsigned kVersionMajor = 1;
inline constexpr unsigned kVersionMinor = 0;
inline constexpr char kVersionLabel[] = "1.0";
inline constexpr char kPluginLabel[] = "Huewright Generator";
inline constexpr char kPluginGrouping[] = "Kestrow Productions";
inline constexpr char kPluginDescription[] =
    "Measures five brightness bands of each frame and paints their average colours as swatches near the bottom of "
    "the picture.";

inline constexpr char kSwatchesParam[] = "swatches";
inline constexpr char kGainParam[] = "gain";
inline constexpr char kMeasureParam[] = "measure";

// The gain's range and default are those of the After Effects slider.
inline constexpr double kGainMin = 0.001;
inline constexpr double kGainMax = 3.0;
inline constexpr double kGainDefault = 1.0;

}  // namespace huewright_ofx

#endif
