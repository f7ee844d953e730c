#include "booklist/declared_encoding.h"
#include "booklist/text_decoding.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

// Authors and titles taken from a book are decoded in the encoding its XML declaration names,
// or as UTF-8 or, failing that, as Windows-1251. The input is "NAME\nBYTES": the declared name,
// then the text.
void fuzzTextDecoding(QByteArrayView input)
{
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArray declared = lineEnd < 0 ? QByteArray() : input.first(lineEnd).toByteArray();
    const QByteArrayView bytes = lineEnd < 0 ? input : input.sliced(lineEnd + 1);

    const QString text = decodeBookText(bytes);
    // Either the bytes were UTF-8 (a leading byte-order mark is dropped) or each byte is one character.
    const QByteArrayView withoutMark = bytes.startsWith("\xEF\xBB\xBF") ? bytes.sliced(3) : bytes;
    fuzzCheck(text.toUtf8() == withoutMark || text.size() == bytes.size(),
              "book text is UTF-8 or one character a byte");
    fuzzCheck(decodeWindows1251(bytes) == decodeWindows1251WithSystemCodec(bytes),
              "Qt's and the system's Windows-1251 agree");

    DeclaredTextDecoder decoder;
    decoder.decode(bytes, declared);
    declaredXmlEncoding(bytes);
    wideXmlEncoding(bytes);
}
