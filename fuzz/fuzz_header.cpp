// Any bytes as a BGL file: read its header and write every report about it.
#include <cstdint>
#include <vector>

#include "libtool/bgl_header.h"

namespace {

struct NullSink : libtool::OutputSink {
    std::size_t total = 0;
    void append_output(const std::string& text, bool) override { total += text.size(); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    libtool::BglFile file;
    file.open_memory(std::vector<std::uint8_t>(data, data + size));
    libtool::BglHeader header;
    libtool::BglHeaderExt extension;
    const short r = libtool::read_bgl_header(file, header, extension);
    NullSink sink;
    libtool::describe_bgl_header(header, extension, true, sink);
    libtool::dump_raw_header(header, extension, sink);
    std::string text;
    if (r == libtool::kBglOpened) libtool::dump_sections(file, header, text);
    // The header record round-trips through its bytes.
    const auto bytes = libtool::header_bytes(header);
    if (size >= bytes.size() && !std::equal(bytes.begin(), bytes.end(), data)) __builtin_trap();
    return 0;
}
