#include "app/snap_outline.h"

#include "settings/settings.h"

namespace marrowick {

void SnapOutline::show(const Rect& tile) { outline_.show(tile, Settings::outlineStyle()); }

}  // namespace marrowick
