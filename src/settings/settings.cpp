#include "settings/settings.h"

#include <cmath>
#include <limits>
#include <optional>

#include "geometry/dividers.h"
#include "geometry/sections.h"

namespace marrowick::Settings {

namespace {

Defaults* installedStore = nullptr;
const Screens* installedScreens = nullptr;

const Value* entry(std::string_view dictKey, std::string_view displayKey) {
    const Value::Dict* dict = store().dictionary(dictKey);
    if (dict == nullptr) return nullptr;
    auto it = dict->find(displayKey);
    return it == dict->end() ? nullptr : &it->second;
}

void setEntry(std::string_view dictKey, std::string_view displayKey, Value value) {
    const Value::Dict* old = store().dictionary(dictKey);
    Value::Dict dict = old != nullptr ? *old : Value::Dict{};
    dict.insert_or_assign(std::string(displayKey), std::move(value));
    store().set(dictKey, Value(std::move(dict)));
}

// Strict: only integers and reals are numbers here; Booleans and texts are not.
std::optional<std::vector<double>> numbers(const Value& v) {
    const auto* list = v.as<Value::List>();
    if (list == nullptr) return std::nullopt;
    std::vector<double> out;
    out.reserve(list->size());
    for (const Value& e : *list) {
        if (!e.isNumber()) return std::nullopt;
        out.push_back(e.number());
    }
    return out;
}

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

void install(Defaults& s, const Screens& screens) {
    installedStore = &s;
    installedScreens = &screens;
}

Defaults& store() { return *installedStore; }

void registerDefaults(std::optional<Color> accent) {
    auto colorValue = [](const Color& c) { return Value(Value::List{c.red, c.green, c.blue, c.alpha}); };
    Color fill{0.56, 0.56, 0.58, 0.3};
    Color border{1.0, 1.0, 1.0, 0.6};
    double width = defaultBorderWidth;
    if (accent) {
        fill = {accent->red, accent->green, accent->blue, accentFillAlpha};
        border = {accent->red, accent->green, accent->blue, accentBorderAlpha};
        width = accentBorderWidth;
    }
    store().registerDefaults(Value::Dict{
        {std::string(dragKeysKey), Value(static_cast<std::int64_t>(storedBits(defaultDragKeys)))},
        {std::string(liveOverlayKey), Value(true)},
        {std::string(fillColorKey), colorValue(fill)},
        {std::string(borderColorKey), colorValue(border)},
        {std::string(borderWidthKey), Value(width)},
        {std::string(cornerRadiusKey), Value(defaultCornerRadius)},
    });
}

std::uint64_t storedBits(Modifiers keys) {
    std::uint64_t bits = 0;
    if (keys.has(Key::shift)) bits |= StoredKey::shift;
    if (keys.has(Key::control)) bits |= StoredKey::control;
    if (keys.has(Key::alt)) bits |= StoredKey::alt;
    if (keys.has(Key::super)) bits |= StoredKey::super;
    return bits;
}

Modifiers fromStoredBits(std::uint64_t bits) {
    Modifiers keys;
    if ((bits & StoredKey::shift) != 0) keys = keys.with(Key::shift);
    if ((bits & StoredKey::control) != 0) keys = keys.with(Key::control);
    if ((bits & StoredKey::alt) != 0) keys = keys.with(Key::alt);
    if ((bits & StoredKey::super) != 0) keys = keys.with(Key::super);
    return keys;
}

std::string displayKey(const Screen& screen) {
    if (screen.displayId && *screen.displayId >= 0 && *screen.displayId <= std::numeric_limits<std::uint32_t>::max() &&
        installedScreens != nullptr) {
        if (auto text = installedScreens->uuidText(static_cast<std::uint32_t>(*screen.displayId));
            text && !text->empty())
            return *text;
    }
    return screen.name;
}

bool isUltrawide(const Screen& screen) {
    if (!(screen.frame.height > 0)) return false;
    return ultrawideAspect <= screen.frame.width / screen.frame.height;
}

bool validDividers(const std::vector<double>& dividers) {
    double previous = 0;
    for (double d : dividers) {
        if (!std::isfinite(d) || d <= previous || d >= 1) return false;
        previous = d;
    }
    return true;
}

std::vector<double> dividers(const Screen& screen) { return dividers(screen, displayKey(screen)); }

std::vector<double> dividers(const Screen& screen, std::string_view key) {
    if (const Value* stored = entry(displayDividersKey, key)) {
        // A stored list wins, an empty one too; a malformed one reads as missing.
        if (auto list = numbers(*stored); list && validDividers(*list)) return *list;
    }
    if (!isUltrawide(screen)) return {};
    if (store().has(dividerLeftKey)) {
        std::vector<double> pair{store().real(dividerLeftKey), store().real(dividerRightKey)};
        if (validDividers(pair)) return pair;
    }
    return evenDividers(3);
}

void setDividers(const std::vector<double>& dividers, const Screen& screen) {
    Value::List list(dividers.begin(), dividers.end());
    setEntry(displayDividersKey, displayKey(screen), Value(std::move(list)));
}

Axis axis(const Screen& screen) { return axis(screen, displayKey(screen)); }

Axis axis(const Screen& screen, std::string_view key) {
    if (const Value* stored = entry(displayAxisKey, key)) {
        if (const auto* text = stored->as<std::string>()) {
            if (auto a = axisFromRaw(*text)) return *a;
        }
    }
    return screen.frame.height > screen.frame.width ? Axis::rows : Axis::columns;
}

void setAxis(Axis a, const Screen& screen) {
    setEntry(displayAxisKey, displayKey(screen), Value(std::string(rawValue(a))));
}

double gap(const Screen& screen) {
    const std::string key = displayKey(screen);
    const Axis a = axis(screen, key);
    return gapPixels(screen, key, sections(screen.workArea, a, dividers(screen, key)), a) / screen.scale;
}

double gapPixels(const Screen& screen, std::string_view key, const std::vector<Rect>& secs, Axis a) {
    const Value* stored = entry(displayGapKey, key);
    if (stored == nullptr || !stored->isNumber()) return 0;
    return usableGap(stored->number() * screen.scale, secs, a);
}

void setGap(double g, const Screen& screen) { setEntry(displayGapKey, displayKey(screen), Value(g)); }

Modifiers keys() {
    const Value* stored = store().object(dragKeysKey);
    if (stored == nullptr) return {};
    // A whole number that is not too large to be a set of drag keys; anything else (a text, a
    // list, 1e300) would otherwise coerce into a set nobody chose.
    std::optional<std::int64_t> k;
    if (const auto* i = stored->as<std::int64_t>()) k = *i;
    if (const auto* d = stored->as<double>();
        d != nullptr && *d >= 0 && *d <= static_cast<double>(StoredKey::all) && std::trunc(*d) == *d)
        k = static_cast<std::int64_t>(*d);
    if (!k || *k < 0 || (static_cast<std::uint64_t>(*k) & ~StoredKey::all) != 0) return defaultDragKeys;
    return fromStoredBits(static_cast<std::uint64_t>(*k));
}

void setKeys(Modifiers k) { store().set(dragKeysKey, Value(static_cast<std::int64_t>(storedBits(k)))); }

bool liveOverlay() { return store().boolean(liveOverlayKey); }

Color color(std::string_view key) {
    const Value::List* list = store().array(key);
    if (list == nullptr || list->size() < 4) return fallbackColor;
    double c[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const Value& e = (*list)[i];
        if (!e.isNumber() || !std::isfinite(e.number())) return fallbackColor;
        c[i] = e.number();
    }
    for (std::size_t i = 4; i < list->size(); ++i) {
        if (!(*list)[i].isNumber()) return fallbackColor;  // every element must be a number
    }
    return {c[0], c[1], c[2], c[3]};
}

void setColor(const Color& c, std::string_view key) {
    // Without an sRGB form (here: a component that is not a number) nothing is stored.
    for (double v : {c.red, c.green, c.blue, c.alpha}) {
        if (!std::isfinite(v)) return;
    }
    store().set(key, Value(Value::List{c.red, c.green, c.blue, c.alpha}));
}

double borderWidth() { return finiteOr(store().real(borderWidthKey), defaultBorderWidth); }

double cornerRadius() { return finiteOr(store().real(cornerRadiusKey), defaultCornerRadius); }

OutlineStyle outlineStyle() { return {color(fillColorKey), color(borderColorKey), borderWidth(), cornerRadius()}; }

void resetOutline() {
    for (std::string_view key : outlineKeys) store().remove(key);
}

}  // namespace marrowick::Settings
