#include "unit_fixture.hpp"

#include "hpiutil/writer.hpp"
#include "testsupport/gaf_writer.hpp"
#include "testsupport/tdo_writer.hpp"

#include <fstream>

namespace unitfixture {

namespace {

std::string text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void put32(std::string& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out[at + std::size_t(i)] = char(std::uint8_t(v >> (8 * i)));
    }
}

} // namespace

std::string makeCob(const std::vector<std::string>& pieces) {
    const std::vector<std::string> scripts = {"Create", "Killed"};
    // Header of 11 words, then the two offset arrays, then the names.
    std::string out(44, '\0');
    put32(out, 0, 4);
    put32(out, 4, std::uint32_t(scripts.size()));
    put32(out, 8, std::uint32_t(pieces.size()));
    const std::size_t scriptTable = out.size();
    out.resize(out.size() + 4 * scripts.size());
    const std::size_t pieceTable = out.size();
    out.resize(out.size() + 4 * pieces.size());
    put32(out, 28, std::uint32_t(scriptTable));
    put32(out, 32, std::uint32_t(pieceTable));
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        put32(out, scriptTable + 4 * i, std::uint32_t(out.size()));
        out += scripts[i] + '\0';
    }
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        put32(out, pieceTable + 4 * i, std::uint32_t(out.size()));
        out += pieces[i] + '\0';
    }
    return out;
}

std::string makeModel(const std::vector<std::string>& pieces,
                      const std::vector<std::string>& textures) {
    testsupport::TdoPieceSpec root;
    testsupport::TdoPieceSpec* at = nullptr;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        testsupport::TdoPieceSpec piece = testsupport::tdoTriangles(pieces[i], 1);
        if (i < textures.size()) {
            piece.primitives.front().texture = textures[i];
        }
        if (at == nullptr) {
            root = std::move(piece);
            at = &root;
        } else {
            at->children.push_back(std::move(piece));
            at = &at->children.back();
        }
    }
    return text(testsupport::makeTdo(root));
}

std::string makeGaf(const std::vector<std::string>& entries) {
    std::vector<testsupport::GafEntrySpec> specs;
    for (const std::string& e : entries) {
        specs.push_back({e, {testsupport::rawFrame(2, 2)}});
    }
    return text(testsupport::makeGaf(specs));
}

void addUnit(Members& m, const std::string& n) {
    m["units\\" + n + ".fbi"] = "[UNITINFO]\r\n{\r\n\tUnitName=" + n + ";\r\n\tName=Fixture " + n +
                                ";\r\n\tObjectname=" + n + ";\r\n\tCorpse=" + n +
                                "_dead;\r\n\tSoundCategory=" + n + "_SOUND;\r\n\tWeapon1=" + n +
                                "_LASER;\r\n\tWeapon2=;\r\n\tExplodeAs=" + n +
                                "_BLAST;\r\n\tSelfDestructAs=" + n + "_BLAST;\r\n}\r\n";
    m["scripts\\" + n + ".cob"] = makeCob(ModelPieces);
    m["unitpics\\" + n + ".pcx"] = "picture";
    m["anims\\" + n + "_gadget.gaf"] = makeGaf({n});
    m["objects3d\\" + n + ".3do"] = makeModel(ModelPieces, {n + "tex1", n + "tex2"});
    m["textures\\" + n + ".gaf"] = makeGaf({n + "tex1", n + "tex2"});
    m["features\\corpses\\" + n + "_dead.tdf"] = "[" + n + "_dead]\n{\n\tobject=" + n +
                                                 "_dead;\n\tfeaturedead=" + n + "_heap;\n}\n[" + n +
                                                 "_heap]\n{\n\tobject=" + n + "_heap;\n}\n";
    m["objects3d\\" + n + "_dead.3do"] = makeModel({"dead"}, {n + "tex1"});
    m["objects3d\\" + n + "_heap.3do"] = makeModel({"heap"}, {n + "tex1"});
    m["gamedata\\sound.tdf"] +=
        "[" + n + "_SOUND]\n{\n\tselect1=" + n + "sel;\n\tok1=" + n + "ok;\n}\n";
    for (const char* s : {"sel", "ok", "fire", "hit"}) {
        m["sounds\\" + n + s + ".wav"] = "RIFF";
    }
    m["weapons\\" + n + ".tdf"] =
        "[" + n + "_LASER]\n{\n\tmodel=" + n + "shot;\n\tsoundstart=" + n +
        "fire;\n\tsoundhit=" + n + "hit;\n\texplosiongaf=" + n +
        "fx;\n\texplosionart=blast;\n\twaterexplosionart=splash;\n}\n[" + n +
        "_BLAST]\n{\n\texplosiongaf=" + n + "fx;\n\texplosionart=blast;\n}\n";
    m["objects3d\\" + n + "shot.3do"] = makeModel({"shot"}, {});
    m["anims\\" + n + "fx.gaf"] = makeGaf({"blast", "splash"});
    m["download\\" + n + ".tdf"] =
        "[MENUENTRY1]\n{\n\tUNITMENU=ARMCOM;\n\tMENU=2;\n\tBUTTON=1;\n\tUNITNAME=" + n + ";\n}\n";
}

bool writeArchive(const std::filesystem::path& path, const Members& members) {
    hpiutil::ArchiveWriter writer;
    for (const auto& [name, content] : members) {
        if (!writer.addBuffer(name, std::vector<std::uint8_t>(content.begin(), content.end()))) {
            return false;
        }
    }
    return writer.write(path, hpiutil::Method::Zlib, {}, 1).ok();
}

bool writeFolder(const std::filesystem::path& folder, const Members& members) {
    for (const auto& [name, content] : members) {
        std::string relative = name;
        for (char& c : relative) {
            c = c == '\\' ? '/' : c;
        }
        const std::filesystem::path file = folder / relative;
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        std::ofstream out(file, std::ios::binary);
        out.write(content.data(), std::streamsize(content.size()));
        if (!out) {
            return false;
        }
    }
    return true;
}

} // namespace unitfixture
