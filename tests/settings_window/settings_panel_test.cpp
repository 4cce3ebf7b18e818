#include "settings_window/settings_panel.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <algorithm>
#include <map>

#include "follow/window_follower.h"
#include "settings/mac_option_tiling.h"
#include "settings/notification_center.h"
#include "settings/settings.h"
#include "settings_window/layout_faults.h"
#include "settings_window/partition_view.h"
#include "settings_window/swatch.h"
#include "settings_window/swatch_row.h"
#include "settings_window/value_slider.h"
#include "support/desktop_fixture.h"

namespace marrowick {
namespace {

struct Shown {
    std::vector<Rect> rects;
    std::optional<double> hideAfter;
};

// The panel on the simulated desktop: "Wide" 3440 × 1440 (three columns by default) and
// "Right" 1920 × 1080 (no sections), with one window filling Wide's left column.
class PanelTest : public test::DesktopTest {
protected:
    PanelTest() { leftWindow = desk.addWindow(100, {0, 25, 1147, 1415}); }
    SettingsPanel& panel() {
        if (!panel_) {
            panel_ = std::make_unique<SettingsPanel>(desk, tiling, follower, notifications,
                                                     [this](const std::vector<Rect>& r, std::optional<double> s) {
                                                         shown.push_back({r, s});
                                                     });
        }
        return *panel_;
    }
    const SettingsPanel::Controls& c() { return panel().controls(); }
    SettingsPanel& opened() {
        panel().open();
        return panel();
    }
    void pickMonitor(int index) {
        c().monitorMenu->setFocus();
        while (c().monitorMenu->currentIndex() < index) QTest::keyClick(c().monitorMenu, Qt::Key_Down);
        while (c().monitorMenu->currentIndex() > index) QTest::keyClick(c().monitorMenu, Qt::Key_Up);
    }
    static void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    QAbstractButton* segment(QButtonGroup* g, int i) { return g->button(i); }
    Rect frame(Window w) {
        follower.queue().drain();
        return desk.frame(w).value_or(Rect{});
    }
    static void expectNear(const Rect& a, const Rect& b) {
        EXPECT_NEAR(a.x, b.x, 1);
        EXPECT_NEAR(a.y, b.y, 1);
        EXPECT_NEAR(a.width, b.width, 1);
        EXPECT_NEAR(a.height, b.height, 1);
    }
    void sendMouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static QPoint handleCentre(const QSlider* s) {
        QStyleOptionSlider o;
        o.initFrom(s);
        o.subControls = QStyle::SC_All;
        o.orientation = s->orientation();
        o.minimum = s->minimum();
        o.maximum = s->maximum();
        o.sliderPosition = s->sliderPosition();
        o.sliderValue = s->value();
        o.singleStep = s->singleStep();
        o.pageStep = s->pageStep();
        return s->style()->subControlRect(QStyle::CC_Slider, &o, QStyle::SC_SliderHandle, s).center();
    }

