#include "controls.h"

#include <algorithm>
#include <cctype>

#include "errors.h"
#include "window.h"

namespace ui {

const char* kind_name(Kind k) {
    switch (k) {
        case Kind::Label: return "label";
        case Kind::TextBox: return "text";
        case Kind::Button: return "button";
        case Kind::CheckBox: return "check";
        case Kind::Option: return "option";
        case Kind::ListBox: return "list";
        case Kind::ComboBox: return "combo";
        case Kind::Frame: return "frame";
        case Kind::Swatch: return "swatch";
        case Kind::Progress: return "progress";
        case Kind::Menu: return "menu";
        case Kind::Tab: return "tab";
        case Kind::Picture: return "picture";
        case Kind::Image: return "image";
    }
    return "?";
}

Control::Control(Window& owner, Kind kind, std::string name, int index)
    : owner_(&owner), kind_(kind), name_(std::move(name)), index_(index) {}

std::string Control::full_name() const {
    return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::changed() {
    ++revision_;
    ++owner_->revision_;
}

void Control::set_caption(std::string c) {
    if (c == caption_) return;
    caption_ = std::move(c);
    changed();
}

void Control::set_text(const std::string& t) {
    if (kind_ == Kind::Label || kind_ == Kind::Button || kind_ == Kind::CheckBox ||
        kind_ == Kind::Option || kind_ == Kind::Frame || kind_ == Kind::Menu) {
        set_caption(t);
        return;
    }
    std::string limited = t;
    if (kind_ == Kind::TextBox && max_length > 0 && limited.size() > static_cast<size_t>(max_length))
        limited.resize(static_cast<size_t>(max_length));  // as the box refuses further typing
    if (limited == text_) return;
    text_ = limited;
    changed();
    guarded("Change", on_change);
}

void Control::set_enabled(bool e) {
    if (e == enabled_) return;
    enabled_ = e;
    changed();
}

void Control::set_visible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed();
}

bool Control::shown() const {
    if (!visible_) return false;
    if (page < 0 || !container) return true;
    return container->list_index() == page && container->shown();
}

void Control::set_fore_colour(std::uint32_t c) {
    if (c == fore_) return;
    fore_ = c;
    changed();
}

void Control::set_back_colour(std::uint32_t c) {
    if (c == back_) return;
    back_ = c;
    changed();
}

void Control::set_value(int v) {
    if (v == value_) return;
    value_ = v;
    changed();
    if (kind_ == Kind::Option && v != 0) {
        // Options in the same container form one group: only one is set.
        for (auto& c : owner_->controls()) {
            if (c.get() != this && c->kind_ == Kind::Option && c->container == container &&
                c->value_ != 0) {
                c->value_ = 0;
                c->changed();
            }
        }
    }
    if (kind_ == Kind::CheckBox || (kind_ == Kind::Option && v != 0)) guarded("Click", on_click);
}

void Control::add_item(const std::string& item, long data) {
    auto at = items_.end();
    if (sorted) {
        at = std::upper_bound(items_.begin(), items_.end(), item, [](const std::string& a, const std::string& b) {
            return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
                return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
            });
        });
    }
    const auto position = at - items_.begin();
    if (sorted && list_index_ >= position) ++list_index_;
    items_.insert(at, item);
    data_.insert(data_.begin() + position, data);
    changed();
}

void Control::set_item(int position, const std::string& item) {
    if (position < 0 || position >= list_count()) raise(kIllegalCall);
    items_[static_cast<size_t>(position)] = item;
    if (kind_ == Kind::ComboBox && position == list_index_) text_ = item;
    changed();
}

void Control::remove_item(int position) {
    if (position < 0 || position >= list_count()) raise(kIllegalCall);
    items_.erase(items_.begin() + position);
    data_.erase(data_.begin() + position);
    if (list_index_ == position) list_index_ = -1;
    else if (list_index_ > position) --list_index_;
    changed();
}

void Control::clear() {
    items_.clear();
    data_.clear();
    list_index_ = -1;
    if (kind_ == Kind::ComboBox) text_.clear();
    changed();
}

long Control::item_data(int position) const {
    if (position < 0 || position >= list_count()) raise(kIllegalCall);
    return data_[static_cast<size_t>(position)];
}

void Control::set_item_data(int position, long data) {
    if (position < 0 || position >= list_count()) raise(kIllegalCall);
    data_[static_cast<size_t>(position)] = data;
    changed();
}

const std::string& Control::item(int position) const {
    if (position < 0 || position >= list_count()) raise(kIllegalCall);
    return items_[static_cast<size_t>(position)];
}

void Control::set_list_index(int position) {
    if (position < -1 || position >= list_count()) raise(kIllegalCall);
    if (position == list_index_) return;
    list_index_ = position;
    if (kind_ == Kind::ComboBox) text_ = position >= 0 ? items_[static_cast<size_t>(position)] : "";
    changed();
    if (kind_ == Kind::Tab)  // the controls of the pages appear and disappear
        for (auto& c : owner_->controls())
            if (c->container == this && c->page >= 0) c->changed();
    guarded("Click", on_click);
}

std::string Control::selected_text() const {
    return list_index_ >= 0 ? items_[static_cast<size_t>(list_index_)] : std::string();
}

std::string Control::display_text() const {
    switch (kind_) {
        case Kind::TextBox: return text_;
        case Kind::ListBox:
        case Kind::Tab: return selected_text();
        case Kind::ComboBox: return editable ? text_ : selected_text();
        case Kind::CheckBox:
        case Kind::Option:
        case Kind::Progress: return std::to_string(value_);
        default: return caption_;
    }
}

void Control::click() {
    if (!enabled_) return;
    if (kind_ == Kind::CheckBox) {
        set_value(value_ == 1 ? 0 : 1);  // fires Click
        return;
    }
    if (kind_ == Kind::Option) {
        if (value_ == 0) set_value(1);   // fires Click
        else guarded("Click", on_click);
        return;
    }
    guarded("Click", on_click);
}

void Control::dblclick() {
    if (enabled_) guarded("DblClick", on_dblclick);
}

void Control::lost_focus() {
    guarded("LostFocus", on_lost_focus);
}

void Control::report_error() {
    guarded("Error", on_error);
}

void Control::mouse(const MouseEvent& e) {
    if (!enabled_ || !on_mouse) return;
    guarded("Mouse", [&] { on_mouse(e); });
}

void Control::set_image(std::shared_ptr<const Raster> r) {
    image_ = std::move(r);
    changed();
}

}  // namespace ui
