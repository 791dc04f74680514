#pragma once
// The seven values of the settings key, each a REG_DWORD, in the order the
// start reads them and the close writes them: one table for the store and
// for the workstation check, so that neither keeps a list of its own.
#include <cstddef>
#include <cstdint>
#include <string>

namespace settings {

enum class ValueKind {
    Coordinate,  // any number: the placement rules decide what it means
    Option,      // on when its lower 16 bits are not all zero
    ListIndex,   // an item of a drop-down list, or -1 for none
};

struct ValueRule {
    const char* name;
    ValueKind kind;
    int items;  // a list's number of items; 0 for the other kinds
};

namespace value {
enum Index : std::size_t { X, Y, EndoScan, CustomScan, ScanParmUnsharpMask, IntraRes, ExtraRes, Count };
}

inline constexpr ValueRule kStoredValues[value::Count] = {
    {"X", ValueKind::Coordinate, 0},
    {"Y", ValueKind::Coordinate, 0},
    {"EndoScan", ValueKind::Option, 0},
    {"CustomScan", ValueKind::Option, 0},
    {"ScanParmUnsharpMask", ValueKind::Option, 0},
    {"IntraRes", ValueKind::ListIndex, 3},  // "150", "300", "600"
    {"ExtraRes", ValueKind::ListIndex, 2},  // "150", "300"
};

inline constexpr const char* NameOf(value::Index index) { return kStoredValues[index].name; }

// Why a stored number does not mean what the value is for ("names no item
// of its list of 3 items"); empty when it does.
std::string OutOfRange(const ValueRule& rule, std::int32_t stored);

}  // namespace settings