    MacOptionTiling tiling{desk.preferences()};
    NotificationCenter notifications;
    WindowFollower follower{desk.windows(), 4242};
    std::vector<Shown> shown;
    Window leftWindow;
    std::unique_ptr<SettingsPanel> panel_;
};

TEST_F(PanelTest, BuildsTheRowsWithTheirTextsAndRanges) {
    EXPECT_EQ(panel().window().windowTitle(), "Marrowick Settings");
    EXPECT_EQ(c().gapLabel->text(), "0 px");
    EXPECT_TRUE(c().macTilingHint->text().isEmpty());
    QStringList sectionTitles;
    for (QAbstractButton* b : c().sectionPicker->buttons()) sectionTitles << b->text();
    EXPECT_EQ(sectionTitles, (QStringList{"Off", "2", "3", "4"}));
    EXPECT_EQ(c().axisPicker->button(0)->text(), "Side by side");
    EXPECT_EQ(c().axisPicker->button(1)->text(), "Stacked");
    EXPECT_EQ(c().quarterButton->text(), QString::fromUtf8("\u00bc \u00b7 \u00bd \u00b7 \u00bc"));
    // The design's lengths, for its 13-point font, in the window's own font.
    const double unit = QFontInfo(panel().window().font()).pixelSize() / 13.0;
    const auto scaled = [unit](double v) { return static_cast<int>(std::lround(v * unit)); };
    EXPECT_EQ(c().partitions->size(), QSize(scaled(520), scaled(170)));
    EXPECT_EQ(c().monitorMenu->width(), scaled(450));
    struct Range {
        ValueSlider* slider;
        double min, max;
    };
    for (const Range& r : {Range{c().gapSlider, 0, 40}, Range{c().fillOpacity, 0.05, 1}, Range{c().borderOpacity, 0, 1},
                           Range{c().borderWidth, 0, 8}, Range{c().cornerRadius, 0, 40}}) {
        EXPECT_DOUBLE_EQ(r.slider->realMinimum(), r.min) << r.slider->accessibleName().toStdString();
        EXPECT_DOUBLE_EQ(r.slider->realMaximum(), r.max);
        EXPECT_EQ(r.slider->width(), scaled(300));
    }
    ASSERT_EQ(c().fillSwatches.size(), palette.size());
    ASSERT_EQ(c().borderSwatches.size(), palette.size());
    for (std::size_t i = 0; i < palette.size(); ++i) {
        EXPECT_EQ(c().fillSwatches[i]->toolTip().toStdString(), palette[i].name);
        EXPECT_EQ(c().borderSwatches[i]->color(), palette[i].color);
    }
    // The sim keeps the Mac key names and shows the tiling box; X11 names the keys as PCs do.
    QStringList keys;
    for (QCheckBox* b : c().keyBoxes) keys << b->text();
    EXPECT_EQ(keys, (QStringList{"⌃ Control", "⌥ Option", "⇧ Shift", "⌘ Command"}));
    QStringList pc;
    for (const auto& k : SettingsPanel::keyChoices(KeyLabels::pc)) pc << k.title;
    EXPECT_EQ(pc, (QStringList{"Ctrl", "Alt", "Shift", "Super"}));
    EXPECT_EQ(c().macTilingBox->text(), "Turn off macOS's “Hold ⌥ key while dragging windows to tile”");
    EXPECT_EQ(c().liveBox->text(), "Holding the keys for a moment shows the sections, with arrows to resize them");
}

TEST_F(PanelTest, InitialTicksComeFromTheStoreAndTheLoginService) {
    Settings::setKeys({Key::control, Key::alt});
    Settings::store().set(Settings::liveOverlayKey, Value(false));
    desk.loginItems().statusValue = LoginItems::enabled;
    std::vector<bool> ticks;
    for (QCheckBox* b : c().keyBoxes) ticks.push_back(b->isChecked());
    EXPECT_EQ(ticks, (std::vector<bool>{true, true, false, false}));
    EXPECT_FALSE(c().liveBox->isChecked());
    EXPECT_TRUE(c().loginBox->isChecked());
}

TEST_F(PanelTest, MonitorListTitlesAndDefaultChoice) {
    opened();
    ASSERT_EQ(c().monitorMenu->count(), 2);
    EXPECT_EQ(c().monitorMenu->itemText(0), "Wide (3440 × 1440)");
    EXPECT_EQ(c().monitorMenu->itemText(1), "Right (1920 × 1080)");
    EXPECT_EQ(c().monitorMenu->currentIndex(), 0);
    EXPECT_EQ(c().partitions->screen()->name, "Wide");

    struct Case {
        std::vector<Screen> screens;
        int chosen;
    };
    const Screen a{{0, 0, 1920, 1080}, {0, 0, 1920, 1080}, std::nullopt, "A"};
    const Screen b{{1920, 0, 1920, 1080}, {1920, 0, 1920, 1080}, std::nullopt, "B"};
    const Screen wide2{{1920, 0, 3440.7, 1440.9}, {1920, 0, 3440, 1440}, std::nullopt, "W"};
    for (const Case& k : {Case{{a, b}, 0}, Case{{a, wide2}, 1}}) {
        panel_.reset();
        desk.screens().setScreens(k.screens);
        opened();
        EXPECT_EQ(c().monitorMenu->currentIndex(), k.chosen);
    }
    EXPECT_EQ(c().monitorMenu->itemText(1), "W (3440 × 1440)") << "sizes cut toward zero";
}

TEST_F(PanelTest, ThreeOnAMonitorWithoutSections) {
    desk.addWindow(100, {3440, 25, 1920, 1055});
    opened();
    pickMonitor(1);
    EXPECT_EQ(c().partitions->screen()->name, "Right");
    EXPECT_EQ(c().sectionPicker->checkedId(), 0) << "Off";
    EXPECT_FALSE(c().evenButton->isEnabled());
    EXPECT_FALSE(c().gapSlider->isEnabled());
    shown.clear();

    click(segment(c().sectionPicker, 2));
    const auto d = Settings::dividers(right);
    ASSERT_EQ(d.size(), 2U);
    EXPECT_NEAR(d[0], 1.0 / 3, 1e-12);
    EXPECT_NEAR(d[1], 2.0 / 3, 1e-12);
    EXPECT_TRUE(c().axisPicker->button(0)->isEnabled());
    EXPECT_TRUE(c().evenButton->isEnabled());
    EXPECT_TRUE(c().quarterButton->isEnabled());
    EXPECT_TRUE(c().showButton->isEnabled());
    EXPECT_TRUE(c().gapSlider->isEnabled());
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].rects.size(), 3U);
    EXPECT_EQ(shown[0].hideAfter, 1.5);
    follower.queue().drain();
    EXPECT_TRUE(follower.followers().empty()) << "a change of count moves no window";
}

