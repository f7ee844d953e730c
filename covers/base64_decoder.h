#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Decodes base64 text as FB2 books store it: the standard alphabet (A-Z, a-z, 0-9, '+', '/'),
// with every other character (line breaks, indentation, the '=' filler) skipped. A trailing
// group of two or three characters gives one or two bytes; a lone trailing character gives none.
QByteArray decodeBase64SkippingOthers(QByteArrayView text);
