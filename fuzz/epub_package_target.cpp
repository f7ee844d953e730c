#include "core/zip_archive.h"
#include "covers/epub_package.h"
#include "fuzz/fuzz_targets.h"

// Every EPUB the user adds with EPUB titles switched on has its container and package document
// read, and its cover picture found and read at the synchronisation.
void fuzzEpubPackage(QByteArrayView input)
{
    const std::optional<ZipArchive> archive = ZipArchive::openBytes(input);
    const std::optional<EpubPackage> package = archive ? readEpubPackage(*archive) : std::nullopt;
    if (package)
        epubCoverPicture(*archive, *package);
}
