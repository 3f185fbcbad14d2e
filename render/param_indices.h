// Where the effect's parameters sit in the host's parameter array. The
// render pipelines read them by these indices; entry/ declares them to the
// host in this order.
#ifndef HUEWRIGHT_RENDER_PARAM_INDICES_H
#define HUEWRIGHT_RENDER_PARAM_INDICES_H

// The host puts the input layer at 0 by itself.
enum ParamIndex { PARAM_INPUT = 0, PARAM_ENABLE = 1, PARAM_GAIN = 2, PARAM_SEED = 3, PARAM_COUNT = 4 };

#endif
