#pragma once
// The WHOIS server directory and the choice of the first server of a run.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace torvane::query {

enum class EntryKind {
    Server,   // a host name to ask
    WebPage,  // the registry only has a web page
    None,     // no server known ("??")
};

// "??" is none; otherwise a value holding "http://" anywhere is a web page;
// anything else is a host name.
EntryKind ClassifyEntry(std::string_view value);

// The manual server box's own list, before the directory adds to it.
std::vector<std::string> DesignSuggestions();

class TServerDirectory {
  public:
    // Builds the lookup and the suggestion list from the built-in tables,
    // starting the suggestions from `designSuggestions`.
    explicit TServerDirectory(std::vector<std::string> designSuggestions = DesignSuggestions());

    // The entry for query text `query`, by its lower-cased last label: the
    // first suffix row found in it when that label is a suffix top-level
    // domain, else the top-level row; "??" when no row matches.
    std::string_view EntryFor(std::string_view query) const;

    // The entry of a top-level domain (any case, with its dot), or "??".
    std::string_view TopLevelEntry(std::string_view domain) const;

    // Distinct, sorted without regard to case, with no web page, no "??" and
    // not the .com row's value.
    const std::vector<std::string>& Suggestions() const { return suggestions_; }

  private:
    void AddSuggestion(std::string_view value);

    std::map<std::string, std::string_view, std::less<>> topLevel_;  // lower-case key
    std::vector<std::string> suggestions_;
};

struct ServerChoice {
    enum class Outcome {
        Server,          // ask `value` the query text
        Address,         // ask the three address registries the typed line
        NoManualServer,  // manual server chosen but none given
        WebPage,         // `value` is the registry's web page
        None,            // no server known
    };
    Outcome outcome;
    std::string value;  // host or web page; empty for the other outcomes
};

// Chooses the first server for query text `query` and display name
// `display`. With `manual` set, the trimmed `manualHost` wins for names and
// addresses alike, unless it is empty or exactly "whois.".
ServerChoice SelectWhoisServer(const TServerDirectory& directory, std::string_view query,
                               std::string_view display, bool manual, std::string_view manualHost);

}  // namespace torvane::query
