// The corpus test: every track and element file below a folder is loaded and
// saved again, and the bytes are compared with NAME.resaved beside the file
// where there is one, else with the file itself; every file below a bad/
// folder must be refused. The folder is GW_CORPUS_DIR when set; otherwise the
// test makes its own corpus first.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "file_builder.h"
#include "platform/file_system.h"
#include "trackdoc/element_document.h"
#include "trackdoc/element_file.h"
#include "trackdoc/track_document.h"
#include "trackdoc/track_file.h"

namespace fs = std::filesystem;

namespace {

void PutLong(fb::Bytes& b, size_t at, int32_t v) {
    for (int k = 0; k < 4; ++k) b.at(at + k) = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (24 - 8 * k));
}

size_t FindTag(const fb::Bytes& b, const char* tag) {
    for (size_t i = 0; i + 4 <= b.size(); ++i)
        if (std::memcmp(&b[i], tag, 4) == 0) return i;
    return 0;
}

// Writes the project's own corpus: files as the program writes them, files
// another writer might produce (with their expected re-saved bytes) and
// damaged files under bad/.
void MakeCorpus(const std::string& root) {
    fs::create_directories(root + "/tracks");
    fs::create_directories(root + "/elements");
    fs::create_directories(root + "/bad/deeper");
    auto put = [&root](const std::string& name, const fb::Bytes& b) { fb::WriteBytes(root + "/" + name, b); };

    ClearTrackDocument();
    put("tracks/empty.vxtrack", fb::TrackFileFromDocument());
    fb::FillRichTrack(false, false);
    const fb::Bytes plain = fb::TrackFileFromDocument();
    put("tracks/rich.vxtrack", plain);
    fb::FillRichTrack(true, false);
    put("tracks/terrain.vxtrack", fb::TrackFileFromDocument());
    fb::FillRichTrack(true, true);
    const fb::Bytes water = fb::TrackFileFromDocument();
    put("tracks/WATER.VXTRACK", water);

    // Another writer's choices: an extra chunk, lower-case tags, other version bytes.
    {
        std::vector<fb::Chunk> chunks = fb::TrackChunksFromDocument();
        fb::Chunk extra;
        extra.tag = "NOTE";
        extra.body.Raw(std::string("written elsewhere"));
        chunks.insert(chunks.begin() + 2, extra);
        chunks[0].tag = "trck";
        fb::Header h;
        h.flag = gHeaderFlag;
        h.version[1] = 3;
        h.magic = "vrtx";
        put("tracks/foreign.vxtrack", fb::TrackFile(chunks, h));
        put("tracks/foreign.vxtrack.resaved", water);
    }
    // Non-canonical Booleans and a negative train-name length.
    {
        fb::FillRichTrack(false, false);
        gTrains[1].Name.clear();
        const fb::Bytes canonical = fb::TrackFileFromDocument();
        fb::Bytes odd = canonical;
        const size_t trck = FindTag(odd, "TRCK") + 8;
        odd[trck + 12] = 0x01;  // the first train's flag
        // The second train's name length, after the first train's name in the file's bytes.
        size_t second = trck + 12 + 28 + fb::Writer::Latin1FromUtf8(gTrains[0].Name).size() + 8;
        PutLong(odd, second, -4);
        put("tracks/odd.vxtrack", odd);
        put("tracks/odd.resaved", canonical);
    }

    fb::FillElement(1);
    put("elements/start.vxelem", fb::ElementFileFromDocument());
    fb::FillElement(6);
    const fb::Bytes element = fb::ElementFileFromDocument();
    put("elements/six.vxelem", element);
    {
        fb::Bytes odd = element;
        odd[76 + 40] = 0x02;  // a roll flag other than 0xFF
        PutLong(odd, 4, 999);  // a size field that disagrees with the length
        fb::Bytes resaved = element;
        resaved[76 + 40] = 0xFF;
        PutLong(resaved, 4, 999);
        put("elements/odd.vxelem", odd);
        put("elements/odd.vxelem.resaved", resaved);
    }
    // The closing zero bytes and child count are not needed: files cut inside
    // them or right after the last record load and are saved whole.
    put("elements/cut-trailer.vxelem", fb::Bytes(element.begin(), element.end() - 10));
    put("elements/cut-trailer.vxelem.resaved", element);
    put("elements/no-trailer.vxelem", fb::Bytes(element.begin(), element.end() - 68));
    put("elements/no-trailer.vxelem.resaved", element);

    // Damaged files.
    put("bad/truncated.vxtrack", fb::Bytes(plain.begin(), plain.begin() + 700));
    put("bad/header-only.vxtrack", fb::Bytes(plain.begin(), plain.begin() + 20));
    put("bad/empty.vxtrack", {});
    fb::Bytes b = plain;
    PutLong(b, FindTag(b, "BEZR") + 8 + 16, -1);
    put("bad/negative-nodes.vxtrack", b);
    b = plain;
    PutLong(b, FindTag(b, "TUBE") + 8 + 16, INT32_MAX);
    put("bad/huge-tubes.vxtrack", b);
    b = plain;
    PutLong(b, FindTag(b, "CATW") + 8 + 20 + 24, -17);
    put("bad/negative-padding.vxtrack", b);
    b = plain;
    PutLong(b, 28, 1 << 30);
    put("bad/endless.vxtrack", b);
    b = plain;
    PutLong(b, FindTag(b, "SCOB") + 8 + 20, -2);
    put("bad/deeper/negative-text.vxtrack", b);
    b = plain;
    b[0] = 'X';
    put("bad/magic.vxtrack", b);
    put("bad/short.vxelem", fb::Bytes(element.begin(), element.begin() + 60));
    b = element;
    PutLong(b, 72, -3);
    put("bad/negative-k.vxelem", b);
    b = element;
    PutLong(b, 72, 7);
    put("bad/deeper/too-many.vxelem", b);
    put("bad/cut-record.vxelem", fb::Bytes(element.begin(), element.end() - 68 - 1));
}

