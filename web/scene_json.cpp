#include "web/scene_json.h"

#include <cmath>
#include <cstdio>

#include "scene/pictures.h"

namespace zorukan::web {

int px(float twips) { return static_cast<int>(std::lround(twips / scene::kTwipsPerPixel)); }

namespace {

// Font sizes are fixed in pixels as at 96 dots per inch, as on the desktop.
int font_px(float points) { return static_cast<int>(std::lround(points * 96.0f / 72.0f)); }

class Json {
public:
    Json& key(std::string_view name) {
        comma();
        string(name);
        out_ += ':';
        fresh_ = true;
        return *this;
    }
    Json& number(int value) {
        comma();
        out_ += std::to_string(value);
        return *this;
    }
    Json& boolean(bool value) {
        comma();
        out_ += value ? "true" : "false";
        return *this;
    }
    Json& text(std::string_view value) {
        comma();
        string(value);
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
    Json& colour(scene::Rgb rgb) {
        return text("rgb(" + std::to_string(rgb.r) + "," + std::to_string(rgb.g) + "," + std::to_string(rgb.b) + ")");
    }
    template <typename Control>
    Json& area(const Control& c) {
        return key("x").number(px(c.Left)).key("y").number(px(c.Top)).key("w").number(px(c.Width)).key("h").number(
            px(c.Height));
    }
    std::string take() { return std::move(out_); }

private:
    void comma() {
        if (!fresh_) out_ += ',';
        fresh_ = false;
    }
    // The player's typing arrives here too: every quote, backslash and
    // control character is escaped.
    void string(std::string_view value) {
        out_ += '"';
        for (const char c : value) {
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out_ += escaped;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
    }

    std::string out_;
    bool fresh_ = true;
};

struct Drawing {
    Json& json;

    void operator()(const scene::Picture* p) const {
        json.open('{').key("kind").text("picture").key("name").text(p->name).key("x").number(px(p->Left)).key("y").number(px(p->Top));
        json.key("file").text(scene::picture_info(p->picture).file).key("visible").boolean(p->Visible).close('}');
    }
    void operator()(const scene::Shape* s) const {
        json.open('{').key("kind").text("shape").area(*s).key("fill").colour(s->fill).close('}');
    }
    void operator()(const scene::Line* l) const {
        json.open('{').key("kind").text("line").key("x1").number(px(l->X1)).key("y1").number(px(l->Y1));
        json.key("x2").number(px(l->X2)).key("y2").number(px(l->Y2)).key("width").number(l->BorderWidth).close('}');
    }
    void operator()(const scene::Label* l) const {
        const scene::FontSpec& font = scene::font_spec(l->font);
        json.open('{').key("kind").text("label").area(*l).key("text").text(l->Caption);
        json.key("family").text(font.family).key("px").number(font_px(font.points)).close('}');
    }
    // The windowed controls are the page's own elements, listed apart.
    void operator()(const scene::CommandButton*) const {}
    void operator()(const scene::TextBox*) const {}
    void operator()(const scene::HScrollBar*) const {}
};

struct Focusable {
    Json& json;
    const scene::Form1& form;
    bool with_text;

    void start(std::string_view kind, std::string_view name) const {
        json.open('{').key("kind").text(kind).key("name").text(name);
        const scene::Label* label = form.naming_label(name);
        json.key("label").text(label ? label->Caption : name);
    }
    void operator()(const scene::CommandButton* b) const {
        start("button", b->name);
        json.area(*b).key("enabled").boolean(b->Enabled).close('}');
    }
    void operator()(const scene::TextBox* t) const {
        start("text", t->name);
        json.area(*t);
        if (with_text) json.key("text").text(t->Text);
        json.close('}');
    }
    void operator()(const scene::HScrollBar* s) const {
        start("scroll", s->name);
        json.area(*s).key("min").number(s->Min).key("max").number(s->Max).key("value").number(s->Value).close('}');
    }
    void operator()(const auto*) const {}
};

std::string_view name_of(const scene::ControlRef& control) {
    return std::visit([](const auto* c) { return c->name; }, control);
}

}  // namespace

std::string scene_json(const game::Program& program, bool with_text) {
    const scene::Form1& form = program.form();
    Json json;
    json.open('{').key("caption").text(scene::Form1::Caption);
    json.key("width").number(px(scene::Form1::ClientWidth)).key("height").number(px(scene::Form1::ClientHeight));
    json.key("back").colour(scene::Form1::BackColor).key("halted").boolean(program.halted());

    json.key("pictures").open('[');
    for (const scene::PictureInfo& info : scene::kPictures) json.text(info.file);
    json.close(']');

    json.key("draw").open('[');
    const auto order = form.drawing_order();
    for (auto control = order.rbegin(); control != order.rend(); ++control) std::visit(Drawing{json}, *control);
    json.close(']');

    json.key("controls").open('[');
    for (const scene::TabStop& stop : scene::Form1::tab_order()) {
        for (const scene::ControlRef& control : order) {
            if (name_of(control) == stop.name) std::visit(Focusable{json, form, with_text}, control);
        }
    }
    json.close(']');

    json.key("trace").open('[');
    for (const runtime::Segment& s : program.trace().segments()) {
        json.open('[').number(px(s.x1)).number(px(s.y1)).number(px(s.x2)).number(px(s.y2)).close(']');
    }
    json.close(']');
    return json.close('}').take();
}

}  // namespace zorukan::web
