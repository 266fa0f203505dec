#pragma once
// A test-side writer of track and element files, kept apart from the
// program's own writer: it lays out bytes by hand and computes every chunk's
// size and the header total from the bytes it has actually produced. Tests
// use it to check the program's files byte for byte and to make damaged files.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fb {

using Bytes = std::vector<uint8_t>;

// Appends big-endian values.
class Writer {
public:
    Writer& U8(uint8_t v);
    Writer& Bool(bool b) { return U8(b ? 0xFF : 0x00); }
    Writer& Long(int32_t v);
    Writer& Single(float f);
    Writer& Color(int32_t c);  // 0, blue, green, red
    Writer& Vec(float x, float y, float z) { return Single(x).Single(y).Single(z); }
    Writer& Zeros(size_t n);
    Writer& Tag(const char* tag);
    Writer& Raw(const std::string& bytes);
    Writer& Raw(const Bytes& bytes);
    // A text: its length as a Long, then its bytes.
    Writer& Text(const std::string& s) { return Long(static_cast<int32_t>(s.size())).Raw(s); }
    // A text of the document (UTF-8 in memory) as the file stores it: one
    // byte per character, ISO 8859-1.
    Writer& DocText(const std::string& programText) { return Text(Latin1FromUtf8(programText)); }
    static std::string Latin1FromUtf8(const std::string& text);
    const Bytes& bytes() const { return bytes_; }
    Bytes& bytes() { return bytes_; }
    size_t size() const { return bytes_.size(); }

private:
    Bytes bytes_;
};

// One chunk of the tree: the body without its closing child count, and the
// children. The child count written is the number of children unless
// overridden; the size field is computed unless overridden.
struct Chunk {
    std::string tag;
    Writer body;
    std::vector<Chunk> children;
    std::optional<int32_t> childCount;
    std::optional<int32_t> size;

    Bytes Serialize() const;
};

struct Header {
    uint8_t version[4] = {1, 4, 0, 0};
    uint8_t flag = 0;
    std::string magic = "VRTX";
    std::optional<int32_t> topCount;  // default: the number of top chunks
    std::optional<int32_t> total;     // default: file length - 8
};

Bytes TrackFile(const std::vector<Chunk>& top, const Header& header = Header());

// The file of the current track document (the globals), laid out from the
// record layouts independently of the program's writer.
Bytes TrackFileFromDocument();
// The chunks of the current document, for tests that alter one of them.
std::vector<Chunk> TrackChunksFromDocument();

// The file of the current element document.
Bytes ElementFileFromDocument();
// An element file with k records of the given bytes (50 each) and a size field.
Bytes ElementFile(int32_t sizeField, int32_t k, const Bytes& records, bool withTrailer = true);

// A file's single bytes (ISO 8859-1) as the document holds them: UTF-8.
std::string Utf8FromLatin1(const std::string& bytes);

// Fills the track document with every kind of record: trains, texts with bytes
// above 127 (every byte value in one of them), nodes, segments of types 0 to 4 and 7, footers, prefabricated
// supports, free nodes, tubes, catwalks with padding, trees, objects, terrain
// (with or without water) and the environment.
void FillRichTrack(bool withTerrain, bool withWater);

// Fills the element document with `nodes` nodes of distinct values.
void FillElement(int32_t nodes);

// A folder of its own under the system's temporary folder, removed again
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);

}  // namespace fb
