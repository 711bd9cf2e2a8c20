// zorukan-artgen OUTDIR: writes every picture the game ships into OUTDIR.
#include "drawings.h"
#include "gif.h"
#include "png.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;
using namespace artgen;

namespace {

void save(const fs::path& path, const Bytes& data) {
    fs::create_directories(path.parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!f) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: zorukan-artgen OUTDIR\n";
        return 2;
    }
    try {
        const fs::path out = argv[1];
        save(out / "sky.gif", encodeGif(drawSky()));
        save(out / "panel.gif", encodeGif(drawPanel()));
        save(out / "tv.gif", encodeGif(drawTv(false)));
        save(out / "tv_broken.gif", encodeGif(drawTv(true)));
        save(out / "explosion.gif", encodeGif(drawExplosion()));
        save(out / "cannon_body.gif", encodeGif(drawCannonBody()));

        const Image icon16 = drawIcon16(), icon32 = drawIcon32();
        save(out / "icons/zorukan-16.png", encodePng(icon16));
        save(out / "icons/zorukan-32.png", encodePng(icon32));
        save(out / "icons/zorukan-48.png", encodePng(icon16.scaled(3)));
        // Larger sizes are whole-number blow-ups so the pixels stay crisp.
        save(out / "icons/zorukan-64.png", encodePng(icon32.scaled(2)));
        save(out / "icons/zorukan-128.png", encodePng(icon32.scaled(4)));
        save(out / "icons/zorukan-256.png", encodePng(icon32.scaled(8)));
        // The web page's manifest asks for these two.
        save(out / "icons/zorukan-192.png", encodePng(icon32.scaled(6)));
        save(out / "icons/zorukan-512.png", encodePng(icon32.scaled(16)));
    } catch (const std::exception& e) {
        std::cerr << "zorukan-artgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
