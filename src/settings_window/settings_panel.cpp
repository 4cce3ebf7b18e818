#include "settings_window/settings_panel.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>

#include "base/log.h"
#include "follow/window_follower.h"
#include "geometry/dividers.h"
#include "geometry/geometry.h"
#include "settings/mac_option_tiling.h"
#include "settings/notification_center.h"
#include "settings/screen_layout.h"
#include "settings/settings.h"
#include "settings_window/partition_view.h"
#include "settings_window/swatch.h"
#include "settings_window/swatch_row.h"
#include "settings_window/value_slider.h"

namespace marrowick {

namespace {

// The layout's lengths, for a window set in a 13-point system font; they grow and shrink with
// the font the window is set in (fontUnit), and Qt scales them for the monitor.
constexpr double designFontSize = 13;
constexpr double windowWidth = 560;
constexpr double menuWidth = 450;
constexpr double editorWidth = 520;
constexpr double editorHeight = 170;
constexpr double sliderWidth = 300;
constexpr double insets = 20;
constexpr double rowSpacing = 8;     // between the controls of a row
constexpr double groupSpacing = 16;  // between two groups of one row ("Sections:" and "Direction:")
constexpr double keySpacing = 14;
const QColor systemOrange(255, 149, 0);

const char* const conflictHint =
    "This is on in macOS, so macOS takes over drags that use Option. Tick the box to fix that.";
const char* const calmHint =
    "Only needed when Option is one of your keys. macOS's edge, corner and top tiling stay on either way.";

// A text without the colon its label ends with, as a control's accessible name.
QString nameFrom(const QString& label) { return label.endsWith(QLatin1Char(':')) ? label.chopped(1) : label; }

QLabel* label(const QString& text) { return new QLabel(text); }

// How much larger than the layout's design font the window's font is.
double fontUnit(const QWidget& w) { return QFontInfo(w.font()).pixelSize() / designFontSize; }

int scaled(double length, double unit) { return static_cast<int>(std::lround(length * unit)); }

// A segmented control: checkable buttons side by side, one of them selected; arrow keys move
// the selection, like the radio buttons they stand for.
QWidget* segmented(const QStringList& titles, QButtonGroup* group, const QString& name) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < titles.size(); ++i) {
        auto* b = new QPushButton(titles[i]);
        b->setCheckable(true);
        b->setAutoDefault(false);
        b->setAccessibleName(titles[i]);
        b->setAccessibleDescription(name);
        group->addButton(b, i);
        row->addWidget(b);
    }
    group->setExclusive(true);
    box->setAccessibleName(name);
    return box;
}

QHBoxLayout* hstack(std::initializer_list<QWidget*> widgets, int spacing) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(spacing);
    for (QWidget* w : widgets) row->addWidget(w);
    row->addStretch();
    return row;
}

// A slider named after the label in front of it.
ValueSlider* slider(double minimum, double maximum, double step, const QString& name, int width) {
    auto* s = new ValueSlider(minimum, maximum, step);
    s->setFixedWidth(width);
    s->setAccessibleName(nameFrom(name));
    return s;
}

void check(QAbstractButton* box, bool ticked) {
    const QSignalBlocker quiet(box);
    box->setChecked(ticked);
}

// The segment of a group that is selected now, -1 for none.
int selected(const QButtonGroup* group) { return group->checkedId(); }

void select(QButtonGroup* group, int index) {
    // The group reports its buttons' changes itself.
    const QSignalBlocker quiet(group);
    if (QAbstractButton* b = group->button(index)) check(b, true);
}

// A segment's action runs once however the segment was chosen: a click, the arrow keys, or the
// accessible Toggle action, which checks it without a click. A click on the segment already
// chosen runs it again.
void onSegment(QButtonGroup* group, QWidget* context, const std::function<void()>& action) {
    auto toggledNow = std::make_shared<bool>(false);
    // A click, if the toggle was one, follows at once: by the next turn of the event loop none will.
    auto* forget = new QTimer(context);
    forget->setSingleShot(true);
    forget->setInterval(0);
    QObject::connect(forget, &QTimer::timeout, context, [toggledNow] { *toggledNow = false; });
    QObject::connect(group, &QButtonGroup::idToggled, context, [forget, toggledNow, action](int, bool on) {
        if (!on) return;
        *toggledNow = true;
        forget->start();
        action();
    });
    QObject::connect(group, &QButtonGroup::idClicked, context, [toggledNow, action](int) {
        if (std::exchange(*toggledNow, false)) return;
        action();
    });
}