bool UnderBad(const fs::path& relative) {
    return std::any_of(relative.begin(), relative.end(), [](const fs::path& part) { return part == "bad"; });
}

bool IsTrack(const std::string& p) { return fsys::HasExtension(p, ".vxtrack"); }
bool IsElement(const std::string& p) { return fsys::HasExtension(p, ".vxelem"); }

// The bytes a re-save must give: NAME.resaved beside the file (the whole name
// or the name without its extension), else the file itself.
fb::Bytes ExpectedResave(const fs::path& file) {
    for (fs::path candidate : {fs::path(file.string() + ".resaved"), fs::path(file).replace_extension(".resaved")})
        if (fs::is_regular_file(candidate)) return fb::ReadBytes(candidate.string());
    return fb::ReadBytes(file.string());
}

void RunCorpus(const std::string& root) {
    fb::TempDir out;
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    int good = 0, bad = 0;
    for (const fs::path& file : files) {
        const std::string p = file.string();
        const fs::path relative = fs::relative(file, root);
        if (fsys::HasExtension(p, ".resaved")) continue;
        SCOPED_TRACE(relative.string());
        if (UnderBad(relative)) {
            ++bad;
            if (IsTrack(p)) {
                EXPECT_FALSE(LoadTrackFile(p));
            } else if (IsElement(p)) {
                EXPECT_FALSE(LoadElementFile(p));
            } else {
                EXPECT_FALSE(LoadTrackFile(p));
                EXPECT_FALSE(LoadElementFile(p));
            }
            continue;
        }
        if (!IsTrack(p) && !IsElement(p)) continue;
        ++good;
        const std::string saved = out.File(IsTrack(p) ? "resaved.vxtrack" : "resaved.vxelem");
        if (IsTrack(p)) {
            ASSERT_TRUE(LoadTrackFile(p));
            ASSERT_TRUE(SaveTrackFile(saved));
        } else {
            ASSERT_TRUE(LoadElementFile(p));
            ASSERT_TRUE(SaveElementFile(saved));
        }
        const fb::Bytes expected = ExpectedResave(file), actual = fb::ReadBytes(saved);
        if (expected != actual) {
            size_t at = 0;
            while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
            ADD_FAILURE() << "re-saved bytes differ from offset " << at << " (expected " << expected.size()
                          << " bytes, got " << actual.size() << ")";
        }
    }
    std::printf("corpus %s: %d files re-saved, %d damaged files refused\n", root.c_str(), good, bad);
    EXPECT_GT(good + bad, 0) << "no track or element files below " << root;
}

TEST(Corpus, EveryFileReSavesByteForByteAndDamagedFilesAreRefused) {
    const char* dir = std::getenv("GW_CORPUS_DIR");
    if (dir && *dir) {
        ASSERT_TRUE(fs::is_directory(dir)) << dir;
        RunCorpus(dir);
        return;
    }
    fb::TempDir corpus;
    MakeCorpus(corpus.path());
    RunCorpus(corpus.path());
}

}  // namespace
