#include "app/app.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QWidget>
#include <algorithm>

#include "app/tray_icon.h"
#include "settings_window/partition_view.h"
#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

class AppTest : public test::DesktopTest {
protected:
    std::unique_ptr<App> launch(Options options = {}) {
        auto app = std::make_unique<App>(desk, options, "1.2.3");
        app->applicationDidFinishLaunching();
        return app;
    }
    std::vector<std::string> logLines() const {
        std::vector<std::string> out;
        std::string text = log();
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at);
            out.push_back(text.substr(at + 26, end - at - 26));  // past the timestamp
            at = end + 1;
        }
        return out;
    }
    // Outlines on screen: with no drag and no overlay, the previews.
    std::size_t visible() const { return desk.surfaces().visibleOutlines(); }
    std::size_t made() const { return desk.surfaces().outlines().size(); }
};

TEST_F(AppTest, TrustedLaunchBuildsTheMenuAndStartsWatching) {
    test::writeFile(dir / "Marrowick.log", "old run\n");
    auto app = launch();
    const auto actions = app->menu()->actions();
    ASSERT_EQ(actions.size(), 5);
    EXPECT_EQ(actions[0]->text(), "Needs Accessibility permission");
    EXPECT_FALSE(actions[0]->isEnabled());
    EXPECT_FALSE(actions[0]->isVisible()) << "hidden once monitoring starts";
    EXPECT_EQ(actions[1]->text(), "Settings…");
    EXPECT_TRUE(actions[1]->shortcut().isEmpty()) << "a tray menu has no window for a shortcut to work in";
    EXPECT_EQ(actions[2]->text(), "About Marrowick");
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[4]->text(), "Quit Marrowick");

    const auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "watching drags") << "the previous run's log is gone";
    EXPECT_EQ(desk.input().watchers(), 2U) << "other applications' input and our own";
    EXPECT_EQ(desk.scheduler().pending(), 1U) << "the tray's check, and no permission timer";
    EXPECT_EQ(desk.windows().askCount(), 0);
    EXPECT_FALSE(app->settings().window().isVisible()) << "a monitor has sections: nothing else opens";
}

// A tray host may come a moment after us: its absence is said only once it had time to appear.
// Clicking the icon opens the settings window.
TEST_F(AppTest, TheTrayIsWaitedForAndItsIconOpensTheSettings) {
    auto app = launch();
    const auto trayMissing = [&] {
        const auto lines = logLines();
        return std::count(lines.begin(), lines.end(), "no system tray available; launch Marrowick again to reach it");
    };
    desk.scheduler().advance(App::trayWait - 0.1);
    EXPECT_EQ(trayMissing(), 0);
    desk.scheduler().advance(0.1);
    EXPECT_EQ(trayMissing(), 1) << "offscreen there is no tray";

    emit app->item()->activated(QSystemTrayIcon::Context);
    EXPECT_FALSE(app->settings().window().isVisible()) << "the menu's click";
    emit app->item()->activated(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(app->settings().window().isVisible());
}

// The icon reads on light and dark panels: at every size, a good share of it stands apart from
// a black panel and from a white one.
TEST(TrayIcon, StandsOutOnBlackAndWhitePanels) {
    const QIcon icon = trayIcon();
    for (int size : trayIconSizes) {
        const QImage glyph = icon.pixmap(size, size).toImage();
        ASSERT_EQ(glyph.width(), size);
        for (const QColor panel : {QColor(Qt::black), QColor(Qt::white)}) {
            QImage shown(size, size, QImage::Format_RGB32);
            shown.fill(panel);
            QPainter(&shown).drawImage(0, 0, glyph);
            int apart = 0;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    const QColor c = shown.pixelColor(x, y);
                    const int distance = std::abs(c.red() - panel.red()) + std::abs(c.green() - panel.green()) +
                                         std::abs(c.blue() - panel.blue());
                    if (distance >= 3 * 96) ++apart;
                }
            }
            EXPECT_GE(apart, size * size / 4) << size << " px on " << panel.name().toStdString();
        }
    }
}

