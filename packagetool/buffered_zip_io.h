#pragma once
// File functions for minizip's reader and writer over Windows files with one
// large buffer. minizip seeks before nearly every read and writes headers a
// few bytes at a time; through this buffer those become few system calls.
// Files are opened as the C runtime's fopen opens them (ANSI paths, shared
// for reading and writing).

#include <minizip/ioapi.h>

// Fills functions with the buffered file functions.
void fillBufferedZipFunctions(zlib_filefunc64_def& functions);
