// The MML text tools on arbitrary bytes: no crash, no hang, and length letters
// that come back as they went for texts without the letters a..n.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "mml/length_letters.h"
#include "mml/optimizer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    tsuzuri::optimizeMml(text, false);
    tsuzuri::optimizeMml(text, true);
    tsuzuri::deletter(tsuzuri::enletter(text, true));
    bool hasLetters = false;
    for (char c : text)
        hasLetters = hasLetters || (c >= 'a' && c <= 'n');
    if (!hasLetters && tsuzuri::deletter(tsuzuri::enletter(text, false)) != text)
        std::abort();
    return 0;
}
