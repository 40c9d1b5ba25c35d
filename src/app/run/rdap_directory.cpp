#include "app/run/rdap_directory.h"

#include <cstdlib>
#include <fstream>
#include <system_error>

#include "net/rdap_cli.h"
#include "rdap/bootstrap_store.h"

namespace torvane::run {

namespace {

constexpr const char* kStampName = "last-refresh";

bool RoundDue(const std::filesystem::path& user) {
    std::error_code error;
    const auto stamped = std::filesystem::last_write_time(user / kStampName, error);
    return error ||
           std::filesystem::file_time_type::clock::now() - stamped >= rdap::kBootstrapRefreshInterval;
}

void Stamp(const std::filesystem::path& user) {
    std::error_code error;
    std::filesystem::create_directories(user, error);
    std::ofstream(user / kStampName, std::ios::trunc);
}

}  // namespace

TRdapDirectory::TRdapDirectory(std::filesystem::path shipped, std::filesystem::path user,
                               bool refresh)
    : shipped_(std::move(shipped)), user_(std::move(user)), refresh_(refresh) {}

TRdapDirectory::~TRdapDirectory() = default;

const rdap::Bootstrap* TRdapDirectory::Bootstrap() {
    if (!loaded_) {
        loaded_ = true;
        try {
            bootstrap_ = rdap::LoadBootstrap(shipped_, user_);
        } catch (const std::exception&) {
            // A broken installation loses RDAP, not the run.
            bootstrap_.reset();
        }
    }
    return bootstrap_ ? &*bootstrap_ : nullptr;
}

void TRdapDirectory::RefreshIfDue() {
    if (!refresh_ || user_.empty() || running_ > 0 || !RoundDue(user_)) return;
    std::vector<rdap::BootstrapKind> due;
    for (rdap::BootstrapKind kind : rdap::kBootstrapKinds)
        if (rdap::RefreshDue(user_, kind)) due.push_back(kind);
    if (due.empty()) return;
    Stamp(user_);
    fetches_.clear();
    for (rdap::BootstrapKind kind : due) {
        ++running_;
        fetches_.push_back(net::FetchBody(
            rdap::BootstrapSourceUrl(kind), [this, kind](std::optional<std::string> body) {
                --running_;
                if (body && rdap::StoreBootstrapFile(user_, kind, *body)) loaded_ = false;
            }));
    }
}

bool TRdapDirectory::Refreshing() const { return running_ > 0; }

std::unique_ptr<TRdapDirectory> ProgramRdapDirectory(const std::filesystem::path& programDir,
                                                     const std::filesystem::path& userDataDir,
                                                     bool refresh) {
    if (const char* fixed = std::getenv("TORVANE_RDAP_BOOTSTRAP"); fixed && *fixed)
        return std::make_unique<TRdapDirectory>(fixed, std::filesystem::path(), false);
    std::filesystem::path shipped = programDir / "rdap";
    if (!std::filesystem::exists(shipped / "dns.json"))
        shipped = programDir / ".." / "share" / "torvane" / "rdap";
    return std::make_unique<TRdapDirectory>(
        shipped, userDataDir.empty() ? std::filesystem::path() : userDataDir / "rdap", refresh);
}

}  // namespace torvane::run