// No monitor with sections: the settings window opens by itself at every start until one has
// some, with the hint in its editor; otherwise it stays closed.
TEST_F(AppTest, WithNoSectionsAnywhereTheSettingsWindowOpensAtStart) {
    Settings::setDividers({}, wide);
    {
        auto app = launch();
        EXPECT_TRUE(app->settings().window().isVisible());
        const auto lines = logLines();
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "no monitor has sections yet; opening the settings window"),
                  1);
        const QString hint = app->settings().controls().partitions->accessibleDescription();
        EXPECT_TRUE(hint.contains(QStringLiteral("Pick 2, 3 or 4"))) << hint.toStdString();
    }
    EXPECT_TRUE(launch()->settings().window().isVisible()) << "still nothing set up";
    Settings::setDividers({0.5}, right);
    EXPECT_FALSE(launch()->settings().window().isVisible());
}

TEST_F(AppTest, UntrustedLaunchWaitsAndStartsOnceThePermissionArrives) {
    for (bool noPrompt : {false, true}) {
        desk.windows().setGranted(false);
        const int promptsBefore = desk.windows().askCount();
        Options o;
        o.noPrompt = noPrompt;
        auto app = launch(o);
        EXPECT_EQ(desk.windows().askCount() - promptsBefore, noPrompt ? 0 : 1);
        EXPECT_EQ(logLines().front(), "waiting for Accessibility permission");
        EXPECT_TRUE(app->accessItem()->isVisible());
        EXPECT_FALSE(app->isMonitoring());

        desk.scheduler().advance(2.0);
        EXPECT_FALSE(app->isMonitoring());
        desk.windows().setGranted(true);
        desk.scheduler().advance(1.9);
        EXPECT_FALSE(app->isMonitoring()) << "checked every 2 seconds";
        desk.scheduler().advance(0.1);
        EXPECT_TRUE(app->isMonitoring());
        EXPECT_FALSE(app->accessItem()->isVisible());
        const auto lines = logLines();
        EXPECT_NE(std::find(lines.begin(), lines.end(), "watching drags"), lines.end());
        EXPECT_EQ(desk.scheduler().pending(), 1U) << "the permission timer is gone; the tray's check is left";
        EXPECT_EQ(desk.input().watchers(), 2U) << "monitoring starts once";
    }
}

TEST_F(AppTest, TheTimerDoesNothingOnceTheAppIsGone) {
    desk.windows().setGranted(false);
    launch().reset();
    desk.windows().setGranted(true);
    desk.scheduler().advance(4);
    EXPECT_EQ(desk.input().watchers(), 0U);
}

// Each option is an exact whole argument, in any combination; anything else makes the arguments
// invalid, with the reason.
TEST(Options, ExactWholeArgumentsOrAnError) {
    struct Case {
        std::vector<std::string_view> args;
        std::optional<std::vector<std::string>> forwarded;  // none: invalid
        std::string error;
    };
    const Case cases[] = {
        {{}, std::vector<std::string>{}, ""},
        {{"--about", "--preview", "--no-prompt"}, std::vector<std::string>{"--preview", "--about"}, ""},
        {{"--settings", "--overlay", "--settings"}, std::vector<std::string>{"--overlay", "--settings"}, ""},
        {{"--aboutx"}, std::nullopt, "Unknown option '--aboutx'."},
        {{"--no-prompt=1"}, std::nullopt, "Unexpected value after '--no-prompt'."},
        {{"--about", "-about"}, std::nullopt, "Unknown option '-about'."},
        {{"-h"}, std::nullopt, "Unknown option '-h'."},
        {{"--preview", "x"}, std::nullopt, "Unexpected argument 'x'."},
        {{"--", "--about"}, std::nullopt, "Unexpected argument '--about'."},
    };
    for (const Case& c : cases) {
        std::string error;
        const auto o = Options::parse(c.args, error);
        const std::string shown = ::testing::PrintToString(c.args);
        ASSERT_EQ(o.has_value(), c.forwarded.has_value()) << shown << ": " << error;
        if (o) {
            EXPECT_EQ(o->forwarded(), *c.forwarded) << shown;
            EXPECT_EQ(o->showsSomething(), !c.forwarded->empty()) << shown;
        } else {
            EXPECT_EQ(error, c.error) << shown;
        }
    }
    std::string error;
    const std::string_view both[] = {"--help", "--version"};
    const auto o = Options::parse(both, error);
    ASSERT_TRUE(o);
    EXPECT_TRUE(o->help && o->version && !o->showsSomething());
}

