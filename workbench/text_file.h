#pragma once
// A text file held as an array of lines: element 0 holds the line count plus one as decimal
// text (also the index of the first free element), elements 1 .. count the lines as read, and
// element count + 1 exists and is empty.
#include <string>
#include <utility>
#include <vector>

namespace wb {

class LineArray {
public:
    LineArray() : e_{"0"} {}
    explicit LineArray(size_t size) : e_(size < 1 ? 1 : size) { e_[0] = "0"; }

    // Element i; a subscript outside the array raises error 9.
    std::string& operator[](long i);
    const std::string& operator[](long i) const;
    long size() const { return static_cast<long>(e_.size()); }
    void resize(long n);

    // The numeric value of element 0.
    long top() const;
    void set_top(long v) { (*this)[0] = std::to_string(v); }

    // A line array from lines in memory, laid out as a file read would lay it out.
    static LineArray from_lines(const std::vector<std::string>& lines);
    // The lines of a text file, read in pieces so that the file's bytes are never held whole
    // beside its lines. Throws ui::RuntimeError (53 missing, 75 cannot be read, 57 read error).
    static LineArray from_file(const std::string& path);
    // The file's lines: elements 1 .. top() - 1.
    std::vector<std::string> lines() const;

private:
    std::vector<std::string> e_;
};

// Reads a text file into lines; returns element 0's value (line count + 1), or 0 when the
// file does not exist or cannot be read (after showing the box that says why). A line ends at
// a carriage return, a carriage return + line feed, or a lone line feed; a last line without
// terminator is a line too; bytes are kept as read.
long load_file2array(const std::string& path, LineArray& lines);

// Splits file contents into lines by the rule above.
std::vector<std::string> split_lines(const std::string& bytes);

// The same rule on bytes that arrive in pieces: a line may run across pieces, and so may a
// carriage return + line feed.
class LineSplitter {
public:
    explicit LineSplitter(std::vector<std::string>& out) : out_(out) {}
    void feed(const char* bytes, size_t n);
    // The last line when it has no terminator.
    void finish();

private:
    std::vector<std::string>& out_;
    std::string partial_;
    bool after_cr_ = false;
};

// Writes elements 1 .. top() of lines, each followed by CR LF, replacing the file. The write
// goes through a temporary file, so a failure leaves an earlier file whole. Throws
// ui::RuntimeError on failure.
void save_array2file(const std::string& path, const LineArray& lines);
// The bytes save_array2file writes.
std::string array_file_text(const LineArray& lines);
// The same for lines held as a vector: each followed by CR LF.
std::string lines_file_text(const std::vector<std::string>& lines);
// Saves several arrays as one step: either every file is replaced or none is.
void save_arrays2files(const std::vector<std::pair<std::string, LineArray>>& files);

// load_file2array + save_array2file through a private array. Returns false (after the load's
// box) when the source could not be read; throws when the target cannot be written.
bool copy_text_file(const std::string& source, const std::string& target);

}  // namespace wb
