// zorukan-artgen OUTDIR [ICON_SIZE...]: writes the scene's pictures into
// OUTDIR, and the icon at each ICON_SIZE into OUTDIR/icons. The build names
// the sizes (assets/art.cmake).
#include "drawings.h"
#include "gif.h"
#include "png.h"
#include "scene/pictures.h"

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;
using namespace artgen;

namespace {

void save(const fs::path& path, const Bytes& data) {
    fs::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!f) throw std::runtime_error("cannot write " + path.string());
}

Image draw(zorukan::scene::PictureId id) {
    using zorukan::scene::PictureId;
    switch (id) {
        case PictureId::Sky: return drawSky();
        case PictureId::Panel: return drawPanel();
        case PictureId::TvIntact: return drawTv(false);
        case PictureId::TvBroken: return drawTv(true);
        case PictureId::Explosion: return drawExplosion();
        case PictureId::CannonBody: return drawCannonBody();
    }
    throw std::logic_error("a picture with no drawing");
}

// A multiple of 32 is the 32-pixel drawing blown up, anything else the
// 16-pixel one: whole-number blow-ups, so the pixels stay crisp.
Image icon(int size) {
    if (size > 0 && size % 32 == 0) return drawIcon32().scaled(size / 32);
    if (size > 0 && size % 16 == 0) return drawIcon16().scaled(size / 16);
    throw std::invalid_argument("no icon of " + std::to_string(size) + " pixels: a multiple of 16 is needed");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: zorukan-artgen OUTDIR [ICON_SIZE...]\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        for (const auto& picture : zorukan::scene::kPictures) {
            const Image image = draw(picture.id);
            if (image.width() != picture.width_px || image.height() != picture.height_px) {
                throw std::logic_error(std::string(picture.file) + " is drawn at another size than the scene's");
            }
            save(out / picture.file, encodeGif(image));
        }
        for (int i = 2; i < argc; ++i) {
            const std::string size = argv[i];
            save(out / "icons" / ("zorukan-" + size + ".png"), encodePng(icon(std::atoi(argv[i]))));
        }
    } catch (const std::exception& e) {
        std::cerr << "zorukan-artgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
