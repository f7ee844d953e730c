#include "booklist/text_decoding.h"

#include <QtGlobal>

#include <array>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {
// The code page maps single bytes, so the system codec is asked once per byte value.
using ByteTable = std::array<char16_t, 256>;

#ifdef Q_OS_WIN
char16_t systemCharacter(unsigned char byte)
{
    const char in = char(byte);
    wchar_t out = 0;
    if (MultiByteToWideChar(1251, 0, &in, 1, &out, 1) != 1)
        return u'\uFFFD';
    return char16_t(out);
}
#else
class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_handle(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (m_handle != iconv_t(-1))
            iconv_close(m_handle);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool isValid() const { return m_handle != iconv_t(-1); }
    iconv_t handle() const { return m_handle; }

private:
    iconv_t m_handle;
};

char16_t systemCharacter(unsigned char byte)
{
    const Iconv codec("UTF-16LE", "CP1251");
    if (!codec.isValid())
        return u'\uFFFD';
    char in = char(byte);
    unsigned char out[4] = {};
    char *inPointer = &in;
    char *outPointer = reinterpret_cast<char *>(out);
    size_t inLeft = 1;
    size_t outLeft = sizeof out;
    if (iconv(codec.handle(), &inPointer, &inLeft, &outPointer, &outLeft) == size_t(-1) || outLeft != 2)
        return byte == 0x98 ? u'\u0098' : u'\uFFFD'; // 0x98 is unassigned; Windows passes it through
    return char16_t(out[0] | (out[1] << 8));
}
#endif

const ByteTable &systemTable()
{
    static const ByteTable table = [] {
        ByteTable result{};
        for (int byte = 0; byte < 256; ++byte)
            result[std::size_t(byte)] = byte < 0x80 ? char16_t(byte) : systemCharacter((unsigned char)byte);
        return result;
    }();
    return table;
}
} // namespace

QString decodeWindows1251WithSystemCodec(QByteArrayView bytes)
{
    const ByteTable &table = systemTable();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(table[std::size_t(static_cast<unsigned char>(byte))]);
    return text;
}
