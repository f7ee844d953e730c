#pragma once

#include <QToolButton>

// A flat tool button with a hand cursor. It takes the focus from the Tab key, shows it with a
// frame, and is pressed by Space or Enter; one with a menu opens it.
class FlatToolButton : public QToolButton
{
    Q_OBJECT
public:
    explicit FlatToolButton(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