void enable(QButtonGroup* group, bool on) {
    for (QAbstractButton* b : group->buttons()) b->setEnabled(on);
}

}  // namespace

std::array<SettingsPanel::KeyChoice, 4> SettingsPanel::keyChoices(KeyLabels labels) {
    if (labels == KeyLabels::pc) {
        return {{{QStringLiteral("Ctrl"), Key::control},
                 {QStringLiteral("Alt"), Key::alt},
                 {QStringLiteral("Shift"), Key::shift},
                 {QStringLiteral("Super"), Key::super}}};
    }
    return {{{QStringLiteral("⌃ Control"), Key::control},
             {QStringLiteral("⌥ Option"), Key::alt},
             {QStringLiteral("⇧ Shift"), Key::shift},
             {QStringLiteral("⌘ Command"), Key::super}}};
}

SettingsPanel::SettingsPanel(Platform& platform, MacOptionTiling& macTiling, WindowFollower& follower,
                             NotificationCenter& notifications, ShowFunction show)
    : platform_(platform),
      macTiling_(macTiling),
      follower_(follower),
      show_(std::move(show)),
      keyChoices_(keyChoices(platform.keyLabels())),
      window_(std::make_unique<QWidget>(
          nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)) {
    build();
    // Both live as long as the panel; the panel goes before the platform.
    screensChanged_ = platform_.screens().addChangedHandler([this] { reloadMonitors(); });
    dividersChanged_ = notifications.addObserver(std::string(Settings::dividersChanged), [this] { dividersMoved(); });
}

SettingsPanel::~SettingsPanel() = default;

