#include "tmf_settings.h"

#include <cmath>

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "workbench/text_file.h"

namespace wb {

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
        // The texture is a name and comes back as it was typed; the numbers come back as their
        // decimal texts, and a line that holds no number leaves its field as it is.
        if (lines.size() > 1) s.field[0]->set_text(lines[1]);
        for (std::size_t i = 2; i <= 5 && i < lines.size(); ++i) {
            bool ok = false;
            const double v = ui::to_number(lines[i], &ok);
            if (ok && std::isfinite(v)) s.field[i - 1]->set_text(ui::num(v));
        }
    } catch (const ui::RuntimeError&) {
        // An unreadable settings file leaves the fields as they are.
    }
}

}  // namespace wb
