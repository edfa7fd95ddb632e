// The window skin: the carried skin library, loaded from memory, applies the
// carried skin data to the user-interface thread's windows, those that exist
// now and those created later.
#pragma once

#include <cstdint>
#include <span>

namespace skin {

// Start-up's skin step. Any failure leaves the program unskinned.
void ApplySkin();

// Drops start-up's copy of the skin data; the library keeps what it needs.
void ReleaseSkinData();

// The step itself, over any library image and data: false when the library
// does not load or lacks AttachSkinData.
bool ApplySkinWith(std::span<const uint8_t> library, std::span<const uint8_t> data);

}  // namespace skin