TEST_F(PanelTest, OffStoresNoDividersAndShowsNothing) {
    opened();
    shown.clear();
    click(segment(c().sectionPicker, 0));
    EXPECT_TRUE(Settings::dividers(wide).empty());
    EXPECT_TRUE(shown.empty());
    EXPECT_FALSE(c().axisPicker->button(1)->isEnabled());
    for (QWidget* w :
         std::initializer_list<QWidget*>{c().evenButton, c().quarterButton, c().showButton, c().gapSlider}) {
        EXPECT_FALSE(w->isEnabled());
    }
    expectNear(frame(leftWindow), {0, 25, 1147, 1415});
    click(c().showButton);  // disabled: nothing
    EXPECT_TRUE(shown.empty());
}

TEST_F(PanelTest, PresetsKeepTheWindowsInTheirSections) {
    opened();
    click(c().quarterButton);
    EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{0.25, 0.75}));
    expectNear(frame(leftWindow), {0, 25, 860, 1415});

    // After an editor drag to 0.2 and 0.5, "Even spacing" puts both back to thirds.
    PartitionView* editor = c().partitions;
    const QRectF m = editor->monitor();
    auto at = [&](double f) { return QPoint(static_cast<int>(std::lround(m.left() + f * m.width())), 85); };
    QTest::mousePress(editor, Qt::LeftButton, {}, at(0.25));
    sendMouse(editor, QEvent::MouseMove, at(0.2), Qt::LeftButton);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, at(0.2));
    QTest::mousePress(editor, Qt::LeftButton, {}, at(0.75));
    sendMouse(editor, QEvent::MouseMove, at(0.5), Qt::LeftButton);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, at(0.5));
    EXPECT_EQ(Settings::dividers(wide), (std::vector<double>{0.2, 0.5}));
    expectNear(frame(leftWindow), {0, 25, 688, 1415});
    EXPECT_EQ(shown.back().hideAfter, 1.0) << "the editor's release";
    EXPECT_EQ(shown[shown.size() - 2].hideAfter, std::nullopt) << "during the editor's drag";
    EXPECT_FALSE(c().quarterButton->isEnabled() && c().sectionPicker->checkedId() != 2);

    click(c().evenButton);
    const auto d = Settings::dividers(wide);
    EXPECT_NEAR(d[0], 1.0 / 3, 1e-12);
    EXPECT_NEAR(d[1], 2.0 / 3, 1e-12);
    expectNear(frame(leftWindow), {0, 25, 1146.67, 1415});

    click(c().axisPicker->button(1));
    EXPECT_EQ(Settings::axis(wide), Axis::rows);
    expectNear(frame(leftWindow), {0, 25, 1146.67, 1415});
    EXPECT_EQ(shown.back().hideAfter, 1.5);
}

TEST_F(PanelTest, GapIsStoredEven) {
    opened();
    struct Case {
        int units;  // hundredths of a point on the slider
        double stored;
        const char* label;
    };
    for (const Case& k : {Case{300, 4, "4 px"}, Case{290, 2, "2 px"}, Case{100, 2, "2 px"}, Case{4000, 40, "40 px"},
                          Case{0, 0, "0 px"}}) {
        c().gapSlider->setValue(k.units);  // as a key press moves it: no mouse drag
        EXPECT_EQ(Settings::gap(wide), k.stored) << k.units;
        EXPECT_EQ(c().gapLabel->text(), k.label);
        EXPECT_EQ(c().gapSlider->value(), k.units) << "the slider keeps its own position";
        EXPECT_EQ(shown.back().hideAfter, 1.5);
    }
}