void SettingsPanel::build() {
    QWidget* w = window_.get();
    w->setWindowTitle(QStringLiteral("Marrowick Settings"));
    const double unit = fontUnit(*w);
    w->resize(scaled(windowWidth, unit), scaled(300, unit));

    // The editor's callbacks die with the view, which the panel's window owns.
    c_.partitions = new PartitionView;
    c_.partitions->onBegin = [this] {
        if (const auto& s = c_.partitions->screen()) follower_.capture(*s);
    };
    c_.partitions->onChange = [this] {
        if (!c_.partitions->screen()) return;
        showSections(std::nullopt);
        follower_.update(*c_.partitions->screen());
    };
    c_.partitions->onFinish = [this] {
        if (c_.partitions->screen()) showSections(dragEndSeconds);
    };

    c_.monitorMenu = new QComboBox;
    c_.monitorMenu->setFixedWidth(scaled(menuWidth, unit));
    c_.monitorMenu->setAccessibleName(QStringLiteral("Monitor"));
    QObject::connect(c_.monitorMenu, &QComboBox::activated, w, [this] { pickMonitor(); });

    c_.sectionPicker = new QButtonGroup(w);
    QWidget* sections =
        segmented({QStringLiteral("Off"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")},
                  c_.sectionPicker, QStringLiteral("Sections"));
    onSegment(c_.sectionPicker, w, [this] { pickSections(); });
    c_.axisPicker = new QButtonGroup(w);
    QWidget* axis = segmented({QStringLiteral("Side by side"), QStringLiteral("Stacked")}, c_.axisPicker,
                              QStringLiteral("Direction"));
    onSegment(c_.axisPicker, w, [this] { pickAxis(); });

    c_.partitions->setFixedSize(scaled(editorWidth, unit), scaled(editorHeight, unit));

    auto button = [w](const QString& title, auto action) {
        auto* b = new QPushButton(title);
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, w, action);
        return b;
    };
    c_.evenButton = button(QStringLiteral("Even spacing"), [this] { useEven(); });
    c_.quarterButton = button(QStringLiteral("¼ · ½ · ¼"), [this] { useQuarters(); });
    c_.quarterButton->setAccessibleName(QStringLiteral("Quarter, half, quarter"));
    c_.showButton = button(QStringLiteral("Show on screen"), [this] { showOnScreen(); });

    const QString gapText = QStringLiteral("Gap between windows:");
    c_.gapSlider = slider(0, 40, 1, gapText, scaled(sliderWidth, unit));
    QObject::connect(c_.gapSlider, &QSlider::sliderPressed, w, [this] { gapChanged(GapEdit::begin); });
    QObject::connect(c_.gapSlider, &QSlider::valueChanged, w,
                     [this] { gapChanged(c_.gapSlider->isSliderDown() ? GapEdit::move : GapEdit::step); });
    QObject::connect(c_.gapSlider, &QSlider::sliderReleased, w, [this] { gapChanged(GapEdit::end); });
    c_.gapLabel = label(QStringLiteral("0 px"));
    // As wide as the widest gap it shows, so the row does not move as it changes.
    c_.gapLabel->setMinimumWidth(c_.gapLabel->fontMetrics().horizontalAdvance(QStringLiteral("40 px")));

    const Modifiers keys = Settings::keys();
    for (std::size_t i = 0; i < keyChoices_.size(); ++i) {
        auto* box = new QCheckBox(keyChoices_[i].title);
        box->setChecked(keys.has(keyChoices_[i].key));
        // toggled, not clicked: the accessible Toggle action ticks a box without a click.
        QObject::connect(box, &QCheckBox::toggled, w, [this, i] { toggleKey(static_cast<int>(i)); });
        c_.keyBoxes[i] = box;
    }

    c_.liveBox =
        new QCheckBox(QStringLiteral("Holding the keys for a moment shows the sections, with arrows to resize them"));
    c_.liveBox->setChecked(Settings::liveOverlay());
    QObject::connect(c_.liveBox, &QCheckBox::toggled, w, [this] { toggleLive(); });

    c_.macTilingBox = new QCheckBox(QStringLiteral("Turn off macOS's “Hold ⌥ key while dragging windows to tile”"));
    QObject::connect(c_.macTilingBox, &QCheckBox::toggled, w, [this] { toggleMacTiling(); });
    c_.macTilingHint = new QLabel;
    c_.macTilingHint->setWordWrap(true);
    c_.macTilingHint->setMaximumWidth(scaled(editorWidth, unit));
    QFont small = c_.macTilingHint->font();
    small.setPointSizeF(small.pointSizeF() * 11.0 / 13.0);
    c_.macTilingHint->setFont(small);

    for (const NamedColor& entry : palette) {
        auto* chip = new Swatch(entry.name, entry.color);
        QObject::connect(chip, &Swatch::clicked, w, [this, chip] { pickFill(*chip); });
        c_.fillSwatches.push_back(chip);
    }
    for (const NamedColor& entry : palette) {
        auto* chip = new Swatch(entry.name, entry.color);
        QObject::connect(chip, &Swatch::clicked, w, [this, chip] { pickBorder(*chip); });
        c_.borderSwatches.push_back(chip);
    }

    const std::array<QString, 6> gridLabels{QStringLiteral("Fill colour"),      QStringLiteral("Fill opacity"),
                                            QStringLiteral("Border colour"),    QStringLiteral("Border opacity"),
                                            QStringLiteral("Border thickness"), QStringLiteral("Corner roundness")};
    const int sliderPixels = scaled(sliderWidth, unit);
    c_.fillOpacity = slider(0.05, 1, 0.05, gridLabels[1], sliderPixels);
    c_.borderOpacity = slider(0, 1, 0.05, gridLabels[3], sliderPixels);
    c_.borderWidth = slider(0, 8, 0.5, gridLabels[4], sliderPixels);
    c_.cornerRadius = slider(0, 40, 1, gridLabels[5], sliderPixels);
    for (ValueSlider* s : {c_.fillOpacity, c_.borderOpacity, c_.borderWidth, c_.cornerRadius}) {
        QObject::connect(s, &QSlider::valueChanged, w, [this] { outlineChanged(); });
    }

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(scaled(8, unit));
    grid->setHorizontalSpacing(scaled(12, unit));
    c_.fillRow = new SwatchRow(c_.fillSwatches, gridLabels[0]);
    c_.borderRow = new SwatchRow(c_.borderSwatches, gridLabels[2]);
    const std::array<QWidget*, 6> cells{c_.fillRow,       c_.fillOpacity, c_.borderRow,
                                        c_.borderOpacity, c_.borderWidth, c_.cornerRadius};
    for (int r = 0; r < 6; ++r) {
        QLabel* l = label(gridLabels[static_cast<std::size_t>(r)]);
        l->setBuddy(cells[static_cast<std::size_t>(r)]);
        grid->addWidget(l, r, 0, Qt::AlignVCenter | Qt::AlignLeft);
        grid->addWidget(cells[static_cast<std::size_t>(r)], r, 1, Qt::AlignVCenter | Qt::AlignLeft);
    }
    grid->setColumnStretch(2, 1);

    c_.loginBox = new QCheckBox(QStringLiteral("Start at login"));
    c_.loginBox->setChecked(platform_.loginItems().status() == LoginItems::enabled);
    QObject::connect(c_.loginBox, &QCheckBox::toggled, w, [this] { toggleLogin(); });
    c_.resetButton = button(QStringLiteral("Reset outline"), [this] { resetOutline(); });

    // The main column: rows top to bottom with the space below each.
    auto* column = new QVBoxLayout(w);
    const int margin = scaled(insets, unit);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(0);
    auto row = [column, unit](QLayout* layout, int below) {
        column->addLayout(layout);
        if (below > 0) column->addSpacing(scaled(below, unit));
    };
    auto line = [column, unit](QWidget* widget, int below) {
        column->addWidget(widget, 0, Qt::AlignLeft);
        if (below > 0) column->addSpacing(scaled(below, unit));
    };
    const int spacing = scaled(rowSpacing, unit);
    QLabel* monitorLabel = label(QStringLiteral("Monitor:"));
    monitorLabel->setBuddy(c_.monitorMenu);
    row(hstack({monitorLabel, c_.monitorMenu}, spacing), 10);
    QLabel* sectionsLabel = label(QStringLiteral("Sections:"));
    QLabel* axisLabel = label(QStringLiteral("Direction:"));
    QHBoxLayout* sectionsRow = hstack({sectionsLabel, sections, axisLabel, axis}, spacing);
    sectionsRow->insertSpacing(sectionsRow->indexOf(axisLabel), scaled(groupSpacing, unit) - spacing);
    row(sectionsRow, 10);
    line(c_.partitions, 10);
    row(hstack({c_.evenButton, c_.quarterButton, c_.showButton}, spacing), 10);
    QLabel* gapLabelText = label(gapText);
    gapLabelText->setBuddy(c_.gapSlider);
    row(hstack({gapLabelText, c_.gapSlider, c_.gapLabel}, spacing), 20);
    line(label(QStringLiteral("Hold while dragging a window:")), 10);
    auto* keyRow = new QHBoxLayout;
    keyRow->setSpacing(scaled(keySpacing, unit));
    for (QCheckBox* box : c_.keyBoxes) keyRow->addWidget(box);
    keyRow->addStretch();
    row(keyRow, 10);
    // Where the platform has no such tiling of its own, its checkbox and hint are not shown.
    const bool tiling = macTiling_.offered();
    line(c_.liveBox, tiling ? 10 : 20);
    if (tiling) {
        line(c_.macTilingBox, 4);
        // The whole row's width (up to its maximum), so that it wraps there and is as high as that needs.
        column->addWidget(c_.macTilingHint);
        column->addSpacing(scaled(20, unit));
    } else {
        c_.macTilingBox->setParent(w);
        c_.macTilingHint->setParent(w);
        c_.macTilingBox->hide();
        c_.macTilingHint->hide();
    }
    line(label(QStringLiteral("Outline:")), 10);
    row(grid, 10);
    line(c_.resetButton, 20);
    line(c_.loginBox, 0);

    // Tab goes top to bottom, as the rows read.
    std::vector<QWidget*> order{c_.monitorMenu};
    for (QAbstractButton* b : c_.sectionPicker->buttons()) order.push_back(b);
    for (QAbstractButton* b : c_.axisPicker->buttons()) order.push_back(b);
    order.insert(order.end(), {c_.partitions, c_.evenButton, c_.quarterButton, c_.showButton, c_.gapSlider});
    order.insert(order.end(), c_.keyBoxes.begin(), c_.keyBoxes.end());
    order.insert(order.end(), {c_.liveBox, c_.macTilingBox});
    // The chips keep their places in the chain; only each row's stop takes Tab (SwatchRow).
    order.insert(order.end(), c_.fillSwatches.begin(), c_.fillSwatches.end());
    order.push_back(c_.fillOpacity);
    order.insert(order.end(), c_.borderSwatches.begin(), c_.borderSwatches.end());
    order.insert(order.end(), {c_.borderOpacity, c_.borderWidth, c_.cornerRadius, c_.resetButton, c_.loginBox});
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    // Closing only hides the window; Escape and Ctrl+W close it like the title bar's button.
    for (const QKeySequence& shortcut : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* close = new QShortcut(shortcut, w);
        QObject::connect(close, &QShortcut::activated, w, [w] { w->close(); });
    }
}

void SettingsPanel::open() {
    reloadMonitors();
    syncOutlineControls();
    syncMacTiling();
    QWidget& w = *window_;
    QLayout* layout = w.layout();
    layout->activate();
    // As wide as the design asks, or as its widest row needs with this font; as high as the
    // column then is.
    const int width = std::max(scaled(windowWidth, fontUnit(w)), layout->totalMinimumSize().width());
    const int height =
        layout->hasHeightForWidth() ? layout->totalHeightForWidth(width) : layout->totalSizeHint().height();
    w.setFixedSize(width, height);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), w.size());
        frame.moveCenter(screen->availableGeometry().center());
        w.move(frame.topLeft());
    }
    platform_.dialogs().activate();
    w.show();
    w.raise();
    w.activateWindow();
}

