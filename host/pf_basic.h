// Scalar types, error codes, command selectors and flags of the effect
// plug-in interface, declared by their published names. Plain C, fixed width.
#ifndef HUEWRIGHT_HOST_PF_BASIC_H
#define HUEWRIGHT_HOST_PF_BASIC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t A_long;
typedef uint32_t A_u_long;
typedef int16_t A_short;
typedef uint16_t A_u_short;
typedef char A_char;
typedef uint8_t A_u_char;
typedef int32_t A_Err;

typedef int32_t PF_Err;
typedef int32_t PF_Cmd;
typedef uint8_t PF_Boolean;
typedef int32_t PF_ParamIndex;
typedef int32_t PF_ParamType;
typedef int32_t PF_OutFlags;
typedef int32_t PF_OutFlags2;
typedef int32_t PF_Quality;
typedef int32_t PF_Field;
typedef int32_t PF_ChannelMask;
typedef int32_t PF_NewWorldFlags;
typedef int32_t PF_WorldFlags;
typedef double PF_FpLong;
typedef float PF_FpShort;
typedef void* PF_ProgPtr;  // the host's opaque reference to one effect instance
typedef void* PF_Handle;
typedef void* PF_PluginDataPtr;

// Error codes the host and the effect exchange.
enum {
  PF_Err_NONE = 0,
  A_Err_MISSING_SUITE = 13,
  PF_Err_OUT_OF_MEMORY = 4,
  PF_Err_INTERNAL_STRUCT_DAMAGED = 512,
  PF_Err_INVALID_INDEX = 513,
  PF_Err_UNRECOGNIZED_PARAM_TYPE = 514,
  PF_Err_INVALID_CALLBACK = 515,
  PF_Err_BAD_CALLBACK_PARAM = 516,
  PF_Interrupt_CANCEL = 517
};

// Command selectors.
enum {
  PF_Cmd_ABOUT = 0,
  PF_Cmd_GLOBAL_SETUP = 1,
  PF_Cmd_UNUSED_0 = 2,
  PF_Cmd_GLOBAL_SETDOWN = 3,
  PF_Cmd_PARAMS_SETUP = 4,
  PF_Cmd_SEQUENCE_SETUP = 5,
  PF_Cmd_SEQUENCE_RESETUP = 6,
  PF_Cmd_SEQUENCE_FLATTEN = 7,
  PF_Cmd_SEQUENCE_SETDOWN = 8,
  PF_Cmd_DO_DIALOG = 9,
  PF_Cmd_FRAME_SETUP = 10,
  PF_Cmd_RENDER = 11,
  PF_Cmd_FRAME_SETDOWN = 12,
  PF_Cmd_USER_CHANGED_PARAM = 13,
  PF_Cmd_UPDATE_PARAMS_UI = 14,
  PF_Cmd_EVENT = 15,
  PF_Cmd_GET_EXTERNAL_DEPENDENCIES = 16,
  PF_Cmd_COMPLETELY_GENERAL = 17,
  PF_Cmd_QUERY_DYNAMIC_FLAGS = 18,
  PF_Cmd_AUDIO_RENDER = 19,
  PF_Cmd_AUDIO_SETUP = 20,
  PF_Cmd_AUDIO_SETDOWN = 21,
  PF_Cmd_ARBITRARY_CALLBACK = 22,
  PF_Cmd_SMART_PRE_RENDER = 23,
  PF_Cmd_SMART_RENDER = 24
};

// Out flags.
enum {
  PF_OutFlag_NONE = 0,
  PF_OutFlag_DISPLAY_ERROR_MESSAGE = 1 << 8,
  PF_OutFlag_DEEP_COLOR_AWARE = 1 << 25
};

enum {
  PF_OutFlag2_NONE = 0,
  PF_OutFlag2_SUPPORTS_SMART_RENDER = 1 << 10,
  PF_OutFlag2_FLOAT_COLOR_AWARE = 1 << 12,
  PF_OutFlag2_SUPPORTS_THREADED_RENDERING = 1 << 27
};

enum { PF_Quality_LO = 0, PF_Quality_HI = 1 };

enum {
  PF_ChannelMask_ALPHA = 1,
  PF_ChannelMask_RED = 2,
  PF_ChannelMask_GREEN = 4,
  PF_ChannelMask_BLUE = 8
};

enum { PF_NewWorldFlag_NONE = 0, PF_NewWorldFlag_CLEAR_PIXELS = 1, PF_NewWorldFlag_DEEP_PIXELS = 2 };

enum { PF_WorldFlag_DEEP = 1, PF_WorldFlag_WRITEABLE = 2 };

// Parameter types and slider precisions.
enum {
  PF_Param_LAYER = 0,
  PF_Param_SLIDER = 1,
  PF_Param_FIX_SLIDER = 2,
  PF_Param_ANGLE = 3,
  PF_Param_CHECKBOX = 4,
  PF_Param_COLOR = 5,
  PF_Param_POINT = 6,
  PF_Param_POPUP = 7,
  PF_Param_FLOAT_SLIDER = 10
};

enum { PF_Precision_INTEGER = 0, PF_Precision_TENTHS = 1, PF_Precision_HUNDREDTHS = 2 };

enum { PF_MAX_EFFECT_PARAM_NAME_LEN = 31, PF_MAX_EFFECT_MSG_LEN = 255 };

// A rectangle in pixels; empty when left >= right or top >= bottom.
typedef struct PF_LRect {
  A_long left, top, right, bottom;
} PF_LRect;
typedef PF_LRect PF_Rect;
typedef PF_LRect PF_UnionableRect;

typedef struct PF_RationalScale {
  A_long num;
  A_u_long den;
} PF_RationalScale;

// Registration and application codes put the first character in the most
// significant byte ('PrMr' is 0x50724D72).
#define PF_FOUR_CHAR_CODE(a, b, c, d) \
  ((A_long)(((uint32_t)(a) << 24) | ((uint32_t)(b) << 16) | ((uint32_t)(c) << 8) | (uint32_t)(d)))

#define PF_APPL_ID_PREMIERE PF_FOUR_CHAR_CODE('P', 'r', 'M', 'r')
#define PF_APPL_ID_AFTER_EFFECTS PF_FOUR_CHAR_CODE('F', 'X', 'T', 'C')

#ifdef __cplusplus
}
#endif

#endif
