#pragma once

#include <QWidget>
#include <vector>

namespace marrowick {

class Swatch;

// A row of colour chips that is one stop of the Tab chain, as a group of radio buttons is: Tab
// lands on the chosen chip (the first when none is), the arrow keys move along the row, Space
// picks. The chips are the row's children.
class SwatchRow : public QWidget {
public:
    SwatchRow(const std::vector<Swatch*>& chips, const QString& name, QWidget* parent = nullptr);

    // Makes the chosen chip the row's stop again, after the choice changed.
    void followChoice();
    [[nodiscard]] Swatch* tabStop() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeStop(Swatch* chip);

    std::vector<Swatch*> chips_;
};

}  // namespace marrowick
