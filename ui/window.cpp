#include "window.h"

#include <algorithm>

#include "errors.h"

namespace ui {

Window::Window(std::string name, std::string caption, int width, int height)
    : name_(std::move(name)), caption_(std::move(caption)), width_(width), height_(height) {}

Window::~Window() {
    if (open_) desktop().forget(*this);
}

void Window::set_caption(std::string c) {
    if (c == caption_) return;
    caption_ = std::move(c);
    ++revision_;
}

Control* Window::find(const std::string& name, int index) const {
    for (auto& c : controls_)
        if (c->index() == index && c->name() == name) return c.get();
    return nullptr;
}

Control* Window::find_by_caption(const std::string& caption) const {
    for (auto& c : controls_)
        if (c->caption() == caption && c->kind() != Kind::TextBox) return c.get();
    return nullptr;
}

Control& Window::add(Kind kind, const std::string& name, int index) {
    controls_.push_back(std::make_unique<Control>(*this, kind, name, index));
    return *controls_.back();
}

Control& Window::label(const std::string& name, const std::string& caption, int index) {
    Control& c = add(Kind::Label, name, index);
    c.set_caption(caption);
    return c;
}
Control& Window::text_box(const std::string& name, int index) { return add(Kind::TextBox, name, index); }
Control& Window::button(const std::string& name, const std::string& caption, int index) {
    Control& c = add(Kind::Button, name, index);
    c.set_caption(caption);
    return c;
}
Control& Window::check_box(const std::string& name, const std::string& caption, int index) {
    Control& c = add(Kind::CheckBox, name, index);
    c.set_caption(caption);
    return c;
}
Control& Window::option(const std::string& name, const std::string& caption, int index) {
    Control& c = add(Kind::Option, name, index);
    c.set_caption(caption);
    return c;
}
Control& Window::list_box(const std::string& name, int index) { return add(Kind::ListBox, name, index); }
Control& Window::combo_box(const std::string& name, int index) { return add(Kind::ComboBox, name, index); }
Control& Window::frame(const std::string& name, const std::string& caption, int index) {
    Control& c = add(Kind::Frame, name, index);
    c.set_caption(caption);
    return c;
}
Control& Window::swatch(const std::string& name, int index) { return add(Kind::Swatch, name, index); }
Control& Window::progress(const std::string& name, int index) { return add(Kind::Progress, name, index); }
Control& Window::menu(const std::string& name, const std::string& caption, int index) {
    Control& c = add(Kind::Menu, name, index);
    c.set_caption(caption);
    return c;
}
Control& Window::tab(const std::string& name, const std::vector<std::string>& pages) {
    Control& c = add(Kind::Tab, name);
    for (const auto& p : pages) c.add_item(p);
    if (!pages.empty()) c.set_list_index(0);
    return c;
}
Control& Window::image(const std::string& name) { return add(Kind::Image, name); }

Control& Window::picture(const std::string& name, int resource) {
    Control& c = add(Kind::Picture, name);
    c.picture = resource;
    return c;
}

void Desktop::show(Window& w, bool modal, Window* owner) {
    if (!w.open_) {
        w.open_ = true;
        w.modal_ = modal;
        w.owner_ = owner;
        open_.push_back(&w);
        if (!w.loaded_) {
            w.loaded_ = true;
            guarded("Load", w.on_load);
        }
        if (observer_) observer_->window_shown(w);
    }
    activate(w);
}

bool Desktop::close(Window& w) {
    if (!w.open_) return true;
    if (w.on_query_unload && !w.on_query_unload()) return false;
    if (!w.open_) return true;  // the handler closed it already
    w.open_ = false;
    w.loaded_ = false;
    open_.erase(std::remove(open_.begin(), open_.end(), &w), open_.end());
    guarded("Unload", w.on_unload);
    if (observer_) observer_->window_closed(w);
    if (active_ == &w) {
        active_ = nullptr;
        Window* next = w.owner_ && w.owner_->open_ ? w.owner_ : (open_.empty() ? nullptr : open_.back());
        if (next) activate(*next);
    }
    return true;
}

void Desktop::forget(Window& w) {
    open_.erase(std::remove(open_.begin(), open_.end(), &w), open_.end());
    if (active_ == &w) active_ = nullptr;
    for (Window* other : open_)
        if (other->owner_ == &w) other->owner_ = nullptr;
}

void Desktop::activate(Window& w) {
    if (!w.open_) return;
    active_ = &w;
    guarded("Activate", w.on_activate);
    if (observer_) observer_->window_activated(w);
}

Window* Desktop::find(const std::string& name) const {
    for (Window* w : open_)
        if (w->name() == name) return w;
    return nullptr;
}

void Desktop::refresh() {
    if (observer_) observer_->refresh();
}

Desktop& desktop() {
    static Desktop d;
    return d;
}

}  // namespace ui
