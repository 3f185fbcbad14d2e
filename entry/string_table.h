// The effect's small string table: the name and description of the About text.
#ifndef HUEWRIGHT_ENTRY_STRING_TABLE_H
#define HUEWRIGHT_ENTRY_STRING_TABLE_H

#include <cstdint>

struct StringTableEntry {
  int32_t id;
  char text[256];
};

inline constexpr int kStringTableSize = 5;
extern const StringTableEntry StringTable[kStringTableSize];

// The text at position index (ids equal positions); "" outside the table.
const char* LookupString(int index);

enum StringId { StrID_NONE = 0, StrID_Name = 1, StrID_Description = 2, StrID_Gain_Param_Name = 3,
                StrID_Color_Param_Name = 4 };

#endif
