#include "string_table.h"

const StringTableEntry StringTable[kStringTableSize] = {
    {StrID_NONE, ""},
    {StrID_Name, "HUEWRIGHT"},
    {StrID_Description, "Sorts every pixel into five brightness bands and paints each band's average colour as a swatch."},
    {StrID_Gain_Param_Name, "Gain"},
    {StrID_Color_Param_Name, "Color"},
};

const char* LookupString(int index) {
  if (index < 0 || index >= kStringTableSize) return "";
  return StringTable[index].text;
}
