#pragma once

#include <QWidget>

class QToolButton;

namespace tsuzuri {

// A small up-down spinner: an integer value within a range and two arrow
// buttons, not linked to any text field. `changed` is raised whenever the
// value changes, by the arrows or by setValue.
class UpDown : public QWidget {
    Q_OBJECT

public:
    explicit UpDown(QWidget* parent = nullptr);

    int value() const { return value_; }
    int maximum() const { return maximum_; }
    void setRange(int minimum, int maximum);
    // Takes `value` clamped into the range; raises `changed` when it differs.
    void setValue(int value);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    void changed();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int value_ = 0;
    int minimum_ = 0;
    int maximum_ = 10;
    QToolButton* up_;
    QToolButton* down_;
};

}  // namespace tsuzuri
