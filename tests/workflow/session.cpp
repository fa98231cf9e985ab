#include "session.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "assembler.h"
#include "codegen/area_dialogs.h"
#include "codegen/macro_fields.h"
#include "command_line.h"
#include "libtool/bgl_header.h"
#include "random_export.h"
#include "ui/script/script_platform.h"
#include "workbench/form1.h"
#include "workbench/frm_hld_params.h"
#include "workbench/parameter_dialogs.h"
#include "workbench/text_file.h"

namespace fs = std::filesystem;

namespace property {

namespace {

// Questions answered at random, as a user might; file and colour dialogs cancelled.
class RandomPlatform : public ui::ScriptPlatform {
public:
    explicit RandomPlatform(Random& rng) : rng_(rng) {}
    ui::Answer message_box(const ui::MessageBox& box) override {
        boxes.push_back(box);
        answers.push_back(answer(box.buttons));
        return answers.back();
    }
    std::optional<std::string> choose_file(const ui::FileDialog&) override { return std::nullopt; }
    std::optional<std::uint32_t> choose_colour(std::uint32_t) override { return std::nullopt; }
    std::vector<ui::MessageBox> boxes;  // shown during the current step
    std::vector<ui::Answer> answers;    // given to them

private:
    ui::Answer answer(ui::Buttons buttons) {
        switch (buttons) {
            case ui::Buttons::Ok: return ui::Answer::Ok;
            case ui::Buttons::OkCancel: return chance(rng_, 0.5) ? ui::Answer::Ok : ui::Answer::Cancel;
            case ui::Buttons::YesNo:
            case ui::Buttons::YesNoCancel: return chance(rng_, 0.5) ? ui::Answer::Yes : ui::Answer::No;
            case ui::Buttons::RetryCancel: return ui::Answer::Cancel;
            case ui::Buttons::AbortRetryIgnore: return ui::Answer::Abort;
        }
        return ui::Answer::Ok;
    }
    Random& rng_;
};

// Texts a user might type into a number box: mostly sensible, some at the edges, some wrong.
std::string typed_number(Random& rng, double low, double high, bool whole) {
    static const char* const kEdges[] = {"0", "-1", "32767", "32768", "-32768", "65535", "65536", "2147483647",
                                         "2147483648", "-2147483649", "4294967295", "1e6", "0.0001", "1E+20",
                                         "-0.5", " 42 "};
    static const char* const kWrong[] = {"", "abc", "12abc", "1,5", "&H7F", "1e400", "--1",
                                         "99999999999999999999999999", "0x1F", "1.2.3", "-", "."};
    const double r = uniform(rng, 0, 1);
    if (r < 0.7) {
        const double v = uniform(rng, low, high);
        if (whole) return std::to_string(static_cast<long long>(v));
        std::ostringstream s;
        s << static_cast<double>(static_cast<long long>(v * 1000)) / 1000;
        return s.str();
    }
    if (r < 0.88) return kEdges[pick(rng, 0, static_cast<int>(std::size(kEdges)) - 1)];
    return kWrong[pick(rng, 0, static_cast<int>(std::size(kWrong)) - 1)];
}

std::string hex_digits(Random& rng, int n) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    for (int i = 0; i < n; ++i) s += kDigits[pick(rng, 0, 15)];
    return s;
}

std::string typed_hex(Random& rng, int digits) {
    const double r = uniform(rng, 0, 1);
    if (r < 0.75) return hex_digits(rng, digits);
    static const char* const kOdd[] = {"", "GGGGGG", "-1", "0", "2", "ffff", " CCCC", "123456789", "FFFFFFFF"};
    if (r < 0.9) return hex_digits(rng, pick(rng, 1, digits + 2));
    return kOdd[pick(rng, 0, static_cast<int>(std::size(kOdd)) - 1)];
}

std::string typed_guid(Random& rng) {
    if (chance(rng, 0.8)) {
        std::string s;
        for (int i = 0; i < 4; ++i) s += (i ? "," : "") + std::string("0") + hex_digits(rng, 8) + "h";
        return s;
    }
    static const char* const kOdd[] = {"", "0h,0h,0h,0h", "05ADE0809h,042E14DCFh", "{05ADE080-942E-14DC-F73A-EB9A189EC606}",
                                       "0FFFFFFFFFh,0h,0h,0h", "x,y,z,w"};
    return kOdd[pick(rng, 0, static_cast<int>(std::size(kOdd)) - 1)];
}

std::string typed_time_constraints(Random& rng) {
    auto two = [&](int low, int high) {
        const int v = pick(rng, low, high);
        return std::string(v < 10 ? "0" : "") + std::to_string(v);
    };
    if (chance(rng, 0.7))
        return "MOY=" + two(1, 12) + "," + two(1, 12) + ";DOM=" + two(1, 31) + "," + two(1, 31) + ";HOD=" + two(0, 23) +
               "," + two(0, 23) + ";MOH=" + two(0, 59) + "," + two(0, 59) + ";";
    if (chance(rng, 0.5))  // the right length, values out of their ranges
        return "MOY=" + two(0, 99) + "," + two(0, 99) + ";DOM=" + two(0, 99) + "," + two(0, 99) + ";HOD=" +
               two(0, 99) + "," + two(0, 99) + ";MOH=" + two(0, 99) + "," + two(0, 99) + ";";
    return std::string("MOY=01,12;DOM=01,31;HOD=00,23;MOH=00,59;").substr(0, static_cast<size_t>(pick(rng, 0, 45)));
}


std::string first_difference(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    for (size_t i = 0; i < std::max(a.size(), b.size()); ++i) {
        const std::string x = i < a.size() ? a[i] : "<none>", y = i < b.size() ? b[i] : "<none>";
        if (x != y) return "line " + std::to_string(i + 1) + ": '" + x + "' became '" + y + "'";
    }
    return "";
}

// What a refused step must leave as it was.
struct State {
    std::vector<std::string> asm_lines, azm_lines, queue, parameters;
    std::map<std::string, std::string> files;
};

class Session {
public:
    Session(std::uint64_t seed, const SessionOptions& o)
        : rng_(seed), platform_(rng_), options_(o), base_((fs::path(o.folder) / "model").string()) {}

