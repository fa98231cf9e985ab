#include "text_file.h"

#include "ui/errors.h"
#include "ui/fileio.h"
#include "ui/format.h"
#include "ui/platform.h"

namespace wb {

std::string& LineArray::operator[](long i) {
    if (i < 0 || i >= size()) ui::raise(ui::kSubscriptOutOfRange);
    return e_[static_cast<size_t>(i)];
}

const std::string& LineArray::operator[](long i) const {
    if (i < 0 || i >= size()) ui::raise(ui::kSubscriptOutOfRange);
    return e_[static_cast<size_t>(i)];
}

void LineArray::resize(long n) {
    if (n < 1) n = 1;
    e_.resize(static_cast<size_t>(n));
}

long LineArray::top() const { return static_cast<long>(ui::val(e_[0])); }

LineArray LineArray::from_lines(const std::vector<std::string>& lines) {
    LineArray a(static_cast<long>(lines.size()) + 2);
    for (size_t i = 0; i < lines.size(); ++i) a.e_[i + 1] = lines[i];
    a.set_top(static_cast<long>(lines.size()) + 1);
    return a;
}

std::vector<std::string> LineArray::lines() const {
    std::vector<std::string> r;
    for (long i = 1; i < top() && i < size(); ++i) r.push_back(e_[static_cast<size_t>(i)]);
    return r;
}

std::vector<std::string> split_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0, i = 0, n = bytes.size();
    while (i < n) {
        char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes, start, i - start);
            if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < n) lines.emplace_back(bytes, start, n - start);
    return lines;
}

long load_file2array(const std::string& path, LineArray& lines) {
    if (!ui::file_exists(path)) {
        ui::error_box("Error ! File does not exist: (" + path + ").");
        return 0;
    }
    try {
        lines = LineArray::from_lines(split_lines(ui::read_file(path)));
        return lines.top();
    } catch (const ui::RuntimeError& e) {
        ui::error_box("Error in load_file2array: " + std::to_string(e.number) + " :" + e.description);
        return 0;
    } catch (const std::bad_alloc&) {
        ui::error_box("Error in load_file2array: 7 :" + ui::error_description(7));
        return 0;
    }
}

std::string array_file_text(const LineArray& lines) {
    std::string out;
    long top = lines.top();
    for (long i = 1; i <= top; ++i) {
        out += lines[i];
        out += "\r\n";
    }
    return out;
}

void save_array2file(const std::string& path, const LineArray& lines) {
    ui::write_file_atomic(path, array_file_text(lines));
}

bool copy_text_file(const std::string& source, const std::string& target) {
    LineArray temp;
    if (load_file2array(source, temp) == 0) return false;
    save_array2file(target, temp);
    return true;
}

}  // namespace wb
