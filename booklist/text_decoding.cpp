#include "booklist/text_decoding.h"

#include <QStringDecoder>

QString decodeBookText(QByteArrayView bytes)
{
    thread_local QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    utf8.resetState();
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1251(bytes);
}

QString decodeWindows1251(QByteArrayView bytes)
{
    thread_local QStringDecoder codec("windows-1251", QStringConverter::Flag::Stateless);
    if (!codec.isValid())
        return decodeWindows1251WithSystemCodec(bytes);
    return codec.decode(bytes);
}
