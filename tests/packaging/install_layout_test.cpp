// `cmake --install` into a temporary prefix puts every file where a Linux
// desktop expects it, the installed programs run, and `cpack -G DEB` builds
// a package with these files and the dependencies the programs need.

#include <gtest/gtest.h>

#include <QXmlStreamReader>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "child_process.h"

namespace torvane::packaging {
namespace {

namespace fs = std::filesystem;
using cli::testing::ChildResult;
using cli::testing::RunChild;

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

bool HasProgram(const std::string& name) {
    return RunChild({"/bin/sh", "-c", "command -v " + name}).exitCode == 0;
}

// One install shared by the tests of this file.
class Installed : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string pattern = (fs::temp_directory_path() / "torvane-install-XXXXXX").string();
        prefix_ = new fs::path(mkdtemp(pattern.data()));
        install_ = new ChildResult(RunChild(
            {TORVANE_CMAKE, "--install", TORVANE_BINARY_DIR, "--prefix", prefix_->string()}));
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(*prefix_, ignored);
        delete prefix_;
        delete install_;
    }
    void SetUp() override { ASSERT_EQ(install_->exitCode, 0) << install_->out << install_->err; }

    static fs::path Prefix() { return *prefix_; }

  private:
    static fs::path* prefix_;
    static ChildResult* install_;
};
fs::path* Installed::prefix_ = nullptr;
ChildResult* Installed::install_ = nullptr;

std::vector<std::string> ExpectedFiles() {
    std::vector<std::string> files = {
        "bin/torvane-cli",
        "share/applications/torvane.desktop",
        "share/icons/hicolor/scalable/apps/torvane.svg",
        "share/icons/hicolor/48x48/apps/torvane.png",
        "share/metainfo/org.torvane.torvane.metainfo.xml",
        "share/torvane/rdap/dns.json",
        "share/torvane/rdap/ipv4.json",
        "share/torvane/rdap/ipv6.json",
        "share/torvane/rdap/asn.json",
        "share/doc/torvane/copyright",
        "share/man/man1/torvane-cli.1.gz",
    };
    if (TORVANE_HAS_WINDOW) {
        files.push_back("bin/torvane");
        files.push_back("share/torvane/Readme.txt");
        files.push_back("share/man/man1/torvane.1.gz");
    }
    return files;
}

TEST_F(Installed, EveryFileIsInPlace) {
    for (const std::string& file : ExpectedFiles())
        EXPECT_TRUE(fs::is_regular_file(Prefix() / file)) << file;
    for (const char* program : {"bin/torvane-cli", "bin/torvane"}) {
        if (!fs::exists(Prefix() / program)) continue;
        EXPECT_NE(fs::status(Prefix() / program).permissions() & fs::perms::others_exec,
                  fs::perms::none)
            << program;
    }
}

TEST_F(Installed, ReadmeIsTheUserGuideAndNotBesideTheProgram) {
    if (!TORVANE_HAS_WINDOW) GTEST_SKIP() << "the window is not part of this build";
    EXPECT_EQ(ReadFile(Prefix() / "share/torvane/Readme.txt"),
              ReadFile(fs::path(TORVANE_SOURCE_DIR) / "src/app/Readme.txt"));
    // The window looks beside itself first; the installed copy is the one
    // in the data folder, found as ../share/torvane from the program.
    EXPECT_FALSE(fs::exists(Prefix() / "bin/Readme.txt"));
    EXPECT_TRUE(fs::exists(Prefix() / "bin" / ".." / "share/torvane/Readme.txt"));
}

TEST_F(Installed, InstalledCliRunsOnItsOwn) {
    const ChildResult version = RunChild({(Prefix() / "bin/torvane-cli").string(), "--version"});
    EXPECT_EQ(version.exitCode, 0) << version.err;
    EXPECT_EQ(version.out, "Torvane version 1.0\n");
    const ChildResult help = RunChild({(Prefix() / "bin/torvane-cli").string(), "--help"});
    EXPECT_NE(help.out.find("Usage: torvane-cli"), std::string::npos);
    // No build-tree path remains for the loader.
    const ChildResult rpath = RunChild({"/bin/sh", "-c",
                                        "readelf -d '" + (Prefix() / "bin/torvane-cli").string() +
                                            "' | grep -E 'RPATH|RUNPATH' || true"});
    EXPECT_EQ(rpath.out.find(TORVANE_BINARY_DIR), std::string::npos) << rpath.out;
}

