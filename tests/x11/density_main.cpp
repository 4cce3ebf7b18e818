#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "x11/density_session.h"

// Qt on a virtual X desktop of its own, as Marrowick runs: the desktop must exist before the
// application object, and MARROWICK_TEST_XFT_DPI sets the resource a desktop sets for its
// scaling. Listing the tests starts nothing.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<marrowick::test::XSession> session;
    if (!::testing::GTEST_FLAG(list_tests)) {
        std::string failure;
        session = marrowick::test::XSession::start({}, &failure);
        if (!session && !failure.empty()) {
            fprintf(stderr, "%s\n", failure.c_str());
            return 1;
        }
        if (session) {
            if (const char* dpi = std::getenv("MARROWICK_TEST_XFT_DPI")) {
                const auto file =
                    std::filesystem::temp_directory_path() / ("marrowick-xft-" + session->display().substr(1));
                std::ofstream(file) << "Xft.dpi: " << dpi << "\n";
                const int status = session->run({"xrdb", "-merge", file.string()});
                std::filesystem::remove(file);
                if (status != 0) {
                    fprintf(stderr, "xrdb -merge failed (%d)\n", status);
                    return 1;
                }
            }
            setenv("DISPLAY", session->display().c_str(), 1);
            setenv("QT_QPA_PLATFORM", "xcb", 1);
        }
    }
    if (!session) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    marrowick::test::densitySession = session.get();
    int status = 0;
    {
        QApplication app(argc, argv);
        status = RUN_ALL_TESTS();
    }
    marrowick::test::densitySession = nullptr;
    return status;
}
