#pragma once

#include <QLabel>

// A label that enlarges a picture by whole multiples pixel for pixel, so an
// LCD image shows its real dots instead of a blur; other scales stay smooth.
class PixelLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PixelLabel(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
