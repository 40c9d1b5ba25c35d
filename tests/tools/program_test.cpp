// The standalone whois-test-server program, as a demonstration or an
// end-to-end test starts it.

#include <gtest/gtest.h>

#include <QProcess>
#include <QString>

#include "blocking_client.h"

namespace torvane::testserver {
namespace {

const QString kProgram = QStringLiteral(TORVANE_TOOLS_DIR "/whois-test-server/whois-test-server");

TEST(WhoisTestServerProgram, HelpDescribesTheOptions) {
    QProcess process;
    process.start(kProgram, {"--help"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 0);
    const QString usage = QString::fromUtf8(process.readAllStandardOutput());
    for (const char* option : {"--server", "--answers-dir", "--drip", "--refuse", "--reset",
                               "--config", "--http", "--files-dir", "--tls-cert"}) {
        EXPECT_TRUE(usage.contains(QLatin1String(option))) << option;
    }
}

TEST(WhoisTestServerProgram, BadArgumentsFailWithAMessage) {
    QProcess process;
    process.start(kProgram, {"--server", "a", "--delay", "x"});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_TRUE(process.readAllStandardError().contains("--delay"));
}

TEST(WhoisTestServerProgram, ReportsPortsServesAndStopsOnTerminate) {
    QProcess process;
    process.start(kProgram, {"--server", "whois.example", "--answer", R"(q=hello\r\n)", "--server",
                             "closed", "--refuse", "--duration", "60"});
    ASSERT_TRUE(process.waitForStarted(10000));
    QByteArray out;
    while (!out.contains("ready\n")) {
        ASSERT_TRUE(process.waitForReadyRead(10000)) << out.toStdString();
        out += process.readAllStandardOutput();
    }
    int port = 0;
    bool refusing_reported = false;
    bool map_reported = false;
    for (const QByteArray& line : out.split('\n')) {
        if (line.startsWith("listening whois.example ")) port = line.split(' ').at(2).toInt();
        if (line.startsWith("refusing closed ")) refusing_reported = true;
        if (line.startsWith("TORVANE_HOST_MAP=whois.example=127.0.0.1:")) map_reported = true;
    }
    ASSERT_GT(port, 0) << out.toStdString();
    EXPECT_TRUE(refusing_reported);
    EXPECT_TRUE(map_reported);
    EXPECT_EQ(testing::Ask(static_cast<std::uint16_t>(port), "q\r\n").answer, "hello\r\n");
    while (!out.contains("query whois.example q\\r\\n")) {
        ASSERT_TRUE(process.waitForReadyRead(10000)) << out.toStdString();
        out += process.readAllStandardOutput();
    }
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
}

}  // namespace
}  // namespace torvane::testserver
