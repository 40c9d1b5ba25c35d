// The loopback WHOIS test server itself: answers, behaviours, records and its
// command line.

#include "whois_test_server.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "blocking_client.h"
#include "options.h"

namespace torvane::testserver {
namespace {

using testing::Ask;
using namespace std::chrono_literals;

ServerConfig Named(std::string name) {
    ServerConfig config;
    config.name = std::move(name);
    return config;
}

std::filesystem::path FreshFolder(const std::string& name) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("whois-test-server-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(Escapes, UnescapeAndEscapeAreInverse) {
    const struct {
        const char* text;
        std::string bytes;
    } cases[] = {
        {"plain", "plain"},
        {R"(a\r\nb)", "a\r\nb"},
        {R"(\0\x00\xff\x1b$B)", std::string("\0\0\xff\x1b$B", 6)},
        {R"(back\\slash\ttab)", "back\\slash\ttab"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Unescape(c.text), c.bytes) << c.text;
        EXPECT_EQ(Unescape(Escape(c.bytes)), c.bytes) << c.text;
    }
    EXPECT_EQ(Escape("q\r\n"), R"(q\r\n)");
    for (const char* bad : {"\\", R"(\x4)", R"(\xzz)", R"(\q)"})
        EXPECT_THROW(Unescape(bad), std::invalid_argument) << bad;
}

TEST(WhoisTestServer, AnswersByQueryThenFromTheFolderThenByDefault) {
    const auto folder = FreshFolder("answers");
    WriteFile(folder / "file.jp", std::string("from file\0!", 11));
    ServerConfig config = Named("a");
    config.answers["inline.jp"] = "inline answer";
    config.answers_dir = folder;
    config.default_answer = "default answer";
    WhoisTestServer server({config, Named("b")});
    server.Start();
    const std::uint16_t port = server.Port("a");
    EXPECT_EQ(Ask(port, "inline.jp\r\n").answer, "inline answer");
    EXPECT_EQ(Ask(port, "file.jp\r\n").answer, std::string("from file\0!", 11));
    EXPECT_EQ(Ask(port, "other.jp\n").answer, "default answer");
    EXPECT_EQ(Ask(port, "../answers/file.jp\r\n").answer, "default answer");
    const auto empty = Ask(server.Port("b"), "x\r\n");
    EXPECT_EQ(empty.answer, "");
    EXPECT_EQ(empty.end_error, 0);
    EXPECT_EQ(server.Queries("a"),
              (std::vector<std::string>{"inline.jp\r\n", "file.jp\r\n", "other.jp\n",
                                        "../answers/file.jp\r\n"}));
    EXPECT_EQ(server.Connections("a"), 4);
    EXPECT_EQ(server.HostMap(), "a=127.0.0.1:" + std::to_string(port) +
                                    ",b=127.0.0.1:" + std::to_string(server.Port("b")));
    std::filesystem::remove_all(folder);
}

TEST(WhoisTestServer, RecordsOnlyTheQueryLineAndCallsTheObserver) {
    WhoisTestServer server({Named("rec")});
    std::vector<std::string> observed;
    std::mutex mutex;
    server.SetQueryObserver([&](const std::string& name, const std::string& bytes) {
        std::lock_guard lock(mutex);
        observed.push_back(name + ":" + bytes);
    });
    server.Start();
    Ask(server.Port("rec"), std::string("\x93\xfa\0q\r\nextra", 11));
    EXPECT_EQ(server.Queries("rec"), (std::vector<std::string>{std::string("\x93\xfa\0q\r\n", 6)}));
    std::lock_guard lock(mutex);
    EXPECT_EQ(observed, (std::vector<std::string>{std::string("rec:\x93\xfa\0q\r\n", 10)}));
}

TEST(WhoisTestServer, MisbehavesAsConfigured) {
    ServerConfig refuse = Named("refuse");
    refuse.refuse = true;
    ServerConfig reset = Named("reset");
    reset.reset = true;
    ServerConfig silent = Named("silent");
    silent.silent = true;
    silent.default_answer = "not sent";
    ServerConfig drip = Named("drip");
    drip.default_answer = "12345";
    drip.drip = 20ms;
    ServerConfig delay = Named("delay");
    delay.default_answer = "late";
    delay.delay = 150ms;
    ServerConfig hold = Named("hold");
    hold.default_answer = "kept open";
    hold.hold = true;
    WhoisTestServer server({refuse, reset, silent, drip, delay, hold});
    server.Start();

    EXPECT_EQ(Ask(server.Port("refuse"), "q\r\n").connect_error, ECONNREFUSED);
    EXPECT_EQ(Ask(server.Port("reset"), "q\r\n").end_error, ECONNRESET);
    const auto quiet = Ask(server.Port("silent"), "q\r\n");
    EXPECT_EQ(quiet.answer, "");
    EXPECT_EQ(quiet.end_error, 0);

    auto start = std::chrono::steady_clock::now();
    const auto dripped = Ask(server.Port("drip"), "q\r\n");
    EXPECT_EQ(dripped.answer, "12345");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 80ms);  // four intervals at least
    EXPECT_GE(dripped.reads, 2);

