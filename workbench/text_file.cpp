#include "text_file.h"

#include <cstdio>
#include <memory>

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

void LineSplitter::feed(const char* bytes, size_t n) {
    size_t i = 0;
    if (after_cr_ && n > 0) {
        after_cr_ = false;
        if (bytes[0] == '\n') i = 1;
    }
    while (i < n) {
        size_t j = i;
        while (j < n && bytes[j] != '\r' && bytes[j] != '\n') ++j;
        if (j == n) {
            partial_.append(bytes + i, n - i);
            return;
        }
        if (partial_.empty()) {
            out_.emplace_back(bytes + i, j - i);
        } else {
            partial_.append(bytes + i, j - i);
            out_.push_back(std::move(partial_));
            partial_.clear();
        }
        i = j + 1;
        if (bytes[j] == '\r') {
            if (i == n) after_cr_ = true;
            else if (bytes[i] == '\n') ++i;
        }
    }
}

void LineSplitter::finish() {
    if (!partial_.empty()) out_.push_back(std::move(partial_));
    partial_.clear();
    after_cr_ = false;
}

std::vector<std::string> split_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    LineSplitter split(lines);
    split.feed(bytes.data(), bytes.size());
    split.finish();
    return lines;
}

LineArray LineArray::from_file(const std::string& path) {
    if (!ui::file_exists(path)) ui::raise(ui::kFileNotFound);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(ui::native_path(path).c_str(), "rb"), std::fclose);
    if (!f) ui::raise(ui::kPathFileAccess);
    LineArray a;
    LineSplitter split(a.e_);
    std::vector<char> piece(1 << 16);
    for (;;) {
        const size_t n = std::fread(piece.data(), 1, piece.size(), f.get());
        split.feed(piece.data(), n);
        if (n < piece.size()) break;
    }
    if (std::ferror(f.get())) ui::raise(ui::kDeviceIo);
    split.finish();
    const long count = static_cast<long>(a.e_.size()) - 1;
    a.e_.emplace_back();
    a.set_top(count + 1);
    return a;
}

long load_file2array(const std::string& path, LineArray& lines) {
    if (!ui::file_exists(path)) {
        ui::error_box("Error ! File does not exist: (" + path + ").");
        return 0;
    }
    try {
        lines = LineArray::from_file(path);
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
    size_t size = 0;
    for (long i = 1; i <= top; ++i) size += lines[i].size() + 2;
    out.reserve(size);
    for (long i = 1; i <= top; ++i) {
        out += lines[i];
        out += "\r\n";
    }
    return out;
}

std::string lines_file_text(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

void save_arrays2files(const std::vector<std::pair<std::string, LineArray>>& files) {
    std::vector<std::pair<std::string, std::string>> bytes;
    for (const auto& [path, lines] : files) bytes.emplace_back(path, array_file_text(lines));
    ui::write_files_atomic(bytes);
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
