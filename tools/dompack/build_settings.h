#pragma once

// How `dompack build` compresses: one worker thread for each core of the machine unless
// DOMPACK_THREADS says how many, and pieces of kDefaultPieceSize (gzip_writer.h) unless
// DOMPACK_PIECE_SIZE gives another size in bytes (tests make small trees span several members that
// way). The thread count never changes the output; the piece size does.

#include <string>

#include "tools/dompack/gzip_writer.h"

// False with a message naming the variable when one is set to something other than a whole
// number in its range.
bool GzipWriterOptionsFromEnvironment(GzipWriterOptions* options, std::string* error);
