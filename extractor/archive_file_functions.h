#pragma once
// The zip reader's view of the archive inside the stub's own file.

#include "archive_read_ahead.h"
#include "sfx_archive.h"

#include <minizip/ioapi.h>

namespace unfurler {

// A 32-bit file-function table for unzOpen2 under which the bytes from
// archive.archive_offset to the end of archive.file look like a stand-alone
// zip file: read_ahead_file_functions over the own file. Opening ignores the
// path and succeeds only for reading an existing file; writing writes
// nothing; closing leaves the handle open. The reader's position lives in
// archive.reading; archive must outlive every use of the table.
zlib_filefunc_def archive_file_functions(sfx_archive& archive);

}  // namespace unfurler
