#include "bench/synthetic_books.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

#include <array>

namespace {
const std::array<const char *, 6> FirstNames{"Лев", "Фёдор", "Анна", "Иван", "Марина", "Александр"};
const std::array<const char *, 6> LastNames{"Толстой", "Достоевский", "Ахматова", "Бунин", "Цветаева", "Пушкин"};
const QString Sentence = QStringLiteral("Всё смешалось в доме Облонских. Жена узнала, что муж был в связи с бывшею "
                                        "в их доме француженкою-гувернанткой, и объявила мужу, что не может жить "
                                        "с ним в одном доме. ");
} // namespace

QByteArray syntheticFb2(int seed, bool windows1251, int size)
{
    QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\r\n"
                                  "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\" "
                                  "xmlns:l=\"http://www.w3.org/1999/xlink\">\r\n<description>\r\n<title-info>\r\n"
                                  "<genre>prose_classic</genre>\r\n<author>\r\n<first-name>%2</first-name>\r\n"
                                  "<middle-name>Николаевич</middle-name>\r\n<last-name>%3</last-name>\r\n</author>\r\n"
                                  "<book-title>Книга номер %4</book-title>\r\n<annotation><p>")
                       .arg(windows1251 ? "windows-1251" : "utf-8", QString::fromUtf8(FirstNames[seed % 6]),
                            QString::fromUtf8(LastNames[(seed / 6) % 6]))
                       .arg(seed);
    for (int i = 0; i < 8; ++i)
        text += Sentence;
    text += QStringLiteral("</p></annotation>\r\n<date>1877</date>\r\n<coverpage><image l:href=\"#cover.jpg\"/>"
                           "</coverpage>\r\n<lang>ru</lang>\r\n</title-info>\r\n<document-info>\r\n<author>"
                           "<nickname>librarian</nickname></author>\r\n<program-used>FictionBook Editor 2.6"
                           "</program-used>\r\n<id>%1</id>\r\n<version>1.0</version>\r\n</document-info>\r\n"
                           "</description>\r\n<body>\r\n<section>\r\n")
                .arg(seed);
    QByteArray bytes = windows1251 ? QStringEncoder("windows-1251").encode(text) : text.toUtf8();
    const QByteArray paragraph =
        "<p>" + (windows1251 ? QStringEncoder("windows-1251").encode(Sentence) : Sentence.toUtf8()) + "</p>\r\n";
    while (bytes.size() < size)
        bytes += paragraph;
    bytes.truncate(size);
    return bytes;
}

void writeBenchFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        QDir().mkpath(QFileInfo(path).path());
        file.open(QIODevice::WriteOnly);
    }
    file.write(bytes);
}
