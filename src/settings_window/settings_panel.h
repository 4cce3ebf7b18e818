#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/rect.h"
#include "platform/platform.h"
#include "platform/subscription.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QWidget;

namespace marrowick {

class MacOptionTiling;
class NotificationCenter;
class PartitionView;
class Swatch;
class SwatchRow;
class ValueSlider;
class WindowFollower;

// The settings window: each monitor's sections, direction and gap, the drag keys, the live
// overlay, the outline's look, the system's own Option-drag tiling and start at login. Every
// action reads the store afresh and writes it back at once; changes of a monitor's dividers or
// gap are bracketed by the follower's capture and update, and shown briefly through show.
class SettingsPanel {
public:
    // Outlines the rectangles; hides them after the seconds, or keeps them until the next call.
    using ShowFunction = std::function<void(const std::vector<Rect>&, std::optional<double>)>;

    struct KeyChoice {
        QString title;
        Key key;
    };
    // The keys offered, in the order of the checkboxes, named as the platform names them.
    [[nodiscard]] static std::array<KeyChoice, 4> keyChoices(KeyLabels labels);
    // The number of sections each segment of the section picker stands for.
    static constexpr std::array<int, 4> sectionCounts{0, 2, 3, 4};
    static constexpr double previewSeconds = 1.5;
    static constexpr double dragEndSeconds = 1.0;

    // The controls, owned by the window; for the application and tests.
    struct Controls {
        QComboBox* monitorMenu = nullptr;
        QButtonGroup* sectionPicker = nullptr;
        QButtonGroup* axisPicker = nullptr;
        PartitionView* partitions = nullptr;
        QPushButton* evenButton = nullptr;
        QPushButton* quarterButton = nullptr;
        QPushButton* showButton = nullptr;
        ValueSlider* gapSlider = nullptr;
        QLabel* gapLabel = nullptr;
        std::array<QCheckBox*, 4> keyBoxes{};
        QCheckBox* liveBox = nullptr;
        QCheckBox* macTilingBox = nullptr;
        QLabel* macTilingHint = nullptr;
        std::vector<Swatch*> fillSwatches;
        std::vector<Swatch*> borderSwatches;
        SwatchRow* fillRow = nullptr;
        SwatchRow* borderRow = nullptr;
        ValueSlider* fillOpacity = nullptr;
        ValueSlider* borderOpacity = nullptr;
        ValueSlider* borderWidth = nullptr;
        ValueSlider* cornerRadius = nullptr;
        QPushButton* resetButton = nullptr;
        QCheckBox* loginBox = nullptr;
    };

    // What the user did to the gap: a drag of the slider's knob begins, moves and ends; a step is a
    // whole change of its own (the keyboard, the wheel, a click beside the knob).
    enum class GapEdit { begin, move, end, step };

    SettingsPanel(Platform& platform, MacOptionTiling& macTiling, WindowFollower& follower,
                  NotificationCenter& notifications, ShowFunction show);
    ~SettingsPanel();
    SettingsPanel(const SettingsPanel&) = delete;
    SettingsPanel& operator=(const SettingsPanel&) = delete;

    [[nodiscard]] QWidget& window() const { return *window_; }
    [[nodiscard]] const Controls& controls() const { return c_; }

    // Refreshes the monitors and the outline and tiling controls, fits, centres and shows the
    // window in front.
    void open();

    void reloadMonitors();
    void pickMonitor();
    void dividersMoved();
    void gapChanged(GapEdit edit);
    void toggleMacTiling();
    void pickSections();
    void pickAxis();
    void useEven();
    void useQuarters();
    void showOnScreen();
    void toggleKey(int index);
    void toggleLive();
    void pickFill(const Swatch& chip);
    void pickBorder(const Swatch& chip);
    void outlineChanged();
    void resetOutline();
    void toggleLogin();

    void syncSectionControls();
    void syncOutlineControls();
    void syncMacTiling();
    void setDividers(const std::vector<double>& list);
    void showSections(std::optional<double> hideAfter);

private:
    void build();
    [[nodiscard]] int sectionCount() const;

    Platform& platform_;
    MacOptionTiling& macTiling_;
    WindowFollower& follower_;
    ShowFunction show_;
    std::array<KeyChoice, 4> keyChoices_;
    std::unique_ptr<QWidget> window_;
    Controls c_;
    Subscription screensChanged_;
    Subscription dividersChanged_;
};

}  // namespace marrowick