TEST_F(PanelTest, GapSliderDragCapturesOnceAndKeepsTheOutlinesUntilRelease) {
    opened();
    ValueSlider* s = c().gapSlider;
    auto captures = [this] {
        follower.queue().drain();
        std::size_t n = 0;
        const std::string text = log();
        for (std::size_t at = text.find("following "); at != std::string::npos; at = text.find("following ", at + 1))
            ++n;
        return n;
    };
    const QPoint handle = handleCentre(s);
    sendMouse(s, QEvent::MouseButtonPress, handle, Qt::LeftButton);
    ASSERT_TRUE(s->isSliderDown());
    sendMouse(s, QEvent::MouseMove, handle + QPoint(30, 0), Qt::LeftButton);
    const double first = Settings::gap(wide);
    EXPECT_GT(first, 0);
    const Rect tile = frame(leftWindow);
    EXPECT_NEAR(tile.width, 1146.67 - first / 2, 1) << "the window followed the first step";
    EXPECT_EQ(shown.back().hideAfter, std::nullopt);

    sendMouse(s, QEvent::MouseMove, handle + QPoint(60, 0), Qt::LeftButton);
    EXPECT_GT(Settings::gap(wide), first);
    EXPECT_EQ(shown.back().hideAfter, std::nullopt);
    sendMouse(s, QEvent::MouseButtonRelease, handle + QPoint(60, 0), Qt::NoButton);
    EXPECT_FALSE(s->isSliderDown());
    EXPECT_EQ(shown.back().hideAfter, 1.5) << "the outlines fade after the release";
    EXPECT_EQ(captures(), 1U) << "one capture for the whole drag";
    expectNear(frame(leftWindow), {0, 25, 1146.67 - Settings::gap(wide) / 2, 1415});

    s->setValue(0);  // a key press: captures again
    EXPECT_EQ(captures(), 2U);
}

TEST_F(PanelTest, UnpluggedMonitorGivesWayToAnotherOrNone) {
    opened();
    pickMonitor(1);
    desk.screens().setScreens({right, wide});
    EXPECT_EQ(c().partitions->screen()->name, "Right") << "kept while connected, matched by its key";
    EXPECT_EQ(c().monitorMenu->currentIndex(), 0);

    desk.screens().setScreens({wide});
    EXPECT_EQ(c().partitions->screen()->name, "Wide");
    EXPECT_EQ(c().monitorMenu->count(), 1);

    desk.screens().setScreens({});
    EXPECT_FALSE(c().partitions->screen().has_value()) << "no monitor left to act on";
    EXPECT_EQ(c().monitorMenu->count(), 0);
    EXPECT_FALSE(c().sectionPicker->button(3)->isEnabled());
    shown.clear();
    c().partitions->onChange();
    c().gapSlider->setValue(1000);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Settings::gap(wide), 0);
}

TEST_F(PanelTest, LayoutsThePresetsCannotShowAreShownAsRead) {
    Settings::setDividers({0.2, 0.4, 0.6, 0.8}, wide);
    opened();
    EXPECT_EQ(c().sectionPicker->checkedId(), 0) << "five sections: no segment, Off shown";
    EXPECT_TRUE(c().axisPicker->button(0)->isEnabled());
    EXPECT_TRUE(c().evenButton->isEnabled());
    EXPECT_FALSE(c().quarterButton->isEnabled());
    EXPECT_TRUE(c().gapSlider->isEnabled());
    EXPECT_EQ(c().partitions->labels().size(), 5U);

    Settings::setDividers({0.1, 0.35}, wide);  // uneven thirds
    opened();
    EXPECT_EQ(c().sectionPicker->checkedId(), 2);

    // Malformed: the store reads the default (three even columns) and the first edit writes a
    // valid list.
    Settings::store().set(Settings::displayDividersKey, Value(Value::Dict{{"Wide", Value(Value::List{0.7, 0.2})}}));
    opened();
    EXPECT_EQ(c().partitions->labels().size(), 3U);
    c().partitions->setFocus();
    QTest::keyPress(c().partitions, Qt::Key_Right);
    QTest::keyRelease(c().partitions, Qt::Key_Right);
    const Value* stored = Settings::store().object(Settings::displayDividersKey);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(Settings::dividers(wide).size(), 2U);
    EXPECT_TRUE(Settings::validDividers(Settings::dividers(wide)));
    EXPECT_NEAR(Settings::dividers(wide)[0], 0.34, 1e-9);

    panel().setDividers({0.5, 0.2});  // nothing that reads back wrong is written
    EXPECT_NEAR(Settings::dividers(wide)[0], 0.34, 1e-9);
}

