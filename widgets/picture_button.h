#pragma once

#include "widgets/flat_tool_button.h"

#include <QKeySequence>

// A flat square button showing a picture, with a hint, pressed also from anywhere in its window
// by its shortcut, which the hint names.
class PictureButton : public FlatToolButton
{
    Q_OBJECT
public:
    PictureButton(const QString &picture, const QString &hint, int size, const QKeySequence &shortcut = {},
                  QWidget *parent = nullptr);
};

// A hint as a button with `shortcut` shows it: "Добавить файл (Ctrl+O)".
QString hintWithShortcut(const QString &hint, const QKeySequence &shortcut);
