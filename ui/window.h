#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls.h"

namespace ui {

class Window {
public:
    Window(std::string name, std::string caption, int width, int height);
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    void set_caption(std::string c);
    int width() const { return width_; }
    int height() const { return height_; }

    bool is_open() const { return open_; }
    bool is_modal() const { return modal_; }
    Window* owner() const { return owner_; }

    // Events. on_query_unload returns false to keep the window open.
    std::function<void()> on_load, on_activate, on_unload;
    std::function<bool()> on_query_unload;

    // Controls, in creation order (also the tab order).
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    Control* find(const std::string& name, int index = -1) const;
    Control* find_by_caption(const std::string& caption) const;

    std::uint64_t revision() const { return revision_; }

protected:
    Control& add(Kind kind, const std::string& name, int index = -1);
    Control& label(const std::string& name, const std::string& caption, int index = -1);
    Control& text_box(const std::string& name, int index = -1);
    Control& button(const std::string& name, const std::string& caption, int index = -1);
    Control& check_box(const std::string& name, const std::string& caption, int index = -1);
    Control& option(const std::string& name, const std::string& caption, int index = -1);
    Control& list_box(const std::string& name, int index = -1);
    Control& combo_box(const std::string& name, int index = -1);
    Control& frame(const std::string& name, const std::string& caption, int index = -1);
    Control& swatch(const std::string& name, int index = -1);
    Control& progress(const std::string& name, int index = -1);
    // A menu of the menu bar; its items are menus placed `in` it.
    Control& menu(const std::string& name, const std::string& caption, int index = -1);
    Control& tab(const std::string& name, const std::vector<std::string>& pages);
    Control& picture(const std::string& name, int resource);
    // A picture the program draws (see Control::set_image).
    Control& image(const std::string& name);

private:
    friend class Desktop;
    friend class Control;
    std::string name_, caption_;
    int width_, height_;
    bool open_ = false, loaded_ = false, modal_ = false;
    Window* owner_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
    std::uint64_t revision_ = 0;
};

// Binders watch the desktop to create and destroy native windows and to repaint them.
class DesktopObserver {
public:
    virtual ~DesktopObserver() = default;
    virtual void window_shown(Window& w) = 0;
    virtual void window_closed(Window& w) = 0;
    virtual void window_activated(Window& w) = 0;
    virtual void refresh() = 0;  // push model state to the native side now
};

// The set of open windows, in the order they were shown.
class Desktop {
public:
    // Shows a window (Load on its first showing, then Activate). A modal window disables its
    // owner until it closes; the call returns at once either way.
    void show(Window& w, bool modal = false, Window* owner = nullptr);
    // Closes a window (QueryUnload, then Unload); false when the window refused.
    bool close(Window& w);
    // Makes an open window the active one and raises its Activate event.
    void activate(Window& w);
    const std::vector<Window*>& open_windows() const { return open_; }
    Window* active() const { return active_; }
    Window* find(const std::string& name) const;
    void refresh();
    // Drops a window that is destroyed while open: no events (its handlers go with it), and no
    // other window keeps it as its owner or as the one to activate next.
    void forget(Window& w);

    void set_observer(DesktopObserver* o) { observer_ = o; }

private:
    std::vector<Window*> open_;
    Window* active_ = nullptr;
    DesktopObserver* observer_ = nullptr;
};

Desktop& desktop();

}  // namespace ui