TEST_F(PanelTest, KeysKeepOneAndTheHintFollowsTheConflict) {
    Settings::setKeys({Key::control, Key::alt});
    opened();
    const QColor orange(255, 149, 0);
    EXPECT_EQ(c().macTilingHint->text(),
              "This is on in macOS, so macOS takes over drags that use Option. Tick the box to fix that.");
    EXPECT_EQ(c().macTilingHint->palette().color(QPalette::WindowText), orange);
    EXPECT_FALSE(c().macTilingBox->isChecked()) << "the system's tiling is on";

    click(c().keyBoxes[1]);  // Option off
    EXPECT_EQ(Settings::keys(), Modifiers{Key::control});
    EXPECT_EQ(c().macTilingHint->text(),
              "Only needed when Option is one of your keys. macOS's edge, corner and top tiling stay on either way.");
    EXPECT_NE(c().macTilingHint->palette().color(QPalette::WindowText), orange);

    click(c().keyBoxes[0]);  // the last key
    EXPECT_TRUE(c().keyBoxes[0]->isChecked()) << "re-ticked";
    EXPECT_EQ(Settings::keys(), Modifiers{Key::control});

    click(c().keyBoxes[1]);
    click(c().macTilingBox);  // turns the system's tiling off
    EXPECT_FALSE(tiling.isOn());
    EXPECT_TRUE(c().macTilingBox->isChecked());
    EXPECT_EQ(c().macTilingHint->text().left(12), "Only needed ");
}

TEST_F(PanelTest, WithoutTheSystemTilingItsBoxAndHintAreHidden) {
    desk.preferences().offer = false;
    opened();
    EXPECT_FALSE(c().macTilingBox->isVisible());
    EXPECT_FALSE(c().macTilingHint->isVisible());
    EXPECT_TRUE(c().liveBox->isVisible());
}

TEST_F(PanelTest, OutlineControlsKeepOpacitiesAndMarkTheChosenChips) {
    opened();
    c().fillOpacity->setValue(40);
    const Swatch* blue = c().fillSwatches[2];
    click(c().fillSwatches[2]);
    EXPECT_EQ(Settings::color(Settings::fillColorKey), (Color{0.0, 0.48, 1.0, 0.4}));
    EXPECT_TRUE(blue->isChosen());
    int chosen = 0;
    for (const Swatch* s : c().fillSwatches) chosen += s->isChosen() ? 1 : 0;
    EXPECT_EQ(chosen, 1);
    EXPECT_EQ(shown.back().hideAfter, 1.5);

    click(c().borderSwatches[7]);
    c().borderOpacity->setValue(25);
    c().borderWidth->setValue(350);  // every slider's value is stored, unrounded
    EXPECT_EQ(Settings::color(Settings::fillColorKey), (Color{0.0, 0.48, 1.0, 0.4}));
    EXPECT_EQ(Settings::color(Settings::borderColorKey), (Color{1.0, 0.23, 0.19, 0.25}));
    EXPECT_EQ(Settings::borderWidth(), 3.5);
    EXPECT_TRUE(c().borderSwatches[7]->isChosen());

    click(c().resetButton);
    EXPECT_EQ(Settings::borderWidth(), Settings::defaultBorderWidth);
    EXPECT_FALSE(c().borderSwatches[7]->isChosen());
    EXPECT_DOUBLE_EQ(c().cornerRadius->realValue(), Settings::defaultCornerRadius);
}

