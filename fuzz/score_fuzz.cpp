// The score file reader on arbitrary bytes: no crash, no hang, no exception;
// and whatever it accepts, it writes back into a file that reads the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "file/score_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const tsuzuri::ScoreRead read = tsuzuri::readScoreText(text);
    if (read.saved.operator bool() != read.error.empty())
        std::abort();  // refused without a message, or accepted with one
    if (!read.saved)
        return 0;
    const tsuzuri::ScoreRead again = tsuzuri::readScoreText(tsuzuri::writeScoreText(*read.saved));
    if (!again.saved || !(*again.saved == *read.saved))
        std::abort();
    return 0;
}