int SettingsPanel::sectionCount() const {
    const auto& s = c_.partitions->screen();
    return s ? static_cast<int>(sections(*s).size()) : 0;
}

void SettingsPanel::reloadMonitors() {
    const auto& current = c_.partitions->screen();
    const std::optional<std::string> remembered =
        current ? std::optional(Settings::displayKey(*current)) : std::nullopt;
    const std::vector<Screen>& screens = platform_.screens().screens();
    {
        const QSignalBlocker quiet(c_.monitorMenu);
        c_.monitorMenu->clear();
        for (const Screen& s : screens) {
            c_.monitorMenu->addItem(QStringLiteral("%1 (%2 × %3)")
                                        .arg(QString::fromStdString(s.name))
                                        .arg(static_cast<long long>(std::trunc(s.frame.width)))
                                        .arg(static_cast<long long>(std::trunc(s.frame.height))));
        }
    }
    if (screens.empty()) {
        // Nothing to show: the editor lets go of the gone monitor rather than act on it.
        c_.partitions->setScreen(std::nullopt);
        syncSectionControls();
        return;
    }
    std::optional<std::size_t> choice;
    for (std::size_t i = 0; remembered && !choice && i < screens.size(); ++i) {
        if (Settings::displayKey(screens[i]) == *remembered) choice = i;
    }
    for (std::size_t i = 0; !choice && i < screens.size(); ++i) {
        if (Settings::isUltrawide(screens[i])) choice = i;
    }
    {
        const QSignalBlocker quiet(c_.monitorMenu);
        c_.monitorMenu->setCurrentIndex(static_cast<int>(choice.value_or(0)));
    }
    pickMonitor();
}

