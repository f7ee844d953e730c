#pragma once

#include <QToolButton>

// A flat square button showing a picture, with a hand cursor and a hint.
class PictureButton : public QToolButton
{
    Q_OBJECT
public:
    PictureButton(const QString &picture, const QString &hint, int size, QWidget *parent = nullptr);
};
