// The Debian package holds what a desktop needs, where it looks for it, and the program in it
// starts.
#include "Desktop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {
namespace {

namespace fs = std::filesystem;

TEST(Package, InstallsBinaryDesktopEntryAndIconThatStart) {
    const fs::path scratch = fs::temp_directory_path() / "quorvane-package-test";
    fs::remove_all(scratch);
    fs::create_directories(scratch / "root");
    Capture({"cpack", "-G", "DEB", "-B", scratch.string(), "--config",
             BinaryDir() + "/CPackConfig.cmake"});
    fs::path deb;
    for (const auto& entry : fs::directory_iterator(scratch))
        if (entry.path().extension() == ".deb")
            deb = entry.path();
    ASSERT_FALSE(deb.empty()) << "cpack made no package";
    Capture({"dpkg-deb", "-x", deb.string(), (scratch / "root").string()});

    const fs::path root = scratch / "root";
    const fs::path binary = root / "usr/bin/quorvane";
    const fs::path entry = root / "usr/share/applications/quorvane.desktop";
    EXPECT_TRUE(fs::is_regular_file(binary));
    EXPECT_NE(fs::status(binary).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_TRUE(fs::is_regular_file(root / "usr/share/icons/hicolor/scalable/apps/quorvane.svg"));
    ASSERT_TRUE(fs::is_regular_file(entry));
    std::stringstream text;
    text << std::ifstream(entry).rdbuf();
    EXPECT_NE(text.str().find("\nExec=quorvane\n"), std::string::npos);
    EXPECT_NE(text.str().find("\nIcon=quorvane\n"), std::string::npos);
    const std::string fields = Capture({"dpkg-deb", "-f", deb.string(), "Package", "Depends"});
    EXPECT_NE(fields.find("Package: quorvane"), std::string::npos);
    EXPECT_NE(fields.find("libqt6widgets6"), std::string::npos);

    Xvfb x;
    Process program({binary.string()},
                    {"DISPLAY=" + x.Display(), "QT_QPA_PLATFORM=xcb",
                     "PULSE_SERVER=unix:/nonexistent", "XDG_RUNTIME_DIR=" + scratch.string()});
    Screen screen(x.Display());
    const unsigned long window = screen.FindWindow("Quorvane v2.9beta", 15s);
    ASSERT_NE(window, 0u) << "the packaged program showed no window";
    screen.RequestClose(window);
    EXPECT_EQ(program.WaitExit(2s), std::optional<int>(0));
    fs::remove_all(scratch);
}

} // namespace
} // namespace e2e
