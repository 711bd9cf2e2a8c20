#include "app/fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>
#include <algorithm>
#include <cmath>

#include "game/game.h"
#include "runtime/virtual_clock.h"
#include "scene/form1.h"

namespace zorukan::app {

namespace {

// IPA P Gothic first: the set-up installs it, so the game looks the same on
// every machine. The others are proportional Japanese gothics a desktop may
// already have.
const QStringList kGothics{"IPAPGothic", "Noto Sans CJK JP", "VL PGothic", "TakaoPGothic", "IPAGothic"};

constexpr qreal kTightestSpacing = 2.0;  // pixels at the scene's size; closer than this, letters touch

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString gothic_family() {
    static const QString family = [] {
        if (auto found = family_showing(kGothics, scene_texts())) return *found;
        // Nothing we know of is installed: any Japanese face beats empty boxes.
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        return family_showing(japanese, scene_texts()).value_or(kGothics.front());
    }();
    return family;
}

}  // namespace

QString scene_texts() {
    // A scene as designed, only to read its captions.
    runtime::VirtualClock clock;
    runtime::Timers timers(clock);
    const scene::Form1 form(timers);
    QString all = text(scene::Form1::Caption);
    for (const scene::ControlRef& control : form.drawing_order()) {
        if (const auto* label = std::get_if<const scene::Label*>(&control)) all += text((*label)->Caption);
    }
    for (const char* box_text : {game::kHitTitle, game::kHitPrompt, game::kHitPromptAfter}) all += text(box_text);
    return all;
}

std::optional<QString> family_showing(const QStringList& families, const QString& text) {
    // Asking the font database which families are installed makes it list the
    // styles of every family, which took longer than the rest of the window's
    // start-up; matching the one family asked for, then checking what matched,
    // costs a fraction of that.
    for (const QString& family : families) {
        QFont font(family);
        font.setPixelSize(scene::font_pixels(scene::kWindowDefaultFont.points));
        // Where no font is installed at all, the match is a stand-in without
        // a family name, and the raw font's own family lookup crashes on it;
        // the font's info answers with an empty name instead.
        if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) != 0) continue;
        const QRawFont raw = QRawFont::fromFont(font);
        if (!raw.isValid()) continue;
        const bool all = std::all_of(text.begin(), text.end(), [&](QChar c) {
            return c.isSpace() || raw.supportsCharacter(c);
        });
        if (all) return family;
    }
    return std::nullopt;
}

QFont scene_font(scene::FontId id) {
    static const bool substituted = [] {
        QFont::insertSubstitution(text(scene::kPGothicSmall.family), gothic_family());
        return true;
    }();
    (void)substituted;
    const scene::FontSpec& wanted = scene::font_spec(id);
    QFont font(wanted.family.empty() ? gothic_family() : text(wanted.family));
    font.setPixelSize(scene::font_pixels(wanted.points));
    font.setWeight(QFont::Normal);
    return font;
}

QFont fitted_font(scene::FontId id, int pixel_size, const QString& text, int width) {
    QFont font = scene_font(id);
    const int designed = font.pixelSize();
    font.setPixelSize(pixel_size);
    const int natural = QFontMetrics(font).horizontalAdvance(text);
    if (natural <= width || text.isEmpty()) return font;
    // Tighten the letters rather than narrow the face, so that every glyph
    // keeps its designed shape.
    // Spacing follows every letter, the last one too.
    const qreal squeeze = static_cast<qreal>(natural - width) / static_cast<qreal>(text.size());
    const qreal tightest = kTightestSpacing * pixel_size / designed;
    font.setLetterSpacing(QFont::AbsoluteSpacing, -std::min(squeeze, tightest));
    return font;
}

bool warn_if_fonts_missing(std::ostream& err) {
    if (family_showing(QStringList{gothic_family()}, scene_texts())) return false;
    err << "zorukan: no installed font can show the game's Japanese text; install the package fonts-ipafont-gothic\n";
    return true;
}

}  // namespace zorukan::app
