#pragma once
// Window models: every window of the program is a ui::Window that owns its controls as plain
// values (captions, texts, items, colours, geometry) with one handler per event. Handlers change
// values and call logic; binders (Win32, script) create the native side and keep it in step.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

// Colours are 0x00BBGGRR, the window system's order; kDefaultColour leaves the system's colour.
constexpr std::uint32_t kDefaultColour = 0xFFFFFFFFu;
constexpr std::uint32_t kGreen = 0x008000;  // a step that is done
constexpr std::uint32_t kRed = 0x0000FF;    // a step that is pending

enum class Kind {
    Label,     // static text (optionally clickable)
    TextBox,   // edit box, single or multi-line
    Button,
    CheckBox,
    Option,    // radio button; options sharing a container form a group
    ListBox,
    ComboBox,  // drop-down list (items only) unless `editable`
    Frame,     // group box holding other controls
    Swatch,    // a plain rectangle filled with back_colour
    Progress,  // progress bar: value 0 .. max_value
    Menu,      // a menu of the window's menu bar, or an item of the menu it is `in`
    Tab,       // tab strip: items are the page captions, list_index the page shown
    Picture,   // a bitmap from the program's resources (`picture` is its number)
    Image,     // an RGB picture drawn by the program (`image`), passing mouse events back
};

// An RGB picture: width x height x 3 bytes, rows top to bottom.
struct Raster {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// A mouse event on an Image control, in its pixels.
struct MouseEvent {
    enum Type { Down, Move, Up, Wheel } type = Down;
    int x = 0, y = 0;
    int wheel = 0;  // Wheel: notches, positive away from the user
};

const char* kind_name(Kind k);

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

class Window;

class Control {
public:
    Control(Window& owner, Kind kind, std::string name, int index);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Window& window() const { return *owner_; }
    Kind kind() const { return kind_; }
    const std::string& name() const { return name_; }
    int index() const { return index_; }           // element of a control array, -1 otherwise
    std::string full_name() const;                 // "Label21" or "Option1(2)"

    // --- appearance (set while the window is built) ---
    Rect rect;
    std::string tooltip;
    bool multiline = false;
    bool read_only = false;
    bool scroll_bars = false;
    bool fixed_font = false;   // fixed-pitch font (output boxes)
    bool bold = false;
    bool editable = false;     // ComboBox: the user can type
    bool clickable = false;    // Label: acts on clicks (shown with a hand)
    bool sorted = false;       // ListBox: items are kept in ascending text order (case ignored)
    Control* container = nullptr;  // frame the control sits in (geometry stays window-relative)
    int max_value = 100;           // Progress
    int max_length = 0;            // TextBox: most characters it holds (0: no limit)
    bool scroll_to_end = false;    // TextBox: shows its last line after each change
    int picture = 0;               // Picture: resource number of the bitmap
    int page = -1;                 // page of the tab control `container` it sits on (-1: none)

    Control& at(int x, int y, int w, int h) { rect = {x, y, w, h}; return *this; }
    Control& tip(std::string t) { tooltip = std::move(t); return *this; }
    Control& in(Control& frame) { container = &frame; return *this; }
    Control& on_page(Control& tab, int p) { container = &tab; page = p; return *this; }

    // --- state ---
    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);
    const std::string& text() const { return text_; }
    // Changes the text and fires Change when it differs (as typing or code assignment would).
    void set_text(const std::string& t);
    bool enabled() const { return enabled_; }
    void set_enabled(bool e);
    bool visible() const { return visible_; }
    void set_visible(bool v);
    // Visible and, on a tab control, on the page it shows: what a user can see and reach.
    bool shown() const;
    std::uint32_t fore_colour() const { return fore_; }
    void set_fore_colour(std::uint32_t c);
    std::uint32_t back_colour() const { return back_; }
    void set_back_colour(std::uint32_t c);

    // Check box 0/1 (2 greyed), option 0/1, progress position. Setting a different value of a
    // check box or option fires Click, as assigning it in code does.
    int value() const { return value_; }
    void set_value(int v);

    // List and combo items, with one number of item data each.
    const std::vector<std::string>& items() const { return items_; }
    int list_count() const { return static_cast<int>(items_.size()); }
    // Appends, or inserts at its place in a sorted list (after equal items).
    void add_item(const std::string& item, long data = 0);
    void set_item(int position, const std::string& item);
    void remove_item(int position);
    void clear();
    long item_data(int position) const;
    void set_item_data(int position, long data);
    const std::string& item(int position) const;
    int list_index() const { return list_index_; }
    // Selects a position (-1: none) and fires Click when it changes, as assigning ListIndex does.
    void set_list_index(int position);
    // Text of the selected item, "" when none.
    std::string selected_text() const;
    // The value a user reads off the control: text for boxes, caption for labels and buttons,
    // the selected item for lists, "0"/"1" for check boxes and options.
    std::string display_text() const;

    // --- events ---
    std::function<void()> on_click, on_dblclick, on_change, on_lost_focus;
    // The native side could not show the control (a picture missing from the resources).
    std::function<void()> on_error;
    // Image: the mouse pressed, moved, released or wheeled over the picture.
    std::function<void(const MouseEvent&)> on_mouse;

    // Raised by binders (native events) and the script runner: run the handler, if any.
    void click();
    void dblclick();
    void lost_focus();
    void report_error();
    void mouse(const MouseEvent& e);

    // Image: the picture shown (null: none). Setting one counts as a change.
    const std::shared_ptr<const Raster>& image() const { return image_; }
    void set_image(std::shared_ptr<const Raster> r);

    // Bumped on every state change; binders compare it to skip unchanged controls.
    std::uint64_t revision() const { return revision_; }

private:
    void changed();
    Window* owner_;
    Kind kind_;
    std::string name_;
    int index_;
    std::string caption_, text_;
    bool enabled_ = true, visible_ = true;
    std::uint32_t fore_ = kDefaultColour, back_ = kDefaultColour;
    int value_ = 0;
    std::vector<std::string> items_;
    std::vector<long> data_;
    int list_index_ = -1;
    std::uint64_t revision_ = 0;
    std::shared_ptr<const Raster> image_;
};

}  // namespace ui
