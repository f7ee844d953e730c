#pragma once

class QCoreApplication;

// The program speaks Russian whatever the desktop's language, so Qt's own texts (the buttons
// of its file and message dialogs) are made Russian too. Returns false, leaving them as they
// are, when Qt's translations are not installed.
bool installRussianQtTexts(QCoreApplication &application);
