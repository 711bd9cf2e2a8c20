#include "web/description.h"

#include <cstdio>
#include <string_view>
#include <variant>
#include <vector>

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

// The controls that take the focus, as the page's elements need them.
struct Focusable {
    Json& json;
    const scene::Form1& form;

    void start(std::string_view kind, std::string_view name) const {
        json.open('{').key("kind").text(kind).key("name").text(name);
        const scene::Label* label = form.naming_label(name);
        json.key("label").text(label ? label->Caption : name);
    }
    void operator()(const scene::CommandButton* b) const {
        start("button", b->name);
        json.close('}');
    }
    void operator()(const scene::TextBox* t) const {
        start("text", t->name);
        json.key("maxLength").number(scene::TextBox::MaxLength);
        const scene::FontSpec& font = scene::font_spec(scene::FontId::WindowDefault);
        json.key("fontPixels").number(scene::font_pixels(font.points)).close('}');
    }
    void operator()(const scene::HScrollBar* s) const {
        start("scroll", s->name);
        json.key("min").number(s->Min).key("max").number(s->Max).close('}');
    }
    void operator()(const auto*) const {}
};

}  // namespace

std::vector<scene::ControlRef> focusable(const scene::Form1& form) {
    std::vector<scene::ControlRef> controls;
    const auto order = form.drawing_order();
    for (const scene::TabStop& stop : scene::Form1::tab_order()) {
        for (const scene::ControlRef& control : order) {
            const bool windowed = !std::holds_alternative<const scene::Label*>(control);
            if (windowed && name_of(control) == stop.name) controls.push_back(control);
        }
    }
    return controls;
}

std::string_view name_of(const scene::ControlRef& control) {
    return std::visit([](const auto* c) { return c->name; }, control);
}

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
    json.key("fonts").open('[');
    for (const scene::FontId font : {scene::FontId::WindowDefault, scene::FontId::PGothicSmall})
        json.text(scene::font_spec(font).family);
    json.close(']');
    // The keys in the order of scene::Arrow.
    json.key("arrows").open('[').text("ArrowLeft").text("ArrowRight").text("ArrowUp").text("ArrowDown").close(']');

    json.key("controls").open('[');
    for (const scene::ControlRef& control : focusable(form)) std::visit(Focusable{json, form}, control);
    json.close(']');
    return json.close('}').take();
}

}  // namespace zorukan::web
