#pragma once

#include "collections/automatic_collections.h"

class QAbstractButton;
class QToolButton;
class QWidget;

// The small arrow beside a page's automatic button: its menu builds the collections by folders,
// by series or by authors at once, and the automatic button goes on building them that way,
// also in later runs. Each entry carries its CollectionSource as the action's data.
QToolButton *makeCollectionSourceButton(int height, QWidget *parent);

// The choice remembered between runs; folders until another is made.
CollectionSource rememberedCollectionSource();
void rememberCollectionSource(CollectionSource source);

// Marks `source` in the arrow's menu and says it in the automatic button's hint.
void showCollectionSource(QToolButton *sourceButton, QAbstractButton *automaticButton, CollectionSource source);
