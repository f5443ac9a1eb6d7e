#pragma once
// Copying a package entry from a reader to a writer in its compressed form.

#include "zip_writer.h"

#include <minizip/unzip.h>

#include <string>

enum class RawCopyResult {
    copied,     // the entry is complete in the copy
    notOpened,  // the entry could not be read raw or the copy's entry not begun: it is not in the copy
    notIntact,  // the entry needs what a copy cannot keep (strong encryption): it is not in the copy
    damaged,    // the entry was begun but a read or write failed: the copy holds it damaged
    unfinished, // finishing the copy's entry failed: the copy itself is broken
};

struct RawCopyOutcome {
    RawCopyResult result;
    int status;  // the failing minizip status, or 0
};

// Copies the reader's current entry, described by info and named name, into
// writer without decompressing it: same name, method, compressed bytes, CRC,
// sizes, DOS time, attributes, and the encryption and UTF-8 name flags. An
// encrypted entry that carries a data descriptor keeps the descriptor flag
// (its password check depends on it) and gets a descriptor behind its data.
// Entries with strong encryption are not copied (notIntact). The reader's
// current entry is left open for the caller to close.
RawCopyOutcome copyEntryRaw(unzFile reader, ZipWriter& writer, const std::string& name, const unz_file_info64& info);