    SessionOutcome run() {
        std::error_code ec;
        fs::remove_all(options_.folder, ec);
        fs::create_directories(options_.folder);
        platform_.set_program_folder(options_.folder);
        ui::set_platform(&platform_);
        struct Reset {
            ~Reset() { ui::set_platform(nullptr); }
        } reset;

        fs::copy_file(fs::path(options_.install_folder) / "fx_list.txt", fs::path(options_.folder) / "fx_list.txt", ec);
        const Export e = random_export(rng_, "model");
        write(base_ + ".asm", e.header);
        write(base_ + "_0.asm", e.object);
        for (int m : e.highlighted)
            if (std::find(e.with_block.begin(), e.with_block.end(), m) != e.with_block.end()) disk_todo_.insert(m);
        step("export (" + std::to_string(e.highlighted.size()) + " highlighted materials)");
        compile("the export itself", {base_ + ".asm"});

        form_ = std::make_unique<wb::Form1>();
        ui::desktop().show(*form_);
        form_->InputFile.set_text(base_);
        open();
        for (int i = 0; i < options_.steps && outcome_.passed; ++i) {
            const int action = pick(rng_, 0, 99);
            if (action < 22) select_material();
            else if (action < 38) select_kind();
            else if (action < 56) parameters();
            else if (action < 80) process();
            else if (action < 87) save();
            else if (action < 93) open();
            else if (action < 96) backup();
            else restore();
        }
        if (form_->is_open()) ui::desktop().close(*form_);
        form_.reset();
        return outcome_;
    }

private:
    void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string read(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    void step(const std::string& what) {
        outcome_.log.push_back(what);
        platform_.boxes.clear();
        platform_.answers.clear();
    }
    void fail(const std::string& what) {
        if (!outcome_.passed) return;
        outcome_.passed = false;
        outcome_.failure = "step " + std::to_string(outcome_.log.size()) + " (" + outcome_.log.back() + "): " + what;
        for (const auto& b : platform_.boxes) outcome_.failure += "\n  box: " + ui::box_line(b);
    }

    // A run-time failure that no handler of the action took care of.
    void check_boxes() {
        for (const auto& b : platform_.boxes)
            if (b.text.rfind("Error in ", 0) == 0) fail("an exception escaped the action");
    }

    State state() const {
        State s;
        s.asm_lines = form_->pair.asm_lines.lines();
        s.azm_lines = form_->pair.azm_lines.lines();
        const auto& ins = form_->pair.insertions;
        for (int k = 1; k <= ins.count(); ++k)
            s.queue.push_back(std::to_string(ins.row(k).index) + "/" + std::to_string(ins.row(k).id));
        for (long k = 1; k <= form_->pair.code.count(); ++k)
            s.queue.push_back(std::to_string(form_->pair.code.row(k).id) + ":" + form_->pair.code.row(k).text);
        for (ui::Control* c : parameter_controls())
            s.parameters.push_back(c->name() + "=" + c->text() + "|" + std::to_string(c->value()) + "|" +
                                   std::to_string(c->list_index()));
        for (const auto& f : fs::directory_iterator(options_.folder))
            if (f.is_regular_file()) s.files[f.path().filename().string()] = read(f.path().string());
        return s;
    }

    std::vector<ui::Control*> parameter_controls() const {
        wb::Form1& f = *form_;
        return {&f.LightType, &f.LightInt, &f.LightAttnL, &f.LightAttS, &f.FlashMask, &f.DayFlag, &f.AircraftFlag,
                &f.LightVariable, &f.lstEffectType, &f.fx_params, &f.fx_OTG, &f.fx_terrain_alt, &f.ws_mastColor,
                &f.ws_lit, &f.libGUID, &f.libScale, &f.lib_OTG, &f.lib_terrain_alt, &f.platKeepPolys,
                &f.platGroundElev, &f.platUseAGL, &f.srfSurfType, &f.srfKeepPolys, &f.hldTextNumber,
                &f.hldNSOffset, &f.hldNSSpan, &f.hldWEOffset, &f.hldWESpan, &f.hldLake, &f.hldAlt};
    }

    void expect_unchanged(const State& before, const std::string& why) {
        const State after = state();
        if (after.asm_lines != before.asm_lines)
            fail(why + " but the object file's lines changed: " + first_difference(before.asm_lines, after.asm_lines));
        else if (after.azm_lines != before.azm_lines)
            fail(why + " but the header's lines changed: " + first_difference(before.azm_lines, after.azm_lines));
        else if (after.queue != before.queue)
            fail(why + " but the queued code changed");
        else if (after.parameters != before.parameters)
            fail(why + " but the parameter set changed: " + first_difference(before.parameters, after.parameters));
        else if (after.files != before.files) {
            std::set<std::string> names;
            for (const auto& [name, bytes] : before.files) names.insert(name);
            for (const auto& [name, bytes] : after.files) names.insert(name);
            for (const auto& name : names)
                if (!before.files.count(name) || !after.files.count(name) || before.files.at(name) != after.files.at(name)) {
                    fail(why + " but the file " + name + (after.files.count(name) ? " was written" : " was deleted"));
                    break;
                }
        }
    }

    // Checks every value of the written sources against the range of its macro field, compiles the
    // first with our compiler and reads the result back with the header reader.
    void compile(const std::string& what, const std::vector<std::string>& sources) {
        for (const std::string& source : sources)
            if (const std::string why = cg::check_generated_lines(wb::split_lines(read(source))); !why.empty()) {
                fail(what + " holds a value its macro field cannot: " + why);
                return;
            }
        const std::string& path = sources.front();
        ++outcome_.compiles;
        const bglc::Result r = bglc::assemble(path, bglc::compiler_options(bglc::macro_folder(options_.install_folder), "bgl"));
        if (!r.ok()) {
            std::string errors;
            for (size_t i = 0; i < r.errors.size() && i < 3; ++i) errors += "\n  " + r.errors[i].text();
            fail(what + " does not compile:" + errors);
            return;
        }
        libtool::BglFile file;
        file.open_memory(r.bytes);
        libtool::BglHeader header;
        libtool::BglHeaderExt extension;
        if (libtool::read_bgl_header(file, header, extension) != libtool::kBglOpened)
            fail(what + " compiles to a file whose header the header reader refuses");
    }

    // The highlighted materials whose blocks are still to process, as the table says.
    std::set<int> todo() const {
        std::set<int> s;
        for (int r = 1; r <= form_->pair.materials.count(); ++r) {
            const wb::MaterialRow& m = form_->pair.materials.row(r);
            if (m.has_block() && !m.processed()) s.insert(static_cast<int>(m.number));
        }
        return s;
    }

    static std::string list(const std::set<int>& s) {
        std::string t;
        for (int m : s) t += (t.empty() ? "" : ",") + std::to_string(m);
        return "{" + t + "}";
    }

    void open() {
        step("Open");
        form_->InputFile.set_text(base_);
        form_->Command1.click();
        check_boxes();
        const bool usable = form_->Command3.enabled();
        const std::set<int> listed = usable ? todo() : std::set<int>();
        // Remembered choices applied on Open process some of the materials still to do.
        bool applied = false;
        for (size_t i = 0; i < platform_.boxes.size(); ++i)
            if (platform_.boxes[i].text.rfind("Apply the ", 0) == 0 && platform_.answers[i] == ui::Answer::Yes)
                applied = true;
        if (applied ? !std::includes(disk_todo_.begin(), disk_todo_.end(), listed.begin(), listed.end())
                    : listed != disk_todo_)
            fail("Open lists the materials " + list(listed) + " as still to do, the files on disk hold " +
                 list(disk_todo_));
        if (usable && form_->Text2.text() != std::to_string(listed.size()))
            fail("Open counts " + form_->Text2.text() + " unprocessed materials, it lists " + list(listed));
    }

    void select_material() {
        if (form_->lstMat2proc.list_count() == 0) return;
        const int i = pick(rng_, 0, form_->lstMat2proc.list_count() - 1);
        step("select material " + form_->lstMat2proc.item(i));
        form_->lstMat2proc.set_list_index(i);
        check_boxes();
    }

    void select_kind() {
        const int i = pick(rng_, 0, form_->typeOfObj.list_count() - 1);
        step("select kind " + form_->typeOfObj.item(i));
        form_->typeOfObj.set_list_index(i);
        check_boxes();
    }

    // Opens the dialog of the selected kind, types into it and presses O.K. (or Cancel).
    void parameters() {
        const std::string kind = form_->typeOfObj.selected_text();
        step("parameters of " + kind + ":");
        const State before = state();
        form_->cmdParams.click();
        ui::Window* dialog = nullptr;
        ui::Control* ok = nullptr;
        ui::Control* cancel = nullptr;
        std::string typed;
        auto type = [&](ui::Control& c, const std::string& text) {
            c.set_text(text);
            typed += " " + c.name() + "='" + text + "'";
        };
        auto random_list = [&](ui::Control& list) {
            if (list.list_count() == 0) return;
            list.set_list_index(pick(rng_, 0, list.list_count() - 1));
            typed += " " + list.name() + "=" + list.selected_text();
        };
        auto random_check = [&](ui::Control& box) {
            if (chance(rng_, 0.5)) box.click();
            typed += " " + box.name() + "=" + std::to_string(box.value());
        };
        wb::Form1& f = *form_;
        if (kind == "Lights") {
            auto& d = f.frm_lights();
            random_list(d.LightType);
            random_list(d.LightVariable);
            if (chance(rng_, 0.5)) type(d.LightInt, typed_number(rng_, 1, 1000, true));
            if (chance(rng_, 0.5)) type(d.LightAttnL, typed_number(rng_, 0, 1, false));
            if (chance(rng_, 0.5)) type(d.LightAttS, typed_number(rng_, 0, 1, false));
            if (chance(rng_, 0.5)) type(d.FlashMask, typed_hex(rng_, 4));
            random_check(d.DayFlag);
            random_check(d.AircraftFlag);
            dialog = &d, ok = &d.cmdOK, cancel = &d.cmdCancel;
        } else if (kind == "Effects") {
            auto& d = f.frm_effects();
            random_list(d.lstEffectType);
            if (chance(rng_, 0.5)) type(d.fx_params, typed_time_constraints(rng_));
            random_check(d.fx_OTG);
            if (chance(rng_, 0.5)) type(d.fx_terrain_alt, typed_number(rng_, -1000, 30000, true));
            dialog = &d, ok = &d.cmdOK, cancel = &d.cmdCancel;
        } else if (kind == "Windsock") {
            auto& d = f.frm_windsock();
            if (chance(rng_, 0.7)) type(d.ws_mastColor, typed_hex(rng_, 6));
            random_check(d.ws_lit);
            dialog = &d, ok = &d.cmdOK, cancel = &d.cmdCancel;
        } else if (kind == "Library" || kind == "Library New") {
            auto& d = f.frm_library();
            if (chance(rng_, 0.6)) type(d.libGUID, typed_guid(rng_));
            if (chance(rng_, 0.5)) type(d.libScale, typed_number(rng_, 0.01, 10, false));
            random_check(d.lib_OTG);
            if (chance(rng_, 0.5)) type(d.lib_terrain_alt, typed_number(rng_, -1000, 30000, true));
            dialog = &d, ok = &d.cmdOK, cancel = &d.cmdCancel;
        } else if (kind == "Landing Area") {
            auto& d = f.frm_platform();
            if (chance(rng_, 0.7)) type(d.platGroundElev, typed_number(rng_, -1000, 30000, true));
            random_check(d.platUseAGL);
            random_check(d.platKeepPolys);
            dialog = &d, ok = &d.cmdOK, cancel = &d.cmdCancel;
        } else if (kind == "Ground Type") {
            auto& d = f.frm_surface();
            random_list(d.srfSurfType);
            random_check(d.srfKeepPolys);
            dialog = &d, ok = &d.cmdOK, cancel = &d.cmdCancel;
        } else if (kind == "Lake" || kind == "Decal") {
            auto& d = f.frm_hld_params();
            if (chance(rng_, 0.5)) type(d.hldAlt, typed_number(rng_, -1000, 30000, true));
            random_check(d.hldLake);
            if (chance(rng_, 0.4)) type(d.hldTextNumber, typed_number(rng_, 0, 9999, true));
            if (chance(rng_, 0.3)) type(d.hldWEOffset, typed_number(rng_, 0, 8160, true));
            if (chance(rng_, 0.3)) type(d.hldWESpan, typed_number(rng_, 1, 8160, true));
            if (chance(rng_, 0.3)) type(d.hldNSOffset, typed_number(rng_, 0, 8160, true));
            if (chance(rng_, 0.3)) type(d.hldNSSpan, typed_number(rng_, 1, 8160, true));
            dialog = &d, ok = &d.cmdOK, cancel = &d.cmdCancel;
        }
        if (!dialog) return;
        const bool press_ok = chance(rng_, 0.85);
        outcome_.log.back() += typed + (press_ok ? ", O.K." : ", Cancel");
        if (!dialog->is_open()) {
            fail("the parameters dialog did not open");
            return;
        }
        (press_ok ? ok : cancel)->click();
        check_boxes();
        if (dialog->is_open() && dialog->is_modal()) {
            // Refused: the dialog stays open and the main window's parameters are as they were.
            if (platform_.boxes.empty()) fail("the dialog stayed open without saying why");
            expect_unchanged(before, "the dialog refused the values");
            cancel->click();
        } else if (!press_ok) {
            expect_unchanged(before, "the dialog was cancelled");
        }
        if (dialog->is_open()) ui::desktop().close(*dialog);
    }

    void process() {
        const int position = form_->lstMat2proc.list_index();
        const std::string kind = form_->typeOfObj.selected_text();
        const State before = state();
        const bool was_processed =
            position >= 0 && position < form_->pair.materials.count() && form_->pair.materials.row(position + 1).processed();
        step("Process " + kind);
        form_->Command2.click();
        check_boxes();
        const bool processed = !was_processed && position >= 0 && form_->pair.materials.row(position + 1).processed();
        if (!processed) {
            expect_unchanged(before, "Process refused the material");
            return;
        }
        for (const char* source : {"tmpLake.asm", "tmpDecal.asm"}) {
            const std::string path = (fs::path(options_.folder) / source).string();
            if (fs::exists(path) && (!before.files.count(source) || before.files.at(source) != read(path)))
                compile(source, {path});
        }
    }

    void save() {
        if (!form_->Command3.enabled()) return;
        step("Save");
        const State before = state();
        form_->Command3.click();
        check_boxes();
        const State after = state();
        if (after.asm_lines != before.asm_lines || after.azm_lines != before.azm_lines || after.queue != before.queue)
            fail("Save changed the model in memory");
        const bool written = after.files.at("model_0.asm") != before.files.at("model_0.asm") ||
                             after.files.at("model.asm") != before.files.at("model.asm");
        if (!written) {
            expect_unchanged(before, "Save wrote nothing");
            return;
        }
        compile("the saved pair", {base_ + ".asm", base_ + "_0.asm"});
        disk_todo_ = todo();
    }

    bool answered(ui::Answer a) const {
        return std::find(platform_.answers.begin(), platform_.answers.end(), a) != platform_.answers.end();
    }

    // A backup is written when there is none yet or the user lets it replace the one there is.
    void backup() {
        step("Backup");
        const bool had = fs::exists(base_ + "_asm.bck");
        form_->cmdBackup.click();
        check_boxes();
        if (!had || answered(ui::Answer::Yes)) backup_todo_ = disk_todo_;
    }

    void restore() {
        step("Restore");
        const bool have = fs::exists(base_ + "_asm.bck");
        form_->cmdRestore.click();
        check_boxes();
        if (have && answered(ui::Answer::Yes)) disk_todo_ = backup_todo_;
    }

    Random rng_;
    RandomPlatform platform_;
    SessionOptions options_;
    std::string base_;
    std::unique_ptr<wb::Form1> form_;
    SessionOutcome outcome_;
    std::set<int> disk_todo_, backup_todo_;
};

}  // namespace

SessionOutcome run_session(std::uint64_t seed, const SessionOptions& options) {
    return Session(seed, options).run();
}

}  // namespace property
