#pragma once

#include <QScrollArea>

// A column of panels that is never narrower than its panels need, so no caption is
// cut, and scrolls vertically when the window is shorter than the column.
class PanelScrollArea : public QScrollArea
{
    Q_OBJECT

public:
    explicit PanelScrollArea(QWidget *panel, QWidget *parent = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    [[nodiscard]] int neededWidth() const;
};
