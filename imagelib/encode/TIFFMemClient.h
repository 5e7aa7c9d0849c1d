#pragma once

// libtiff over memory, shared by the TIFF encoder and decoder. A handle reads from a block of
// memory (mode "r") or writes into a CByteSink (mode "w"); it is opened with the client name
// "MemSource" and never memory-maps. The client record belongs to the handle and goes with
// TIFFClose.
//
// libtiff reports errors and warnings through process-wide handlers: errors are traced at
// level 0 and kept as the last error text (with a trailing line feed), warnings are traced at
// level 2 as "Warning in LIBTIFF(module): text\n".

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

#include <tiffio.h>

#include "encode/ByteSink.h"

// Opens a reading handle over size bytes at data (kept alive by the caller until TIFFClose).
// Null when libtiff refuses the data; PLTiffLastError() then tells why.
TIFF* PLTiffOpenRead(const uint8_t* data, size_t size);

// Opens a writing handle into sink. A failure of the sink (for example out of memory) makes the
// library's write fail and is kept in *failure for the caller to rethrow.
TIFF* PLTiffOpenWrite(CByteSink& sink, std::exception_ptr* failure);

// The text of libtiff's last error ("" when none since PLTiffClearError).
const std::string& PLTiffLastError();
void PLTiffClearError();

// Installs the handlers above (done by the open calls; harmless to repeat).
void PLTiffInstallHandlers();
