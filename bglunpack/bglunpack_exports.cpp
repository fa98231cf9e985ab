// The two exports: map the file read-only, decode straight from the view into one block, and
// hand the block out until the caller gives it back. Windows and POSIX differ only in how a
// file is mapped and how pointer arguments are checked.
#include "bglunpack/bglunpack.h"

#include <atomic>
#include <cstdlib>
#include <vector>

#include "bglunpack/bgl_decoder.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using bglunpack::Result;

// A read-only view of a whole file; the file (and mapping) handles are closed as soon as
// the view exists.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() { unmap(); }

    bool map(const char* name);
    void unmap();
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

#if defined(_WIN32)

bool MappedFile::map(const char* name) {
    if (!name) return false;
    // Only files on disk: a device or a pipe could block the caller for ever.
    const DWORD attributes = GetFileAttributesA(name);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return false;
    HANDLE file = CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return false;
    }
    DWORD high = 0;
    const DWORD low = GetFileSize(file, &high);
    if ((low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || low == 0) {
        CloseHandle(file);
        return false;
    }
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    CloseHandle(file);
    if (!mapping) return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    CloseHandle(mapping);
    if (!view) return false;
    data_ = static_cast<const std::uint8_t*>(view);
    size_ = low;
    return true;
}

void MappedFile::unmap() {
    if (data_) UnmapViewOfFile(data_);
    data_ = nullptr;
}

bool writable(void* p, std::size_t n) { return !IsBadWritePtr(p, n); }
bool readable(const void* p, std::int32_t n) {
    return !IsBadReadPtr(p, static_cast<UINT_PTR>(static_cast<std::uint32_t>(n)));
}

#else

bool MappedFile::map(const char* name) {
    if (!name) return false;
    // Only regular files: opening a FIFO for reading would wait for a writer for ever. The
    // type is checked before opening, and the open does not wait should it change meanwhile.
    struct stat before {};
    if (stat(name, &before) != 0 || !S_ISREG(before.st_mode)) return false;
    const int fd = open(name, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        static_cast<unsigned long long>(st.st_size) > 0xFFFFFFFFull) {
        close(fd);
        return false;
    }
    void* view = mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE,
                      fd, 0);
    close(fd);
    if (view == MAP_FAILED) return false;
    madvise(view, static_cast<std::size_t>(st.st_size), MADV_SEQUENTIAL);
    data_ = static_cast<const std::uint8_t*>(view);
    size_ = static_cast<std::size_t>(st.st_size);
    return true;
}

void MappedFile::unmap() {
    if (data_) munmap(const_cast<std::uint8_t*>(data_), size_);
    data_ = nullptr;
}

bool writable(void* p, std::size_t) { return p != nullptr; }
bool readable(const void* p, std::int32_t n) { return p != nullptr && n >= 0; }

#endif

// The blocks handed out and not yet given back. Only these are ever released, so a stray
// pointer passed to FSCompleteBGLOperation is refused instead of corrupting the heap.
class Outstanding {
public:
    void add(void* block, std::size_t size) {
        Lock lock(busy_);
        blocks_.push_back({block, size});
    }
    // Forgets and frees the block when it is ours and at least `size` bytes long.
    bool release(void* block, std::size_t size) {
        Lock lock(busy_);
        for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
            if (it->block != block) continue;
            if (size > it->size) return false;
            std::free(block);
            blocks_.erase(it);
            return true;
        }
        return false;
    }

private:
    struct Block {
        void* block;
        std::size_t size;
    };
    struct Lock {
        explicit Lock(std::atomic_flag& f) : flag(f) {
            while (flag.test_and_set(std::memory_order_acquire)) {}
        }
        ~Lock() { flag.clear(std::memory_order_release); }
        std::atomic_flag& flag;
    };
    std::atomic_flag busy_ = ATOMIC_FLAG_INIT;
    std::vector<Block> blocks_;
};

Outstanding& outstanding() {
    static Outstanding blocks;
    return blocks;
}

}  // namespace

extern "C" {

std::int32_t BGLUNPACK_CALL FSGetUncompressedBGLData(const char* file_name, std::int32_t* size,
                                                     void** buffer) {
    if (!writable(size, sizeof *size) || !writable(buffer, sizeof *buffer)) return bglunpack::kBadArguments;
    *buffer = nullptr;
    MappedFile file;
    if (!file.map(file_name)) return bglunpack::kFileError;
    std::uint8_t* image = nullptr;
    std::size_t image_size = 0;
    const Result r = bglunpack::unpack_image(file.data(), file.size(), &image, &image_size);
    if (r != bglunpack::kOk) return r;
    outstanding().add(image, image_size);
    *size = static_cast<std::int32_t>(image_size);
    *buffer = image;
    return bglunpack::kOk;
}

std::int32_t BGLUNPACK_CALL FSCompleteBGLOperation(std::int32_t size, void* buffer) {
    if (!buffer || size < 0 || !readable(buffer, size)) return 1;
    return outstanding().release(buffer, static_cast<std::size_t>(size)) ? 0 : 1;
}

#if defined(_WIN32)
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
    return TRUE;
}
#endif

}  // extern "C"
