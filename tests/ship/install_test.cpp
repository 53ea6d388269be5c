// The program as a user gets it: installed into a prefix, started from there
// on an X screen with a read-only bin/, a note placed with the mouse and
// played; and the desktop entry, score file type, icon and Debian package
// that ship it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "ship/installed_program.h"
#include "ship/process.h"
#include "ship/virtual_screen.h"
#include "support/midi_reader.h"

namespace tsuzuri::test {
namespace {

using namespace std::chrono_literals;

std::set<std::string> namesIn(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string desktopValue(const std::filesystem::path& file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + "=", 0) == 0)
            return line.substr(key.size() + 1);
    }
    return {};
}

TEST(InstalledProgram, InstallsProgramTemplateMenuEntryAndIcon) {
    InstalledProgram program;
    ASSERT_TRUE(program.installed()) << program.installLog();
    EXPECT_EQ(namesIn(program.bin()), (std::set<std::string>{"tsuzuri"}));
    EXPECT_TRUE(std::filesystem::exists(program.iconFile()));

    const RunResult valid = run({"desktop-file-validate", program.desktopFile().string()});
    EXPECT_EQ(valid.status, 0);
    EXPECT_EQ(valid.output, "") << "desktop-file-validate found faults";
    // The menu starts the installed executable with the file opened, and
    // shows the installed icon.
    EXPECT_EQ(desktopValue(program.desktopFile(), "Exec"), "tsuzuri %f");
    EXPECT_EQ(desktopValue(program.desktopFile(), "Icon"), program.iconFile().stem().string());
    EXPECT_NE(desktopValue(program.desktopFile(), "Name[ja]"), "");
}

// What Debian's triggers run once the package is in place: the desktop's
// databases then know score files and the program that opens them.
TEST(InstalledProgram, TheDesktopKnowsScoreFilesAndOpensThemWithTheProgram) {
    InstalledProgram program;
    ASSERT_TRUE(program.installed()) << program.installLog();
    const std::filesystem::path share = program.prefix() / "share";
    const RunResult mime = run({"update-mime-database", (share / "mime").string()});
    ASSERT_EQ(mime.status, 0) << mime.output;
    const RunResult menu = run({"update-desktop-database", (share / "applications").string()});
    ASSERT_EQ(menu.status, 0) << menu.output;

    const std::string globs = readText(share / "mime" / "globs2");
    EXPECT_NE(globs.find("application/x-tsuzuri-score:*.tsz"), std::string::npos) << globs;
    const std::string type = readText(share / "mime" / "application" / "x-tsuzuri-score.xml");
    EXPECT_NE(type.find("<comment xml:lang=\"ja\">綴 楽譜</comment>"), std::string::npos) << type;
    const std::string opens = readText(share / "applications" / "mimeinfo.cache");
    EXPECT_NE(opens.find("application/x-tsuzuri-score=tsuzuri.desktop"), std::string::npos)
        << opens;
    EXPECT_NE(opens.find("text/x-mml=tsuzuri.desktop"), std::string::npos) << opens;
}

// With the system's own types beside the program's: a tune named *.mml is
// MML, which the program opens, and MathML under the same name stays MathML.
TEST(InstalledProgram, TheDesktopTellsMmlTunesFromMathml) {
    InstalledProgram program;
    ASSERT_TRUE(program.installed()) << program.installLog();
    const std::filesystem::path share = program.prefix() / "share";
    ASSERT_EQ(run({"update-mime-database", (share / "mime").string()}).status, 0);
    const std::filesystem::path tune = program.home() / "tune.mml";
    const std::filesystem::path formula = program.home() / "formula.mml";
    std::ofstream(tune) << "T120 O4 L8 CDEFGAB>C\n";
    std::ofstream(formula)
        << "<?xml version=\"1.0\"?>\n"
           "<math xmlns=\"http://www.w3.org/1998/Math/MathML\"><mi>x</mi></math>\n";
    const std::map<std::string, std::string> env = {
        {"XDG_DATA_DIRS", share.string() + ":/usr/share"},
        {"XDG_DATA_HOME", (program.home() / "data").string()}};
    auto type = [&](const std::filesystem::path& file) {
        return run({"gio", "info", "-a", "standard::content-type", file.string()}, env).output;
    };
    EXPECT_NE(type(tune).find("content-type: text/x-mml"), std::string::npos) << type(tune);
    EXPECT_NE(type(formula).find("content-type: application/mathml+xml"), std::string::npos)
        << type(formula);
}

// Pointer positions in the window: the canvas's client area starts at (14, 18);
// y 100 there snaps to the row of middle C (octave setting 4). trk♪ lies in
// the frame at (0, 256), at (4, 8) inside it, 37 x 17.
constexpr const char* kMiddleCX = "300";
constexpr const char* kNearMiddleCX = "290";
constexpr const char* kMiddleCY = "100";
constexpr const char* kTrackPlayX = "22";
constexpr const char* kTrackPlayY = "272";
constexpr int kMiddleC = 60;

