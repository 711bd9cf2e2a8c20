#include "web/description.h"

#include <cstdio>
#include <iterator>
#include <string_view>
#include <utility>
#include <variant>

#include "scene/control_rules.h"
#include "scene/form1.h"
#include "scene/pictures.h"

namespace zorukan::web {

namespace {

class Json {
public:
    Json& key(std::string_view name) {
        text(name);
        out_ += ':';
        fresh_ = true;
        return *this;
    }
    Json& number(int value) {
        comma();
        out_ += std::to_string(value);
        return *this;
    }
    Json& text(std::string_view value) {
        comma();
        out_ += '"';
        for (const char c : value) {
            if (c == '"' || c == '\\') out_ += '\\';
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out_ += escaped;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
        return *this;
    }
    Json& open(char bracket) {
        comma();
        out_ += bracket;
        fresh_ = true;
        return *this;
    }
    Json& close(char bracket) {
        out_ += bracket;
        fresh_ = false;
        return *this;
    }
    std::string take() { return std::move(out_); }

private:
    void comma() {
        if (!fresh_) out_ += ',';
        fresh_ = false;
    }

    std::string out_;
    bool fresh_ = true;
};

// The keys the controls take, by the page's names for them, in the order of
// scene::Key.
constexpr std::pair<scene::Key, std::string_view> kKeys[] = {
    {scene::Key::Left, "ArrowLeft"}, {scene::Key::Right, "ArrowRight"}, {scene::Key::Up, "ArrowUp"},
    {scene::Key::Down, "ArrowDown"}, {scene::Key::PageUp, "PageUp"},   {scene::Key::PageDown, "PageDown"},
    {scene::Key::Home, "Home"},      {scene::Key::End, "End"},          {scene::Key::Space, " "},
    {scene::Key::Enter, "Enter"},    {scene::Key::Tab, "Tab"},          {scene::Key::BackTab, "Shift+Tab"}};
constexpr bool in_key_order() {
    for (std::size_t i = 0; i < std::size(kKeys); ++i)
        if (static_cast<std::size_t>(kKeys[i].first) != i) return false;
    return true;
}
static_assert(in_key_order());

}  // namespace

std::string description(const scene::Form1& form) {
    Json json;
    json.open('{').key("caption").text(scene::Form1::Caption);
    json.key("width").number(scene::pixels(scene::Form1::ClientWidth));
    json.key("height").number(scene::pixels(scene::Form1::ClientHeight));

    // By id: the files the page loads for the painter's picture calls, and
    // the families of the painter's text calls ("" for the window's own).
    json.key("pictures").open('[');
    for (std::size_t id = 0; id < scene::kPictures.size(); ++id)
        json.text(scene::picture_info(static_cast<scene::PictureId>(id)).file);
    json.close(']');
    // The pictures the window shows now: its first frame waits for these.
    json.key("shown").open('[');
    for (const scene::ControlRef& control : form.drawing_order()) {
        const auto* picture = std::get_if<const scene::Picture*>(&control);
        if (picture && (*picture)->Visible) json.number(static_cast<int>((*picture)->picture));
    }
    json.close(']');
    json.key("fonts").open('[');
    for (const scene::FontId font : {scene::FontId::WindowDefault, scene::FontId::PGothicSmall})
        json.text(scene::font_spec(font).family);
    json.close(']');
    json.key("keys").open('[');
    for (const auto& [key, name] : kKeys) json.text(name);
    json.close(']');

    json.key("controls").open('[');
    const auto start = [&](std::string_view kind, std::string_view name, std::string_view label) {
        json.open('{').key("kind").text(kind).key("name").text(name).key("label").text(label);
    };
    for (const std::string_view name : scene::ControlRules::kFocusable) {
        const scene::Label* label = form.naming_label(name);
        const bool button = name == form.Cmd_Start.name || name == form.Cmd_Set.name;
        start(button ? "button" : name == form.Text1.name ? "text" : "scroll", name, label ? label->Caption : name);
        if (name == form.Text1.name) {
            json.key("maxLength").number(scene::TextBox::MaxLength);
            const scene::FontSpec& font = scene::font_spec(scene::FontId::WindowDefault);
            json.key("fontPixels").number(scene::font_pixels(font.points));
        } else if (name == form.HScroll1.name) {
            json.key("min").number(form.HScroll1.Min).key("max").number(form.HScroll1.Max);
        }
        json.close('}');
    }
    // The power gauge, named by the label beneath it; its value is how much
    // of the gauge the bar fills, in hundredths.
    start("gauge", form.Shape1.name, form.Label6.Caption);
    json.close('}');
    json.close(']');
    return json.close('}').take();
}

}  // namespace zorukan::web