// The window lays out from its font: at the default size nothing is cut off and no control
// touches another, and so it stays with a font twice as large (as Xft.dpi 192 gives where Qt does
// not scale the window itself).
TEST_F(PanelTest, NothingIsCutOffAndNoControlTouchesAnotherWhateverTheFont) {
    const QFont normal = QApplication::font();
    std::map<int, int> widths;
    for (const double factor : {1.0, 2.0}) {
        QFont f = normal;
        f.setPointSizeF(normal.pointSizeF() * factor);
        QApplication::setFont(f);
        panel_.reset();
        SettingsPanel& p = opened();
        QApplication::processEvents();
        const std::vector<std::string> faults = test::layoutFaults(p.window());
        EXPECT_TRUE(faults.empty()) << "at " << factor << "x the font: " << ::testing::PrintToString(faults);
        widths[static_cast<int>(factor)] = p.window().width();
        // The editor's labels follow the font, at the size the design gives them beside it.
        const QFont editor = c().partitions->font();
        EXPECT_DOUBLE_EQ(editor.pointSizeF(), f.pointSizeF()) << "the editor is set in the window's font";
    }
    QApplication::setFont(normal);
    panel_.reset();
    EXPECT_GT(widths[2], widths[1] * 3 / 2) << "the window grows with its font (the style's least sizes do not)";
}

// Screen readers and voice control press and toggle controls through their accessible actions;
// each control does then what a click does, once.
TEST_F(PanelTest, EveryControlReactsToItsAccessibleActionAsToAClick) {
    opened();
    pickMonitor(1);
    const auto act = [](QWidget* w, const QString& action) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(a->actionInterface(), nullptr);
        ASSERT_TRUE(a->actionInterface()->actionNames().contains(action))
            << w->accessibleName().toStdString() << ": "
            << a->actionInterface()->actionNames().join(", ").toStdString();
        a->actionInterface()->doAction(action);
    };
    shown.clear();
    act(segment(c().sectionPicker, 1), QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(Settings::dividers(right), (std::vector<double>{0.5})) << "the 2 segment";
    EXPECT_TRUE(c().evenButton->isEnabled());
    EXPECT_EQ(shown.size(), 1U) << "shown once";
    act(segment(c().axisPicker, 1), QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(Settings::axis(right), Axis::rows);

    act(c().keyBoxes[0], QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(Settings::keys(), (Modifiers{Key::control, Key::alt})) << "the Control box";
    act(c().liveBox, QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(Settings::liveOverlay());
    act(c().loginBox, QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(desk.loginItems().statusValue, LoginItems::enabled);

    // Press clicks after a moment, as a button shows itself pressed.
    Settings::setDividers({0.2}, right);
    act(c().evenButton, QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([this] { return Settings::dividers(right) == std::vector<double>{0.5}; }, 5000))
        << "Even spacing";
    act(c().fillSwatches[2], QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([this] { return c().fillSwatches[2]->isChosen(); }, 5000)) << "a colour chip";
}

// A click on the segment already chosen spreads its sections evenly again, once.
TEST_F(PanelTest, AClickOnTheChosenSegmentEvensItsSectionsOnce) {
    opened();
    Settings::setDividers({0.2, 0.5}, wide);
    c().partitions->refresh();
    shown.clear();
    click(segment(c().sectionPicker, 2));
    const auto d = Settings::dividers(wide);
    ASSERT_EQ(d.size(), 2U);
    EXPECT_NEAR(d[0], 1.0 / 3, 1e-12);
    EXPECT_EQ(shown.size(), 1U);
    click(segment(c().sectionPicker, 1));
    click(segment(c().sectionPicker, 1));
    EXPECT_EQ(shown.size(), 3U) << "once per click, whether it changed the choice or not";
}

// Each row of colour chips is one Tab stop: Tab reaches its chosen chip, the arrows move along
// the row and Space picks.
TEST_F(PanelTest, AChipRowIsOneTabStopMovedWithTheArrows) {
    SettingsPanel& p = opened();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.window()));
    const std::vector<Swatch*>& chips = c().fillSwatches;
    const auto stops = [&chips] {
        int n = 0;
        for (const Swatch* s : chips) n += (s->focusPolicy() & Qt::TabFocus) != 0 ? 1 : 0;
        return n;
    };
    EXPECT_EQ(stops(), 1);
    const Color fill = Settings::color(Settings::fillColorKey);
    Swatch* chosen = c().fillRow->tabStop();
    ASSERT_NE(chosen, nullptr);
    EXPECT_TRUE(chosen->isChosen() || std::none_of(chips.begin(), chips.end(), [](auto* s) { return s->isChosen(); }));

    chips[3]->setFocus(Qt::TabFocusReason);
    QTest::keyClick(chips[3], Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), chips[4]);
    QTest::keyClick(chips[4], Qt::Key_Left);
    QTest::keyClick(chips[3], Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), chips[2]);
    EXPECT_EQ(c().fillRow->tabStop(), chips[2]) << "Shift+Tab comes back where the arrows left it";
    EXPECT_EQ(stops(), 1);
    EXPECT_EQ(Settings::color(Settings::fillColorKey), fill) << "moving picks nothing";
    QTest::keyClick(chips[2], Qt::Key_Space);
    EXPECT_TRUE(chips[2]->isChosen());
    chips.front()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(chips.front(), Qt::Key_Left);
    EXPECT_EQ(QApplication::focusWidget(), chips.front()) << "the row's end";
    chips.back()->setFocus(Qt::TabFocusReason);
    QTest::keyClick(chips.back(), Qt::Key_Right);
    EXPECT_EQ(QApplication::focusWidget(), chips.back());
}