void SettingsPanel::pickMonitor() {
    const int index = c_.monitorMenu->currentIndex();
    const std::vector<Screen>& screens = platform_.screens().screens();
    if (index < 0 || static_cast<std::size_t>(index) >= screens.size()) return;
    c_.partitions->setScreen(screens[static_cast<std::size_t>(index)]);
    syncSectionControls();
}

void SettingsPanel::syncSectionControls() {
    const auto& screen = c_.partitions->screen();
    if (!screen) {
        // No monitor: nothing to edit.
        for (QButtonGroup* g : {c_.sectionPicker, c_.axisPicker}) enable(g, false);
        for (QWidget* x :
             std::initializer_list<QWidget*>{c_.evenButton, c_.quarterButton, c_.showButton, c_.gapSlider}) {
            x->setEnabled(false);
        }
        return;
    }
    enable(c_.sectionPicker, true);
    const int n = sectionCount();
    int segment = 0;
    for (std::size_t i = 0; i < sectionCounts.size(); ++i) {
        if (sectionCounts[i] == n) segment = static_cast<int>(i);
    }
    select(c_.sectionPicker, segment);
    select(c_.axisPicker, Settings::axis(*screen) == Axis::columns ? 0 : 1);
    enable(c_.axisPicker, n != 0);
    c_.evenButton->setEnabled(n != 0);
    c_.quarterButton->setEnabled(n == 3);
    c_.showButton->setEnabled(n != 0);
    c_.gapSlider->setEnabled(n != 0);
    const double gap = Settings::gap(*screen);
    c_.gapSlider->setRealValue(gap);
    c_.gapLabel->setText(QStringLiteral("%1 px").arg(static_cast<long long>(std::trunc(gap))));
}

