#pragma once
// Where a run finds the RDAP services: IANA's bootstrap files, the snapshot
// shipped with the program and the newer copies fetched into the user's data
// folder, loaded on first use and refreshed in the background.

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "rdap/bootstrap.h"

namespace torvane::net {
class TRdapCli;
}

namespace torvane::run {

class TRdapDirectory {
  public:
    // `shipped`: the snapshot's folder. `user`: the folder of fetched copies;
    // empty for none. `refresh`: whether this program fetches newer copies
    // (a short-lived one would abandon its fetches).
    TRdapDirectory(std::filesystem::path shipped, std::filesystem::path user, bool refresh);
    ~TRdapDirectory();
    TRdapDirectory(const TRdapDirectory&) = delete;
    TRdapDirectory& operator=(const TRdapDirectory&) = delete;

    // The services, read on first use and again after a refresh stored a
    // newer file. Null when the snapshot cannot be read: no RDAP then.
    const rdap::Bootstrap* Bootstrap();

    // Starts fetching, in the background, every file whose user copy is
    // missing or a week old, unless a round was started less than a week
    // ago (a stamp file in the user folder says when; a failed fetch waits
    // for the next week too). A fetched file replaces the user copy only
    // when it parses. Needs the Qt event loop to go on.
    void RefreshIfDue();
    // True while fetches of a round are still running.
    bool Refreshing() const;

  private:
    std::filesystem::path shipped_;
    std::filesystem::path user_;
    bool refresh_;
    std::optional<rdap::Bootstrap> bootstrap_;
    bool loaded_ = false;
    std::vector<std::unique_ptr<net::TRdapCli>> fetches_;
    int running_ = 0;
};

// The directory of a program in `programDir`: the folder named by
// TORVANE_RDAP_BOOTSTRAP when that is set (a fixed set of files, never
// refreshed: for tests and diagnostics), else "rdap" beside the program or
// the installed "share/torvane/rdap", with newer copies kept in
// `userDataDir`/rdap and fetched there when `refresh`.
std::unique_ptr<TRdapDirectory> ProgramRdapDirectory(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& userDataDir,
                                                     bool refresh);

}  // namespace torvane::run
