#include "booklist/text_decoding.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

// Authors and titles taken from a book are decoded as UTF-8 or, failing that, as Windows-1251.
void fuzzTextDecoding(QByteArrayView input)
{
    const QString text = decodeBookText(input);
    // Either the bytes were UTF-8 (a leading byte-order mark is dropped) or each byte is one character.
    const QByteArrayView withoutMark = input.startsWith("\xEF\xBB\xBF") ? input.sliced(3) : input;
    fuzzCheck(text.toUtf8() == withoutMark || text.size() == input.size(),
              "book text is UTF-8 or one character a byte");
    fuzzCheck(decodeWindows1251(input) == decodeWindows1251WithSystemCodec(input),
              "Qt's and the system's Windows-1251 agree");
}
