#include "booklist/fb2_metadata.h"
#include "fuzz/fuzz_targets.h"

// The metadata pass searches the head of every FB2 file the user adds for its author and title.
void fuzzFb2Metadata(QByteArrayView input)
{
    static const Fb2MetadataReader reader;
    reader.read(input);
}
