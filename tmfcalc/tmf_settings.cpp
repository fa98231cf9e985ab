#include "tmf_settings.h"

#include <cmath>

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "workbench/text_file.h"

namespace tmfcalc {

namespace {

// The fields in the order of the file's lines 2 .. 6.
struct Stored {
    ui::Control* field[5];
};
Stored stored(const TerrainFields& f) {
    return {{&f.hldTextNumber, &f.hldNSOffset, &f.hldNSSpan, &f.hldWEOffset, &f.hldWESpan}};
}

}  // namespace

void write_tmf_settings(const std::string& path, const TerrainFields& f) {
    std::string bytes = "v1\r\n";
    for (const ui::Control* c : stored(f).field) bytes += c->text() + "\r\n";
    ui::write_file_atomic(path, bytes);
}

void read_tmf_settings(const std::string& path, TerrainFields& f) {
    if (!ui::file_exists(path)) return;
    try {
        const std::vector<std::string> lines = wb::split_lines(ui::read_file(path));
        const Stored s = stored(f);
        for (std::size_t i = 1; i <= 5 && i < lines.size(); ++i) {
            // A number past the range of numbers is no value to work with: its field stays.
            const double v = ui::val(lines[i]);
            if (std::isfinite(v)) s.field[i - 1]->set_text(ui::num(v));
        }
    } catch (const ui::RuntimeError&) {
        // An unreadable settings file leaves the fields as they are.
    }
}

}  // namespace tmfcalc
