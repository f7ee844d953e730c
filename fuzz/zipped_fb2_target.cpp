#include "core/zip_archive.h"
#include "core/zipped_fb2.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_targets.h"

// Every .zip the user adds with zipped FB2 books switched on is judged by its directory, its head
// read for the metadata and the whole book unpacked onto the reader.
void fuzzZippedFb2(QByteArrayView input)
{
    const std::optional<ZipArchive> archive = ZipArchive::openBytes(input);
    if (!archive)
        return;
    const ZippedFb2 book = zippedFb2In(*archive);
    fuzzCheck((book.entry >= 0) == book.problem.isEmpty(), "an archive is either fit or says why not");
    if (book.entry < 0)
        return;
    fuzzCheck(book.size <= ZippedFb2MaxBytes, "a fit book unpacks within the bound");
    if (const std::optional<QByteArray> head = archive->readHead(book.entry, 10000))
        fuzzCheck(head->size() <= 10000, "a head is no longer than asked");
    if (const std::optional<QByteArray> whole = archive->read(book.entry, ZippedFb2MaxBytes))
        fuzzCheck(whole->size() == book.size, "a book read whole is as large as it declares");
}
