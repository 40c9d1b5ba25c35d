#include "rdap/bootstrap_store.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <system_error>

namespace torvane::rdap {
namespace {

namespace fs = std::filesystem;

// A bootstrap file is a few dozen KiB; anything far larger is not one.
constexpr std::uintmax_t kMaxFileSize = 16 * 1024 * 1024;

std::optional<std::string> ReadSmallFile(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error || size > kMaxFileSize) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return text;
}

BootstrapFile LoadShipped(const fs::path& folder, BootstrapKind kind) {
    const fs::path path = folder / BootstrapFileName(kind);
    const auto text = ReadSmallFile(path);
    if (!text) throw BootstrapError("cannot read " + path.string());
    return ParseBootstrapFile(kind, *text);
}

std::optional<BootstrapFile> LoadUser(const fs::path& folder, BootstrapKind kind) {
    if (folder.empty()) return std::nullopt;
    const auto text = ReadSmallFile(folder / BootstrapFileName(kind));
    if (!text) return std::nullopt;
    try {
        return ParseBootstrapFile(kind, *text);
    } catch (const BootstrapError&) {
        // A broken download must never stop the program: the snapshot serves.
        return std::nullopt;
    }
}

BootstrapFile LoadNewer(const fs::path& shippedFolder, const fs::path& userFolder, BootstrapKind kind) {
    BootstrapFile shipped = LoadShipped(shippedFolder, kind);
    std::optional<BootstrapFile> user = LoadUser(userFolder, kind);
    if (user && IsNewerPublication(user->publication, shipped.publication)) return std::move(*user);
    return shipped;
}

bool WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

}  // namespace

Bootstrap LoadBootstrap(const fs::path& shippedFolder, const fs::path& userFolder) {
    return Bootstrap(LoadNewer(shippedFolder, userFolder, BootstrapKind::dns),
                     LoadNewer(shippedFolder, userFolder, BootstrapKind::ipv4),
                     LoadNewer(shippedFolder, userFolder, BootstrapKind::ipv6),
                     LoadNewer(shippedFolder, userFolder, BootstrapKind::asn));
}

bool StoreBootstrapFile(const fs::path& userFolder, BootstrapKind kind, std::string_view json) {
    try {
        ParseBootstrapFile(kind, json);
    } catch (const BootstrapError&) {
        return false;
    }
    std::error_code error;
    fs::create_directories(userFolder, error);
    if (error) return false;
    const fs::path target = userFolder / BootstrapFileName(kind);
    // A name of its own, so two programs storing at once never share a half-written file.
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(std::random_device{}());
    if (!WriteFile(temporary, json)) {
        fs::remove(temporary, error);
        return false;
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

bool RefreshDue(const fs::path& userFolder, BootstrapKind kind, fs::file_time_type now) {
    std::error_code error;
    const fs::file_time_type written = fs::last_write_time(userFolder / BootstrapFileName(kind), error);
    return error || now - written >= kBootstrapRefreshInterval;
}

}  // namespace torvane::rdap