std::map<std::string, std::string> DesktopEntry(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(text);
    std::string line;
    bool inEntry = false;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (inEntry && equals != std::string::npos)
            keys[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return keys;
}

TEST_F(Installed, DesktopFileStartsTheInstalledWindowWithTheInstalledIcon) {
    const auto keys = DesktopEntry(ReadFile(Prefix() / "share/applications/torvane.desktop"));
    EXPECT_EQ(keys.at("Type"), "Application");
    EXPECT_EQ(keys.at("Name"), "Torvane");
    // No field code: any argument would make the window close after a run.
    EXPECT_EQ(keys.at("Exec"), "torvane");
    EXPECT_EQ(keys.at("Icon"), "torvane");
    EXPECT_EQ(keys.at("Terminal"), "false");
    EXPECT_EQ(keys.at("Categories"), "Network;");  // one main category
    EXPECT_TRUE(keys.count("Comment[ja]"));
    if (HasProgram("desktop-file-validate")) {
        const ChildResult check = RunChild(
            {"desktop-file-validate", (Prefix() / "share/applications/torvane.desktop").string()});
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    }
}

TEST_F(Installed, MetainfoNamesTheInstalledFilesAndValidates) {
    const fs::path file = Prefix() / "share/metainfo/org.torvane.torvane.metainfo.xml";
    QXmlStreamReader xml(QByteArray::fromStdString(ReadFile(file)));
    std::map<std::string, std::vector<std::string>> elements;
    std::string current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) current = xml.name().toString().toStdString();
        if (xml.isCharacters() && !xml.isWhitespace())
            elements[current].push_back(xml.text().toString().toStdString());
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(elements["id"], std::vector<std::string>{"org.torvane.torvane"});
    EXPECT_EQ(elements["launchable"], std::vector<std::string>{"torvane.desktop"});
    EXPECT_TRUE(fs::exists(Prefix() / "share/applications" / elements["launchable"].at(0)));
    for (const std::string& binary : elements["binary"]) {
        if (binary == "torvane" && !TORVANE_HAS_WINDOW) continue;
        EXPECT_TRUE(fs::exists(Prefix() / "bin" / binary)) << binary;
    }
    if (HasProgram("appstreamcli")) {
        const ChildResult check = RunChild({"appstreamcli", "validate", "--no-net", file.string()});
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    }
}

TEST_F(Installed, IconIsAScalableSvg) {
    QXmlStreamReader xml(QByteArray::fromStdString(
        ReadFile(Prefix() / "share/icons/hicolor/scalable/apps/torvane.svg")));
    while (!xml.atEnd() && !xml.isStartElement()) xml.readNext();
    ASSERT_EQ(xml.name().toString(), "svg");
    EXPECT_EQ(xml.namespaceUri().toString(), "http://www.w3.org/2000/svg");
    EXPECT_FALSE(xml.attributes().value("viewBox").isEmpty());
    while (!xml.atEnd()) xml.readNext();
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
}

TEST(DebianPackage, HoldsTheInstalledFilesAndNamesItsDependencies) {
    if (!HasProgram("dpkg-deb")) GTEST_SKIP() << "dpkg-deb is not installed";
    std::string pattern = (fs::temp_directory_path() / "torvane-deb-XXXXXX").string();
    const fs::path dir = mkdtemp(pattern.data());
    const ChildResult cpack =
        RunChild({TORVANE_CPACK, "-G", "DEB", "--config",
                  std::string(TORVANE_BINARY_DIR) + "/CPackConfig.cmake", "-B", dir.string()},
                 {.environment = {}, .terminal = false, .limit = std::chrono::seconds(120)});
    ASSERT_EQ(cpack.exitCode, 0) << cpack.out << cpack.err;
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.path().extension() == ".deb") deb = entry.path();
    ASSERT_FALSE(deb.empty());
    EXPECT_EQ(deb.filename().string().rfind("torvane_1.0_", 0), 0u) << deb;

    const ChildResult fields = RunChild(
        {"dpkg-deb", "-f", deb.string(), "Package", "Version", "Depends", "Recommends", "Section"});
    EXPECT_NE(fields.out.find("Package: torvane\n"), std::string::npos) << fields.out;
    EXPECT_NE(fields.out.find("Version: 1.0\n"), std::string::npos);
    for (const char* dependency : {"libqt6core6", "libqt6network6", "libc6", "libstdc++6"})
        EXPECT_NE(fields.out.find(dependency), std::string::npos) << dependency << fields.out;
    if (TORVANE_HAS_WINDOW) {
        for (const char* dependency : {"libqt6widgets6", "libqt6gui6"})
            EXPECT_NE(fields.out.find(dependency), std::string::npos) << dependency;
    }
    for (const char* dependency : {"fonts-noto-cjk", "qt6-translations-l10n", "fonts-noto-core"})
        EXPECT_NE(fields.out.find(dependency), std::string::npos) << dependency << fields.out;
    EXPECT_NE(fields.out.find("Recommends: xdg-utils"), std::string::npos) << fields.out;

    // The programs go in stripped: no symbol table.
    const fs::path unpacked = dir / "unpacked";
    ASSERT_EQ(RunChild({"dpkg-deb", "-x", deb.string(), unpacked.string()}).exitCode, 0);
    if (HasProgram("readelf")) {
        for (const char* program : {"usr/bin/torvane-cli", "usr/bin/torvane"}) {
            if (!fs::exists(unpacked / program)) continue;
            const ChildResult sections = RunChild({"readelf", "-S", (unpacked / program).string()});
            EXPECT_EQ(sections.out.find(".symtab"), std::string::npos) << program;
        }
    }

    const ChildResult contents = RunChild({"dpkg-deb", "-c", deb.string()});
    for (const std::string& file : ExpectedFiles())
        EXPECT_NE(contents.out.find("./usr/" + file + "\n"), std::string::npos) << file;
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

}  // namespace
}  // namespace torvane::packaging
