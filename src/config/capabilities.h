#pragma once
// The capability flags as the properties dialog edits them: nine check boxes for the bits
// 1 to 256. Every other bit of a value (512 is the plugin interface's encryption bit,
// and plugins may report more) has no box and passes through an edit unchanged.
#include <cstdint>

namespace pakvane {

constexpr int kCapabilityBoxCount = 9;
constexpr std::int32_t kCapabilityBoxBits = 0x1FF;  // 1 + 2 + ... + 256

// The bit of box index (0 for the first box).
constexpr std::int32_t CapabilityBit(int box)
{
    return std::int32_t{1} << box;
}

constexpr bool IsCapabilityBoxTicked(std::int32_t value, int box)
{
    return (value & CapabilityBit(box)) != 0;
}

// The value after box `box` was ticked or cleared; the bits without a box stay as they are.
constexpr std::int32_t WithCapabilityBox(std::int32_t value, int box, bool ticked)
{
    return ticked ? (value | CapabilityBit(box)) : (value & ~CapabilityBit(box));
}

}  // namespace pakvane