    start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ask(server.Port("delay"), "q\r\n").answer, "late");
    EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);

    const auto held = Ask(server.Port("hold"), "q\r\n", 300);
    EXPECT_EQ(held.answer, "kept open");
    EXPECT_EQ(held.end_error, ETIMEDOUT);  // still open when the client gave up
}

TEST(WhoisTestServer, ANeverAcceptingServerLeavesTheConnectUnanswered) {
    ServerConfig never = Named("never");
    never.never_accept = true;
    never.default_answer = "not sent";
    WhoisTestServer server({never});
    server.Start();
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    // connect gives up when the send timeout passes.
    const timeval bound{0, 300000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(server.Port("never"));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_NE(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(errno, EINPROGRESS);  // neither accepted nor refused
    ::close(fd);
    EXPECT_TRUE(server.Queries("never").empty());
}

TEST(WhoisTestServer, StopEndsHeldConnections) {
    ServerConfig hold = Named("hold");
    hold.hold = true;
    auto server = std::make_unique<WhoisTestServer>(std::vector<ServerConfig>{hold});
    server->Start();
    const std::uint16_t port = server->Port("hold");
    // The client blocks until the server ends the connection.
    std::thread client([&] { EXPECT_EQ(Ask(port, "q\r\n", -1).end_error, 0); });
    while (server->Queries("hold").empty()) std::this_thread::yield();
    server->Stop();
    client.join();
}

TEST(WhoisTestServer, RejectsRepeatedNames) {
    EXPECT_THROW(WhoisTestServer({Named("x"), Named("x")}), std::runtime_error);
}

TEST(ProgramOptions, ServerOptionsApplyToTheLatestServer) {
    const auto options =
        ParseArguments({"--server", "a:4300", "--answer", R"(q=one\r\n)", "--delay=5", "--server=b",
                        "--silent", "--hold", "--reset", "--drip", "7", "--default-answer",
                        R"(\x00)", "--server", "c", "--refuse", "--duration", "3"});
    ASSERT_EQ(options.servers.size(), 3u);
    EXPECT_EQ(options.servers[0].name, "a");
    EXPECT_EQ(options.servers[0].port, 4300);
    EXPECT_EQ(options.servers[0].answers.at("q"), "one\r\n");
    EXPECT_EQ(options.servers[0].delay, 5ms);
    EXPECT_FALSE(options.servers[0].silent);
    EXPECT_EQ(options.servers[1].port, 0);
    EXPECT_TRUE(options.servers[1].silent && options.servers[1].hold && options.servers[1].reset);
    EXPECT_EQ(options.servers[1].drip, 7ms);
    EXPECT_EQ(options.servers[1].default_answer, std::string(1, '\0'));
    EXPECT_TRUE(options.servers[2].refuse);
    EXPECT_EQ(options.duration, 3000ms);
}

TEST(ProgramOptions, ConfigFileTakesPathsFromItsOwnFolder) {
    const auto folder = FreshFolder("config");
    std::filesystem::create_directories(folder / "answers");
    WriteFile(folder / "nomatch.txt", "No match!!\r\n");
    WriteFile(folder / "google.txt", "found");
    WriteFile(folder / "servers.conf",
              "# two servers\r\n"
              "server whois.jprs.jp\r\n"
              "answers-dir answers\r\n"
              "default-answer-file nomatch.txt\r\n"
              "answer-file google.jp=google.txt\r\n"
              "\r\n"
              "server=whois.nic.ad.jp:0\r\n"
              "  drip 3\r\n");
    const auto options =
        ParseArguments({"--config", (folder / "servers.conf").string(), "--ports-file", "p.txt"});
    ASSERT_EQ(options.servers.size(), 2u);
    EXPECT_EQ(options.servers[0].answers_dir, folder / "answers");
    EXPECT_EQ(options.servers[0].default_answer, "No match!!\r\n");
    EXPECT_EQ(options.servers[0].answers.at("google.jp"), "found");
    EXPECT_EQ(options.servers[1].name, "whois.nic.ad.jp");
    EXPECT_EQ(options.servers[1].drip, 3ms);
    EXPECT_EQ(options.ports_file, std::filesystem::path("p.txt"));
    std::filesystem::remove_all(folder);
}

TEST(ProgramOptions, RejectsWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {},                                    // no server
        {"--silent", "--server", "a"},         // server option before any server
        {"--server", "a", "--nonsense"},       // unknown option
        {"--server", "a", "--delay", "soon"},  // not a number
        {"--server", "a", "--answer", "noequals"},
        {"--server", "a", "--default-answer"},  // missing value
        {"--server", "a:99999"},
        {"--server", "a", "--config", "/nonexistent/file.conf"},
        {"stray"},
    };
    for (const auto& arguments : bad)
        EXPECT_THROW(ParseArguments(arguments), std::invalid_argument);
    EXPECT_TRUE(ParseArguments({"--help"}).help);
}

}  // namespace
}  // namespace torvane::testserver
