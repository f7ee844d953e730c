#pragma once

#include <QFont>

// Tahoma at `pixelSize`; where Tahoma is not installed, the application font's family.
QFont tahomaFont(int pixelSize);
