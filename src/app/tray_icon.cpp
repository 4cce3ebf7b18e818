#include "app/tray_icon.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

#include "app/application_id.h"

namespace marrowick {

QIcon trayIcon() {
    QIcon icon;
    const QColor ink = QGuiApplication::palette().color(QPalette::WindowText);
    for (int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const double stroke = std::max(1.0, size / 16.0);
        QPen pen(ink, stroke);
        p.setPen(pen);
        const QRectF frame(stroke, size * 0.2, size - 2 * stroke, size * 0.6);
        p.drawRoundedRect(frame, stroke * 1.5, stroke * 1.5);
        for (int i = 1; i < 3; ++i) {
            const double x = frame.left() + frame.width() * i / 3.0;
            p.drawLine(QPointF(x, frame.top()), QPointF(x, frame.bottom()));
        }
        p.end();
        icon.addPixmap(pm);
    }
    // The installed symbolic icon when the theme has it: a tray host that recolours symbolic
    // icons for its panel gets it by name.
    return QIcon::fromTheme(QString::fromUtf8(applicationId) + QStringLiteral("-symbolic"), icon);
}

}  // namespace marrowick
