#include "query/server_directory.h"

#include <algorithm>

#include "query/ascii_text.h"
#include "query/directory_data.h"
#include "query/normalize.h"
#include "query/well_known_servers.h"

namespace torvane::query {

namespace {

constexpr std::string_view kNoServer = "??";
constexpr std::string_view kWebMarker = "http://";
constexpr std::string_view kEmptyManualHost = "whois.";

bool IsSuffixTopLevelDomain(std::string_view domain) {
    return std::find(kSuffixTopLevelDomains.begin(), kSuffixTopLevelDomains.end(), domain) !=
           kSuffixTopLevelDomains.end();
}

std::string_view ComValue() {
    const auto row = std::find_if(kTopLevelRows.begin(), kTopLevelRows.end(),
                                  [](const DirectoryRow& r) { return r.key == ".com"; });
    return row->value;
}

}  // namespace

EntryKind ClassifyEntry(std::string_view value) {
    if (value == kNoServer) return EntryKind::None;
    if (value.find(kWebMarker) != std::string_view::npos) return EntryKind::WebPage;
    return EntryKind::Server;
}

std::vector<std::string> DesignSuggestions() {
    return {std::string(kJprsServer), std::string(kInternicServer),
            "whois.nic.uk",           "whois.dns.be",
            "whois.nic.fr",           std::string(kRipeServer),
            std::string(kArinServer), std::string(kApnicServer)};
}

TServerDirectory::TServerDirectory(std::vector<std::string> designSuggestions) {
    for (const std::string& value : designSuggestions) AddSuggestion(value);
    AddSuggestion(kJpnicServer);
    const std::string_view comValue = ComValue();
    for (const DirectoryRow& row : kTopLevelRows) {
        topLevel_.emplace(ToLowerAscii(row.key), row.value);
        // The .com row names a registrar's server, not one to offer for any name.
        if (row.value != comValue) AddSuggestion(row.value);
    }
    for (const DirectoryRow& row : kSuffixRows) AddSuggestion(row.value);
}

void TServerDirectory::AddSuggestion(std::string_view value) {
    if (ClassifyEntry(value) != EntryKind::Server) return;
    const auto less = [](const std::string& a, std::string_view b) {
        return CompareIgnoreCase(a, b) < 0;
    };
    const auto at = std::lower_bound(suggestions_.begin(), suggestions_.end(), value, less);
    if (at != suggestions_.end() && EqualsIgnoreCase(*at, value)) return;
    suggestions_.insert(at, std::string(value));
}

std::string_view TServerDirectory::TopLevelEntry(std::string_view domain) const {
    const auto row = topLevel_.find(ToLowerAscii(domain));
    return row == topLevel_.end() ? kNoServer : row->second;
}

std::string_view TServerDirectory::EntryFor(std::string_view query) const {
    const std::string domain = ToLowerAscii(LastLabel(query));
    if (IsSuffixTopLevelDomain(domain)) {
        for (const DirectoryRow& row : kSuffixRows) {
            if (FindText(query, row.key) != std::string_view::npos) return row.value;
        }
    }
    return TopLevelEntry(domain);
}

ServerChoice SelectWhoisServer(const TServerDirectory& directory, std::string_view query,
                               std::string_view display, bool manual, std::string_view manualHost) {
    using Outcome = ServerChoice::Outcome;
    if (manual) {
        const std::string_view host = Trim(manualHost);
        if (host.empty() || host == kEmptyManualHost) return {Outcome::NoManualServer, {}};
        return {Outcome::Server, std::string(host)};
    }
    if (IsIPAddress(display)) return {Outcome::Address, {}};
    const std::string_view entry = directory.EntryFor(query);
    switch (ClassifyEntry(entry)) {
        case EntryKind::None:
            return {Outcome::None, {}};
        case EntryKind::WebPage:
            return {Outcome::WebPage, std::string(entry)};
        case EntryKind::Server:
            break;
    }
    return {Outcome::Server, std::string(entry)};
}

}  // namespace torvane::query
