// The typed line's way to a server: CleanQueryText, CutToRegisteredDomain,
// IsIPAddress and SelectWhoisServer on arbitrary lines and manual servers;
// RecognizeQuery, whose IPv6 and AS texts must read back as themselves.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "query/normalize.h"
#include "query/number_resources.h"
#include "query/registries.h"
#include "query/server_directory.h"

using namespace torvane::query;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TServerDirectory directory;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    // The part before the first newline is the typed line, the rest the
    // manual server box.
    const std::size_t cut = input.find('\n');
    const std::string_view typed = input.substr(0, cut);
    const std::string_view manual = cut == std::string_view::npos ? "" : input.substr(cut + 1);

    const std::string display = CleanQueryText(typed);
    FUZZ_CHECK(display.size() <= typed.size());
    const std::string domain = CutToRegisteredDomain(display);
    FUZZ_CHECK(domain.size() <= display.size());
    IsIPAddress(typed);
    for (bool useManual : {false, true}) {
        const ServerChoice choice =
            SelectWhoisServer(directory, domain, display, useManual, manual);
        if (choice.outcome == ServerChoice::Outcome::Server ||
            choice.outcome == ServerChoice::Outcome::WebPage) {
            FUZZ_CHECK(!choice.value.empty());
        }
    }
    const RecognizedQuery query = RecognizeQuery(typed);
    if (query.kind == QueryKind::IPv6) {
        const auto again = ParseIpv6Address(query.text);
        FUZZ_CHECK(again && again->text == query.text && again->bytes == query.ipv6->bytes);
    } else if (query.kind == QueryKind::AsNumber) {
        FUZZ_CHECK(ParseAsNumber(query.text) == query.asNumber);
    } else {
        FUZZ_CHECK(query.text == display);
    }
    FUZZ_CHECK(!WhoisQueryFor(manual, query).empty() || query.text.empty());
    RirFromRdapUrl(typed);
    directory.EntryFor(typed);
    directory.TopLevelEntry(typed);
    ClassifyEntry(typed);
    return 0;
}
