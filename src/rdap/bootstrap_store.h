#pragma once
// The bootstrap files on disk: the snapshot shipped with the program and the
// newer copies fetched from IANA into the user's data folder.

#include <chrono>
#include <filesystem>
#include <string_view>

#include "rdap/bootstrap.h"

namespace torvane::rdap {

// How old a user copy may get before RefreshDue asks for a new one.
inline constexpr std::chrono::hours kBootstrapRefreshInterval{24 * 7};

// Reads the four files. For each kind, the copy in `userFolder` replaces the
// one in `shippedFolder` when its publication is newer; a user copy that is
// missing, unreadable or malformed is passed over (an empty `userFolder`
// means there is none). Throws BootstrapError
// when a shipped file is missing, unreadable or malformed.
Bootstrap LoadBootstrap(const std::filesystem::path& shippedFolder,
                        const std::filesystem::path& userFolder);

// Stores a file fetched from IANA as `userFolder`/BootstrapFileName(kind):
// parses it first, then writes a temporary file beside the target and
// renames it over the target, creating the folder if needed. Returns false
// (never throws) when the text does not parse as a file of `kind` or the
// folder cannot be written; the folder then holds what it held before.
bool StoreBootstrapFile(const std::filesystem::path& userFolder, BootstrapKind kind,
                        std::string_view json);

// True when the user copy of `kind` is missing or its file time is
// kBootstrapRefreshInterval or more before `now`.
bool RefreshDue(const std::filesystem::path& userFolder, BootstrapKind kind,
                std::filesystem::file_time_type now = std::filesystem::file_time_type::clock::now());

}  // namespace torvane::rdap
