// Any bytes as a library compiler save file: read it, and write back what was read.
#include <cstdint>
#include <string>

#include "libcompiler/ocm_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto saved = libcompiler::read_ocm(bytes);
    if (saved) {
        if (libcompiler::kOcmHeaderBytes + saved->entries.size() * libcompiler::kOcmObjectBytes > size) __builtin_trap();
        const std::string again = libcompiler::ocm_bytes(saved->output_file, saved->entries);
        const auto reread = libcompiler::read_ocm(again);
        if (!reread || reread->entries.size() != saved->entries.size()) __builtin_trap();
        for (const auto& e : saved->entries)
            if (e.record.name.size() != libtool::kObjectNameLength) __builtin_trap();
    }
    // The same bytes as a typed identifier.
    libtool::Identifier id{};
    libcompiler::read_identifier_text(bytes, id);
    return 0;
}