TEST(InstalledProgram, PlacesANoteAndPlaysItFromAReadOnlyPrefix) {
    InstalledProgram program;
    ASSERT_TRUE(program.installed()) << program.installLog();
    program.protectBin();
    std::vector<std::string> probe = program.asUser();
    probe.insert(probe.end(), {"test", "-w", program.bin().string()});
    ASSERT_NE(run(probe).status, 0) << "bin/ is still writable for the program's user";

    VirtualScreen screen;
    ASSERT_TRUE(screen.ready()) << "Xvfb did not start";
    auto env = screen.environment();
    env["HOME"] = program.home().string();
    env["XDG_DATA_HOME"] = (program.home() / "data").string();
    env["XDG_CONFIG_HOME"] = (program.home() / "config").string();
    env["XDG_CACHE_HOME"] = (program.home() / "cache").string();
    env["XDG_RUNTIME_DIR"] = (program.home() / "runtime").string();
    std::vector<std::string> command = program.asUser();
    command.push_back((program.bin() / "tsuzuri").string());
    Process running(command, env, program.home() / "program.log");
    ASSERT_TRUE(running.started());

    const std::string window = screen.waitForWindow("Tsuzuri");
    ASSERT_NE(window, "") << "the window did not appear";
    EXPECT_TRUE(screen.xdotool({"windowfocus", "--sync", window}));
    // The cursor glyph follows the pointer; the click lands on it and places its note.
    EXPECT_TRUE(screen.xdotool({"mousemove", "--window", window, kNearMiddleCX, kMiddleCY, "sleep",
                                "0.2", "mousemove", "--window", window, kMiddleCX, kMiddleCY,
                                "sleep", "0.2", "click", "1", "key", "F5"}));
    EXPECT_TRUE(screen.xdotool({"mousemove", "--window", window, kTrackPlayX, kTrackPlayY,  //
                                "click", "1"}));

    const auto trk = program.userDataDir() / "trk.mid";
    const auto preview = program.userDataDir() / "c.mid";
    EXPECT_TRUE(eventually([&] { return std::filesystem::exists(trk); }, 10s))
        << "trk.mid is not in the per-user directory";
    EXPECT_TRUE(eventually([&] { return std::filesystem::exists(preview); }, 2s))
        << "placing the note did not preview it through c.mid in the per-user directory";
    EXPECT_EQ(running.wait(500ms), -1) << "the program ended";

    const MidiListing played = readWithMidicsv(trk);
    ASSERT_TRUE(played.ok) << played.diagnostics;
    const auto notes = played.ofType("Note_on_c");
    ASSERT_FALSE(notes.empty()) << "the played track has no note";
    EXPECT_EQ(notes.front().fields.at(1), std::to_string(kMiddleC));
    const auto bytes = readBytes(preview);
    ASSERT_GE(bytes.size(), 28u);
    EXPECT_EQ(bytes[27], kMiddleC);
    EXPECT_EQ(namesIn(program.bin()), (std::set<std::string>{"tsuzuri"}));
}

TEST(DebianPackage, HoldsTheInstalledFilesAndNamesTheRuntimePackages) {
    TempDir out("tsuzuri package");
    const RunResult pack =
        run({TSUZURI_CPACK, "-G", "DEB", "--config",
             std::string(TSUZURI_BUILD_DIR) + "/CPackConfig.cmake", "-B", out.path().string()},
            {}, 300s);
    ASSERT_EQ(pack.status, 0) << pack.output;
    std::filesystem::path deb;
    for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
        if (entry.path().extension() == ".deb")
            deb = entry.path();
    }
    ASSERT_FALSE(deb.empty()) << pack.output;

    const RunResult contents = run({"dpkg-deb", "--contents", deb.string()});
    ASSERT_EQ(contents.status, 0) << contents.output;
    for (const char* file : {"./usr/bin/tsuzuri", "./usr/share/applications/tsuzuri.desktop",
                             "./usr/share/icons/hicolor/scalable/apps/tsuzuri.svg",
                             "./usr/share/mime/packages/tsuzuri.xml"})
        EXPECT_NE(contents.output.find(std::string(file) + "\n"), std::string::npos) << file;
    const std::filesystem::path unpacked = out.path() / "unpacked";
    ASSERT_EQ(run({"dpkg-deb", "-x", deb.string(), unpacked.string()}).status, 0);
    const std::filesystem::path entry = unpacked / "usr/share/applications/tsuzuri.desktop";
    EXPECT_EQ(desktopValue(entry, "Exec"), "tsuzuri %f");
    EXPECT_EQ(desktopValue(entry, "MimeType"), "application/x-tsuzuri-score;text/x-mml;");
    EXPECT_EQ(run({"desktop-file-validate", entry.string()}).output, "");

    const RunResult depends = run({"dpkg-deb", "--field", deb.string(), "Depends"});
    ASSERT_EQ(depends.status, 0) << depends.output;
    std::set<std::string> names;
    std::istringstream list(depends.output);
    std::string item;
    while (std::getline(list, item, ',')) {
        std::istringstream words(item);
        std::string name;
        words >> name;
        names.insert(name);
    }
    for (const char* needed :
         {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libfluidsynth3", "fluid-soundfont-gm",
          "fonts-ipafont-gothic", "fonts-noto-core", "qt6-translations-l10n"})
        EXPECT_EQ(names.count(needed), 1u) << needed;
}

}  // namespace
}  // namespace tsuzuri::test
