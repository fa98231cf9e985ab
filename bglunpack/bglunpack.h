#pragma once
// The two exports of bglunpack.dll / libbglunpack.so, for programs that load the library by
// name. On 32-bit Windows they use the stdcall convention with undecorated names.
#include <cstdint>

#if defined(_WIN32)
#define BGLUNPACK_CALL __stdcall
#define BGLUNPACK_EXPORT
#else
#define BGLUNPACK_CALL
#define BGLUNPACK_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// Decompresses the library file `file_name` into a buffer of the library's own: on result 0
// *size receives the byte count and *buffer the block, to be handed back through
// FSCompleteBGLOperation. Result codes: bglunpack::Result (bgl_decoder.h).
BGLUNPACK_EXPORT std::int32_t BGLUNPACK_CALL FSGetUncompressedBGLData(const char* file_name,
                                                                      std::int32_t* size,
                                                                      void** buffer);

// Releases a buffer returned by FSGetUncompressedBGLData: 0 when released, 1 when the pointer
// is null, unreadable over `size` bytes or not a buffer of this library.
BGLUNPACK_EXPORT std::int32_t BGLUNPACK_CALL FSCompleteBGLOperation(std::int32_t size,
                                                                    void* buffer);

typedef std::int32_t(BGLUNPACK_CALL* FSGetUncompressedBGLDataFn)(const char*, std::int32_t*,
                                                                 void**);
typedef std::int32_t(BGLUNPACK_CALL* FSCompleteBGLOperationFn)(std::int32_t, void*);
}