void SettingsPanel::setDividers(const std::vector<double>& list) {
    const auto& current = c_.partitions->screen();
    // Only lists the store can read back are written.
    if (!current || !Settings::validDividers(list)) return;
    const Screen screen = *current;
    if (!list.empty() && list.size() == Settings::dividers(screen).size()) {
        follower_.capture(screen);
        Settings::setDividers(list, screen);
        follower_.update(screen);
    } else {
        Settings::setDividers(list, screen);
    }
    c_.partitions->refresh();
    syncSectionControls();
    if (!list.empty()) showSections(previewSeconds);
}

void SettingsPanel::pickSections() {
    const int segment = selected(c_.sectionPicker);
    if (segment < 0 || static_cast<std::size_t>(segment) >= sectionCounts.size()) return;
    setDividers(evenDividers(sectionCounts[static_cast<std::size_t>(segment)]));
}

void SettingsPanel::useEven() {
    if (!c_.partitions->screen()) return;
    setDividers(evenDividers(sectionCount()));
}

void SettingsPanel::useQuarters() { setDividers({0.25, 0.75}); }

void SettingsPanel::pickAxis() {
    const auto& screen = c_.partitions->screen();
    if (!screen) return;
    Settings::setAxis(selected(c_.axisPicker) == 0 ? Axis::columns : Axis::rows, *screen);
    c_.partitions->refresh();
    showSections(previewSeconds);
}

void SettingsPanel::showOnScreen() { showSections(previewSeconds); }

void SettingsPanel::showSections(std::optional<double> hideAfter) {
    const auto& screen = c_.partitions->screen();
    if (!screen || !show_) return;
    std::vector<Rect> rects = tiles(*screen);
    if (rects.empty()) {
        const Rect& a = screen->workArea;
        rects.push_back(inset(a, a.width / 4, a.height / 8));
    }
    show_(rects, hideAfter);
}

void SettingsPanel::gapChanged(GapEdit edit) {
    const auto& current = c_.partitions->screen();
    if (!current) return;
    const Screen screen = *current;
    // A drag of the knob captures once, at its press; every step captures.
    if (edit == GapEdit::begin || edit == GapEdit::step) follower_.capture(screen);
    const double gap = roundHalfAway(c_.gapSlider->realValue() * 0.5) * 2;
    Settings::setGap(gap, screen);
    c_.gapLabel->setText(QStringLiteral("%1 px").arg(static_cast<long long>(gap)));
    follower_.update(screen);
    c_.partitions->refresh();
    // The tiles stay up while the knob is held.
    const bool held = edit == GapEdit::begin || edit == GapEdit::move;
    showSections(held ? std::nullopt : std::optional(previewSeconds));
}

