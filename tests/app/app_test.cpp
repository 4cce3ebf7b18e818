#include "app/app.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QWidget>

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
    EXPECT_EQ(actions[1]->shortcut(), QKeySequence(QStringLiteral("Ctrl+,")));
    EXPECT_EQ(actions[2]->text(), "About Marrowick");
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[4]->text(), "Quit Marrowick");

    const auto lines = logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "watching drags") << "the previous run's log is gone";
    EXPECT_EQ(desk.input().watchers(), 2U) << "other applications' input and our own";
    EXPECT_EQ(desk.scheduler().pending(), 0U) << "no permission timer";
    EXPECT_EQ(desk.windows().askCount(), 0);
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
        EXPECT_EQ(desk.scheduler().pending(), 0U) << "the timer is gone";
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

TEST(Options, MatchWholeArgumentsOnly) {
    using SV = std::string_view;
    const SV args[] = {"marrowick", "--preview", "--aboutx", "--no-prompt=1", "-about", "--help", "x"};
    const Options o = Options::parse(args);
    EXPECT_TRUE(o.preview);
    EXPECT_FALSE(o.about);
    EXPECT_FALSE(o.noPrompt);
    EXPECT_TRUE(o.help);
    EXPECT_FALSE(o.version);
}

TEST_F(AppTest, OverlayOptionShowsTheOverlayForThreeSecondsEvenWithTheKeysHeld) {
    using SV = std::string_view;
    const SV given[] = {"--overlay"};
    const SV longer[] = {"--overlays"};
    EXPECT_TRUE(Options::parse(given).overlay);
    EXPECT_FALSE(Options::parse(longer).overlay);

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

TEST_F(AppTest, ReopenIsLoggedAndAnswersFalse) {
    auto app = launch();
    EXPECT_FALSE(app->applicationShouldHandleReopen());
    EXPECT_EQ(logLines().back(), "reopen requested");
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
    EXPECT_FALSE(app->applicationShouldHandleReopen());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(&app->settings().window(), &window) << "made once and kept";

    const std::string_view args[] = {"--settings", "--settingsx"};
    EXPECT_TRUE(Options::parse({args, 1}).settings);
    EXPECT_FALSE(Options::parse({args + 1, 1}).settings);
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
