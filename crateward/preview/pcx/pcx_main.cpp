// pcx: scripting access to PCX pictures for modders.
//   pcx info FILE          width, height, bits, the SHA-256 of the
//                          picture's RGB bytes (rows top to bottom), whether
//                          the data held every row and how many it held, as
//                          JSON
//   pcx convert FILE OUT   writes OUT as BMP, or PNG when it ends in ".png"
// Exit 0 on success, 1 on a failure, 2 on a usage error. A picture whose data
// ends early is still described or converted (the missing rows black), and
// the exit status is 1.
#include "common/program_help.hpp"
#include "common/sha256.hpp"
#include "common/terminal_text.hpp"
#include "pcx_image.hpp"
#include "rgb_files.hpp"

#include <cstdio>
#include <string>

using namespace crateward::pcx;

namespace {

constexpr const char* kUsage = "usage: pcx info FILE\n"
                               "       pcx convert FILE OUT\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

std::optional<PcxImage> load(const std::string& file) {
    std::string error;
    auto image = LoadPcx(file, &error);
    if (!image) {
        std::fprintf(stderr, "pcx: %s: %s\n", common::forStream(file, stderr).c_str(),
                     common::forStream(error, stderr).c_str());
    } else if (!image->complete) {
        std::fprintf(stderr, "pcx: %s: the picture data ends early (%d of %d rows)\n",
                     common::forStream(file, stderr).c_str(), image->rowsDecoded, image->height);
    }
    return image;
}

} // namespace

int main(int argc, char** argv) {
    if (common::AnswerHelpOrVersion(argc, argv, "pcx", kUsage, TOOLKIT_VERSION)) {
        return 0;
    }
    if (argc < 2) {
        return usage();
    }
    const std::string command = argv[1];
    if (command == "info" && argc == 3) {
        const auto image = load(argv[2]);
        if (!image) {
            return 1;
        }
        std::printf("{\"width\":%d,\"height\":%d,\"bits\":%d,\"rgb_sha256\":\"%s\","
                    "\"complete\":%s,\"rows_decoded\":%d}\n",
                    image->width, image->height, image->bits,
                    common::sha256Hex(RgbBytes(*image)).c_str(), image->complete ? "true" : "false",
                    image->rowsDecoded);
        return image->complete ? 0 : 1;
    }
    if (command == "convert" && argc == 4) {
        const auto image = load(argv[2]);
        if (!image) {
            return 1;
        }
        if (!SaveRgbPicture(argv[3], RgbBytes(*image), image->width, image->height)) {
            std::fprintf(stderr, "pcx: %s: cannot write the file\n",
                         common::forStream(argv[3], stderr).c_str());
            return 1;
        }
        return image->complete ? 0 : 1;
    }
    return usage();
}