void SettingsPanel::dividersMoved() { c_.partitions->refresh(); }

void SettingsPanel::toggleKey(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= keyChoices_.size()) return;
    const auto i = static_cast<std::size_t>(index);
    QCheckBox* box = c_.keyBoxes[i];
    const Key key = keyChoices_[i].key;
    const Modifiers keys = box->isChecked() ? Settings::keys().with(key) : Settings::keys().without(key);
    if (keys.empty()) {
        // At least one key always stays chosen.
        check(box, true);
        return;
    }
    Settings::setKeys(keys);
    syncMacTiling();
}

void SettingsPanel::toggleLive() { Settings::store().set(Settings::liveOverlayKey, Value(c_.liveBox->isChecked())); }

void SettingsPanel::syncMacTiling() {
    check(c_.macTilingBox, !macTiling_.isOn());
    QPalette p = c_.macTilingHint->palette();
    if (macTiling_.conflicts()) {
        c_.macTilingHint->setText(QString::fromUtf8(conflictHint));
        p.setColor(QPalette::WindowText, systemOrange);
    } else {
        c_.macTilingHint->setText(QString::fromUtf8(calmHint));
        p.setColor(QPalette::WindowText, window_->palette().color(QPalette::PlaceholderText));
    }
    c_.macTilingHint->setPalette(p);
}

void SettingsPanel::toggleMacTiling() {
    macTiling_.set(!c_.macTilingBox->isChecked());
    syncMacTiling();
}

void SettingsPanel::syncOutlineControls() {
    const Color fill = Settings::color(Settings::fillColorKey);
    const Color border = Settings::color(Settings::borderColorKey);
    for (Swatch* chip : c_.fillSwatches) chip->setChosen(chip->matches(fill));
    for (Swatch* chip : c_.borderSwatches) chip->setChosen(chip->matches(border));
    c_.fillRow->followChoice();
    c_.borderRow->followChoice();
    c_.fillOpacity->setRealValue(fill.alpha);
    c_.borderOpacity->setRealValue(border.alpha);
    c_.borderWidth->setRealValue(Settings::borderWidth());
    c_.cornerRadius->setRealValue(Settings::cornerRadius());
}

void SettingsPanel::pickFill(const Swatch& chip) {
    Color c = chip.color();
    c.alpha = c_.fillOpacity->realValue();
    Settings::setColor(c, Settings::fillColorKey);
    syncOutlineControls();
    showSections(previewSeconds);
}

void SettingsPanel::pickBorder(const Swatch& chip) {
    Color c = chip.color();
    c.alpha = c_.borderOpacity->realValue();
    Settings::setColor(c, Settings::borderColorKey);
    syncOutlineControls();
    showSections(previewSeconds);
}

void SettingsPanel::outlineChanged() {
    Color fill = Settings::color(Settings::fillColorKey);
    fill.alpha = c_.fillOpacity->realValue();
    Settings::setColor(fill, Settings::fillColorKey);
    Color border = Settings::color(Settings::borderColorKey);
    border.alpha = c_.borderOpacity->realValue();
    Settings::setColor(border, Settings::borderColorKey);
    Settings::store().set(Settings::borderWidthKey, Value(c_.borderWidth->realValue()));
    Settings::store().set(Settings::cornerRadiusKey, Value(c_.cornerRadius->realValue()));
    syncOutlineControls();
    showSections(previewSeconds);
}

void SettingsPanel::resetOutline() {
    Settings::resetOutline();
    syncOutlineControls();
    showSections(previewSeconds);
}

void SettingsPanel::toggleLogin() {
    LoginItems& items = platform_.loginItems();
    const auto error = c_.loginBox->isChecked() ? items.registerItem() : items.unregisterItem();
    if (!error) {
        note("start at login: " + std::to_string(items.status()));
        return;
    }
    note("start at login failed: " + *error);
    check(c_.loginBox, items.status() == LoginItems::enabled);
}

}  // namespace marrowick
