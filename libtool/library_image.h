#pragma once
// Objects of a compressed library read from its decompressed image in memory: bglunpack
// decodes the file, the objects are read from the image without a temporary file on disk.
#include <string>

#include "libtool/library_objects.h"
#include "ui/platform.h"

namespace libtool {

// The object count, or kBglMissing when bglunpack failed (its result code in unpack_result;
// nothing listed). Throws ui::RuntimeError when bglunpack or one of its exports cannot be found.
long read_compressed_objects(ui::Platform& platform, const std::string& path, LibraryObjects& objects,
                             int& unpack_result);

// get_library_objects for a search: a small file is read whole in one go and its objects read
// from memory (one read instead of one per index entry); larger files are read in place. The
// same results, and the same line in "error.txt" for a header that fails the test.
long scan_library_objects(const std::string& path, LibraryObjects& objects);

}  // namespace libtool
