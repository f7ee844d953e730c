#pragma once

#include <QKeySequence>
#include <QToolButton>

// A flat square button showing a picture, with a hand cursor and a hint. It takes the focus
// from the Tab key, shows it with a frame, and is pressed by Space or Enter, or from anywhere
// in its window by its shortcut, which the hint names.
class PictureButton : public QToolButton
{
    Q_OBJECT
public:
    PictureButton(const QString &picture, const QString &hint, int size, const QKeySequence &shortcut = {},
                  QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// A hint as a button with `shortcut` shows it: "Добавить файл (Ctrl+O)".
QString hintWithShortcut(const QString &hint, const QKeySequence &shortcut);
