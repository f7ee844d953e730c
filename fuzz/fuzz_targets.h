#pragma once

#include <QByteArrayView>

#include <span>
#include <string_view>

// One fuzz target: the name of its seed and regression folders, and the work done on one input.
// Expected failures (a damaged picture, a file that is not a database) are answered inside;
// a fault shows as a crash, a sanitizer report or a broken promise (fuzzCheck).
struct FuzzTarget
{
    std::string_view name;
    void (*run)(QByteArrayView input);
};

// Every target, for the libFuzzer programs and for the replay of kept inputs.
std::span<const FuzzTarget> fuzzTargets();
// The target of that name, or nullptr.
const FuzzTarget *fuzzTargetNamed(std::string_view name);

// The bodies, one reader of untrusted bytes each.
void fuzzFb2Metadata(QByteArrayView input);
void fuzzTextDecoding(QByteArrayView input);
void fuzzFb2Cover(QByteArrayView input);
void fuzzJpegCover(QByteArrayView input);
void fuzzPngCover(QByteArrayView input);
void fuzzReaderDatabase(QByteArrayView input);
void fuzzZippedFb2(QByteArrayView input);
void fuzzEpubPackage(QByteArrayView input);