// --help tells how to use it on this desktop: the keys, the settings window, the files.
TEST(Options, UsageCoversTheKeysTheWindowAndTheFiles) {
    const std::string text = usage();
    for (const char* part : {"Alt", "keys to hold", "settings window", "settings.json", "Marrowick.log",
                             "autostart/app.marrowick.Marrowick.desktop", "--overlay", "exit status 2"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }
    for (const char* gone : {"permission", "--no-prompt", "macOS", "Option"}) {
        EXPECT_EQ(text.find(gone), std::string::npos) << gone;
    }
}

TEST_F(AppTest, OverlayOptionShowsTheOverlayForThreeSecondsEvenWithTheKeysHeld) {
    Options o;
    o.overlay = true;
    auto app = launch(o);
    const auto shownOutlines = [&] { return visible(); };
    EXPECT_EQ(shownOutlines(), 3U) << "the ultrawide's three tiles at once";
    desk.setModifiers({Key::alt});
    EXPECT_TRUE(app->overlay().keysHeld()) << "the snapper hands modifier changes to the same overlay";
    desk.scheduler().advance(2.9);
    EXPECT_EQ(shownOutlines(), 3U);
    desk.scheduler().advance(0.1);
    EXPECT_EQ(shownOutlines(), 0U) << "hidden after 3 s although the keys are held";
    EXPECT_TRUE(app->overlay().keysHeld());
}

TEST_F(AppTest, PreviewPool) {
    auto app = launch();
    const auto rects = [](int n) {
        std::vector<Rect> r;
        for (int i = 0; i < n; ++i) r.push_back({100.0 * i, 100, 90, 90});
        return r;
    };
    const std::size_t before = made();
    app->showPreview(rects(3));
    app->showPreview(rects(5));
    EXPECT_EQ(made() - before, 5U);
    EXPECT_EQ(visible(), 5U);
    const sim::OutlineRecord& first = *desk.surfaces().outlines()[before];
    app->showPreview(rects(3));
    EXPECT_EQ(made() - before, 5U) << "the pool never shrinks";
    EXPECT_EQ(visible(), 3U);
    EXPECT_EQ(first.rect, rects(3)[0]) << "the i-th rectangle keeps the i-th outline";

    app->showPreview(rects(2), 1.5);
    desk.scheduler().advance(1.0);
    app->showPreview(rects(2), 1.5);
    desk.scheduler().advance(1.0);
    EXPECT_EQ(visible(), 2U) << "the first countdown never fires";
    desk.scheduler().advance(0.5);
    EXPECT_EQ(visible(), 0U);

    app->showPreview(rects(2), 1.0);
    app->showPreview(rects(2));
    desk.scheduler().advance(10);
    EXPECT_EQ(visible(), 2U) << "without a delay they stay";
    app->showPreview({});
    EXPECT_EQ(visible(), 0U) << "an empty list hides everything at once";
}

TEST_F(AppTest, PreviewOptionShowsEveryTileOfEveryScreenForThreeSeconds) {
    Settings::setDividers({1.0 / 3, 2.0 / 3}, right);
    Options o;
    o.preview = true;
    auto app = launch(o);
    EXPECT_EQ(visible(), 6U);
    EXPECT_EQ(desk.surfaces().outlines()[3]->rect, (Rect{3440, 25, 640, 1055})) << "second screen, in order";
    desk.scheduler().advance(2.99);
    EXPECT_EQ(visible(), 6U);
    desk.scheduler().advance(0.01);
    EXPECT_EQ(visible(), 0U);
}

TEST_F(AppTest, AboutShowsCreditsInFront) {
    Options o;
    o.about = true;
    auto app = launch(o);
    ASSERT_EQ(desk.dialogs().abouts.size(), 1U);
    EXPECT_EQ(desk.dialogs().abouts[0].name, "Marrowick");
    EXPECT_EQ(desk.dialogs().abouts[0].version, "1.2.3");
    EXPECT_EQ(desk.dialogs().abouts[0].creditsText, "Developed by marrowick.app");
    EXPECT_EQ(desk.dialogs().abouts[0].creditsLink, "https://marrowick.app");
    EXPECT_GE(desk.dialogs().activations, 1);
    app->menu()->actions()[2]->trigger();
    EXPECT_EQ(desk.dialogs().abouts.size(), 2U);
}

// A later launch's options act in the running instance; with none it opens the settings.
TEST_F(AppTest, ReopenActsOnTheOptionsItIsHanded) {
    auto app = launch();
    EXPECT_FALSE(app->applicationShouldHandleReopen({}));
    EXPECT_EQ(logLines().back(), "reopen requested");
    EXPECT_TRUE(app->settings().window().isVisible());
    app->settings().window().hide();

    Options o;
    o.overlay = true;
    o.about = true;
    EXPECT_FALSE(app->applicationShouldHandleReopen(o));
    EXPECT_EQ(logLines().back(), "reopen requested --overlay --about");
    EXPECT_EQ(visible(), 3U) << "the overlay";
    EXPECT_EQ(desk.dialogs().abouts.size(), 1U);
    EXPECT_FALSE(app->settings().window().isVisible()) << "only what was asked for";
    desk.scheduler().advance(App::overlaySeconds);
    EXPECT_EQ(visible(), 0U);
}

// The settings window: "Settings…", a second launch and "--settings" all open the one panel.
TEST_F(AppTest, SettingsWindowOpensFromTheMenuTheReopenRequestAndTheOption) {
    Options o;
    o.settings = true;
    o.about = true;
    auto app = launch(o);
    QWidget& window = app->settings().window();
    EXPECT_TRUE(window.isVisible()) << "--settings";
    EXPECT_EQ(desk.dialogs().abouts.size(), 1U) << "then the About window";
    EXPECT_EQ(app->settings().controls().monitorMenu->count(), 2) << "opened: the monitors are listed";
    window.hide();
    app->menu()->actions()[1]->trigger();
    EXPECT_TRUE(window.isVisible());
    window.hide();
    EXPECT_FALSE(app->applicationShouldHandleReopen({}));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(&app->settings().window(), &window) << "made once and kept";
}

TEST_F(AppTest, SettingsWindowPreviewsThroughTheApp) {
    auto app = launch();
    app->settings().open();
    app->settings().showOnScreen();
    EXPECT_EQ(visible(), 3U) << "the wide monitor's three tiles";
    desk.scheduler().advance(1.5);
    EXPECT_EQ(visible(), 0U);
}

// The one-time question about the system's own Option-drag tiling.
class MacTilingTest : public AppTest {
protected:
    std::optional<bool> tiling() { return desk.preferences().boolean(MacOptionTiling::domain, MacOptionTiling::key); }
    void setTiling(bool on) { desk.preferences().setBoolean(MacOptionTiling::domain, MacOptionTiling::key, on); }
};

TEST_F(MacTilingTest, AskedOnceAndTurnedOff) {
    desk.dialogs().answers = {alertFirstButton};
    launch();
    ASSERT_EQ(desk.dialogs().alerts.size(), 1U);
    const Alert& a = desk.dialogs().alerts[0];
    EXPECT_EQ(a.message, "Turn off macOS's Option-drag tiling?");
    EXPECT_EQ(a.buttons, (std::vector<std::string>{"Turn It Off", "Not Now"}));
    EXPECT_NE(a.informative.find("“Hold ⌥ key while dragging windows to tile”"), std::string::npos);
    EXPECT_EQ(tiling(), false);
    EXPECT_TRUE(store.boolean("askedAboutMacTiling"));
    const auto lines = logLines();
    EXPECT_EQ(lines[1], "macOS Option-drag tiling set to false, now reads false");
    launch();
    EXPECT_EQ(desk.dialogs().alerts.size(), 1U) << "never asked again";
}

TEST_F(MacTilingTest, NotNowChangesNothingAndIsNotAskedAgain) {
    launch();
    ASSERT_EQ(desk.dialogs().alerts.size(), 1U);
    EXPECT_EQ(tiling(), std::nullopt);
    launch();
    EXPECT_EQ(desk.dialogs().alerts.size(), 1U);
}

TEST_F(MacTilingTest, NoQuestionWithoutAConflictOrWithoutTheSetting) {
    Settings::setKeys({Key::control, Key::shift});
    launch();
    setTiling(false);
    Settings::setKeys({Key::alt});
    launch();
    desk.preferences().values.clear();
    desk.preferences().offer = false;
    launch();
    EXPECT_TRUE(desk.dialogs().alerts.empty());
    EXPECT_FALSE(store.has("askedAboutMacTiling"));
}

TEST_F(MacTilingTest, AStoreThatCannotBeOpenedReadsOnAndShowsTheFailedWrite) {
    desk.preferences().refuse = true;
    desk.dialogs().answers = {alertFirstButton};
    auto app = launch();
    EXPECT_EQ(desk.dialogs().alerts.size(), 1U) << "Option is a drag key and the setting counts as on";
    EXPECT_EQ(logLines()[1], "macOS Option-drag tiling set to false, now reads true");
}

}  // namespace
}  // namespace marrowick
