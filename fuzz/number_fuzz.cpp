// The octave field's number parsing on arbitrary text: always a setting 0..8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "view/controls.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const int setting = tsuzuri::octaveSettingFromText(text);
    if (setting < 0 || setting > 8)
        std::abort();
    return 0;
}
