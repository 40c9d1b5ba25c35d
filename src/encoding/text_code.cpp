#include "encoding/text_code.h"

#include <array>

namespace torvane::encoding {

std::string_view TextCodeName(TextCode code) {
    static constexpr std::array<std::string_view, 11> kNames = {
        "tcAscii",     "tcNonText", "tcJis",     "tcJisOld",  "tcEuc", "tcSjis",
        "tcEucOrSjis", "tcUtf16Le", "tcUtf16Be", "tcUtf8Bom", "tcUtf8"};
    const auto index = static_cast<int>(code);
    if (index < 0 || index >= static_cast<int>(kNames.size())) return "?";
    return kNames[static_cast<std::size_t>(index)];
}

}  // namespace torvane::encoding