TEST_F(PanelTest, LiveOverlayAndStartAtLogin) {
    opened();
    click(c().liveBox);
    EXPECT_FALSE(Settings::liveOverlay());

    click(c().loginBox);
    EXPECT_EQ(desk.loginItems().statusValue, LoginItems::enabled);
    EXPECT_NE(log().find("start at login: 1\n"), std::string::npos);

    desk.loginItems().failWith = "cannot write the entry";
    click(c().loginBox);  // unticking fails: the item is still there
    EXPECT_TRUE(c().loginBox->isChecked());
    EXPECT_NE(log().find("start at login failed: cannot write the entry\n"), std::string::npos);
    desk.loginItems().statusValue = 0;
    click(c().loginBox);  // ticking fails
    EXPECT_FALSE(c().loginBox->isChecked());
}

TEST_F(PanelTest, DividersChangedElsewhereRedrawsTheEditor) {
    opened();
    const QString before = c().partitions->accessibleDescription();
    Settings::setDividers({0.5}, wide);
    notifications.post(Settings::dividersChanged);
    EXPECT_NE(c().partitions->accessibleDescription(), before);
    EXPECT_TRUE(c().partitions->accessibleDescription().startsWith("Left 50%"));
}

TEST_F(PanelTest, ArrowKeysMoveTheSegmentsSelection) {
    SettingsPanel& p = opened();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.window()));
    pickMonitor(1);
    QAbstractButton* off = segment(c().sectionPicker, 0);
    off->setFocus();
    ASSERT_TRUE(off->hasFocus());
    QTest::keyClick(off, Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    EXPECT_EQ(c().sectionPicker->checkedId(), 2);
    EXPECT_EQ(Settings::dividers(right).size(), 2U) << "three sections on the second monitor";
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    EXPECT_EQ(Settings::dividers(right).size(), 1U);
    QTest::keyClick(c().keyBoxes[2], Qt::Key_Space);
    EXPECT_EQ(Settings::keys(), (Modifiers{Key::alt, Key::shift})) << "Space ticks a key";
}

TEST_F(PanelTest, KeyboardReachesEveryControlInOrderAndEscapeHides) {
    SettingsPanel& p = opened();
    EXPECT_TRUE(p.window().isVisible());
    // Every control that takes focus has a name, and the chain runs top to bottom.
    QWidget* w = c().monitorMenu;
    int lastY = -1;
    int count = 0;
    do {
        if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus) != 0) {
            const auto* b = qobject_cast<QAbstractButton*>(w);
            EXPECT_FALSE(w->accessibleName().isEmpty() && (b == nullptr || b->text().isEmpty()))
                << w->metaObject()->className();
            const int y = w->mapTo(&p.window(), QPoint(0, w->height() / 2)).y();
            EXPECT_GE(y, lastY - 12) << w->metaObject()->className() << " " << w->accessibleName().toStdString();
            lastY = y;
            ++count;
        }
        w = w->nextInFocusChain();
    } while (w != c().monitorMenu && count < 100);
    // Menu, four sections, two directions, editor, three buttons, gap, four keys, live overlay,
    // the tiling box, and in the outline grid one stop per chip row and per slider; reset, login.
    EXPECT_EQ(count, 26);

    p.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.window()));
    QTest::keyClick(&p.window(), Qt::Key_Escape);
    EXPECT_FALSE(p.window().isVisible());
    p.open();
    p.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p.window()));
    QTest::keyClick(&p.window(), Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(p.window().isVisible());
}

}  // namespace
}  // namespace marrowick
