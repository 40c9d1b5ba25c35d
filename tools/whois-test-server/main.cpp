// whois-test-server: runs the loopback WHOIS test servers described on the
// command line until SIGINT/SIGTERM or --duration.

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <mutex>

#include "options.h"
#include "whois_test_server.h"

namespace {

using namespace torvane::testserver;

void WritePortsFile(const std::filesystem::path& path, const ProgramOptions& options,
                    const WhoisTestServer& server) {
    // Written under another name and renamed, so that a reader polling for
    // the file never sees half of it.
    const std::filesystem::path temporary = path.string() + ".tmp";
    {
        std::ofstream file(temporary, std::ios::trunc);
        for (const ServerConfig& config : options.servers)
            file << config.name << ' ' << server.Port(config.name) << '\n';
    }
    std::filesystem::rename(temporary, path);
}

}  // namespace

int main(int argc, char** argv) {
    ProgramOptions options;
    try {
        options = ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "whois-test-server: " << error.what() << "\nTry --help.\n";
        return 2;
    }
    if (options.help) {
        std::cout << UsageText();
        return 0;
    }

    // Blocked before any thread starts, so that only sigtimedwait sees them.
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGINT);
    sigaddset(&stop_signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    if (options.stop_with_parent) {
        // The parent's end arrives as SIGTERM and takes the orderly way out
        // below. A parent that was gone before this was set (the server
        // re-parented to init) would never send it: stop at once then.
        if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() == 1) return 1;
    }

    std::mutex output;
    std::ofstream record;
    if (options.record_file) record.open(*options.record_file, std::ios::app | std::ios::binary);
    try {
        WhoisTestServer server(options.servers);
        server.SetQueryObserver([&](const std::string& name, const std::string& bytes) {
            std::lock_guard lock(output);
            std::cout << "query " << name << ' ' << Escape(bytes) << std::endl;
            if (record.is_open()) record << name << '\t' << Escape(bytes) << std::endl;
        });
        server.Start();
        {
            std::lock_guard lock(output);
            for (const ServerConfig& config : options.servers) {
                std::cout << (config.refuse ? "refusing " : "listening ") << config.name << ' '
                          << server.Port(config.name) << '\n';
            }
            std::cout << "TORVANE_HOST_MAP=" << server.HostMap() << "\nready" << std::endl;
        }
        if (options.ports_file) WritePortsFile(*options.ports_file, options, server);

        if (options.duration) {
            const auto total = options.duration->count();
            const timespec limit{static_cast<time_t>(total / 1000),
                                 static_cast<long>(total % 1000) * 1000000};
            sigtimedwait(&stop_signals, nullptr, &limit);
        } else {
            int signal_number = 0;
            sigwait(&stop_signals, &signal_number);
        }
        server.Stop();
    } catch (const std::exception& error) {
        std::cerr << "whois-test-server: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
