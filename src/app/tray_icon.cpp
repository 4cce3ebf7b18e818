#include "app/tray_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <algorithm>

namespace marrowick {

namespace {

// The application icon's colours: a dark monitor, grey columns, the snapped one blue. The light
// rim keeps the dark body apart from a dark panel; the body stands out on a light one.
const QColor body(0x26, 0x32, 0x38);
const QColor rim(0xec, 0xef, 0xf1);
const QColor column(0x90, 0xa4, 0xae);
const QColor snapped(0x42, 0xa5, 0xf5);

QPixmap drawn(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double unit = size / 16.0;
    const double stroke = std::max(1.0, unit);
    // The monitor, a little wider than tall, centred; its rim is drawn inside the pixmap.
    const QRectF monitor(stroke / 2, size * 0.17, size - stroke, size * 0.66);
    QPainterPath outline;
    outline.addRoundedRect(monitor, 2 * unit, 2 * unit);
    p.fillPath(outline, body);
    p.setPen(QPen(rim, stroke));
    p.drawPath(outline);
    p.setPen(Qt::NoPen);
    // Three columns with a gap of one unit between them and to the rim.
    const QRectF inside =
        monitor.adjusted(stroke + unit * 0.5, stroke + unit * 0.5, -stroke - unit * 0.5, -stroke - unit * 0.5);
    const double gap = std::max(1.0, unit);
    const double width = (inside.width() - 2 * gap) / 3;
    for (int i = 0; i < 3; ++i) {
        const QRectF c(inside.left() + i * (width + gap), inside.top(), width, inside.height());
        p.setBrush(i == 1 ? snapped : column);
        p.drawRoundedRect(c, unit * 0.75, unit * 0.75);
    }
    p.end();
    return pm;
}

}  // namespace

QIcon trayIcon() {
    QIcon icon;
    for (int size : trayIconSizes) icon.addPixmap(drawn(size));
    return icon;
}

}  // namespace marrowick
