#include "file_builder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "trackdoc/element_document.h"
#include "trackdoc/track_document.h"

namespace fb {

Writer& Writer::U8(uint8_t v) {
    bytes_.push_back(v);
    return *this;
}

Writer& Writer::Long(int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int shift = 24; shift >= 0; shift -= 8) bytes_.push_back(static_cast<uint8_t>(u >> shift));
    return *this;
}

Writer& Writer::Single(float f) {
    int32_t bits;
    std::memcpy(&bits, &f, 4);
    return Long(bits);
}

Writer& Writer::Color(int32_t c) {
    const uint32_t u = static_cast<uint32_t>(c);
    return U8(0).U8(static_cast<uint8_t>(u >> 16)).U8(static_cast<uint8_t>(u >> 8)).U8(static_cast<uint8_t>(u));
}

Writer& Writer::Zeros(size_t n) {
    bytes_.insert(bytes_.end(), n, 0);
    return *this;
}

Writer& Writer::Tag(const char* tag) {
    bytes_.insert(bytes_.end(), tag, tag + 4);
    return *this;
}

Writer& Writer::Raw(const std::string& s) {
    bytes_.insert(bytes_.end(), s.begin(), s.end());
    return *this;
}

// Worked out here apart from the program's conversion: characters up to
// U+00FF take two UTF-8 bytes, 110000xx 10xxxxxx.
std::string Writer::Latin1FromUtf8(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if ((c & 0xFE) != 0xC2 || i + 1 == text.size()) throw std::invalid_argument("no ISO 8859-1 text");
            out.push_back(static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F)));
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

std::string Utf8FromLatin1(const std::string& bytes) {
    std::string out;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

Writer& Writer::Raw(const Bytes& b) {
    bytes_.insert(bytes_.end(), b.begin(), b.end());
    return *this;
}

Bytes Chunk::Serialize() const {
    Writer after;  // everything after the size field
    after.Raw(body.bytes());
    after.Long(childCount ? *childCount : static_cast<int32_t>(children.size()));
    for (const Chunk& child : children) after.Raw(child.Serialize());
    Writer out;
    out.Raw(tag);
    out.Long(size ? *size : static_cast<int32_t>(after.size()));
    out.Raw(after.bytes());
    return out.bytes();
}

Bytes TrackFile(const std::vector<Chunk>& top, const Header& header) {
    Writer chunks;
    for (const Chunk& c : top) chunks.Raw(c.Serialize());
    Writer out;
    out.Raw(header.magic);
    const int32_t total = static_cast<int32_t>(32 + chunks.size() - 8);
    out.Long(header.total ? *header.total : total);
    for (uint8_t b : header.version) out.U8(b);
    out.U8(header.flag).Zeros(15);
    out.Long(header.topCount ? *header.topCount : static_cast<int32_t>(top.size()));
    out.Raw(chunks.bytes());
    return out.bytes();
}

namespace {

Chunk Make(const char* tag) {
    Chunk c;
    c.tag = tag;
    return c;
}

void Vec(Writer& w, const Vector3& v) { w.Vec(v.X, v.Y, v.Z); }

Chunk BuildTRCK() {
    Chunk c = Make("TRCK");
    Writer& w = c.body;
    w.Long(gTrackStyle).Long(gTrainCount).Long(gCarsPerTrain);
    for (int32_t t = 0; t < gTrainCount; ++t) {
        const TrainEntry& tr = gTrains[t];
        w.Bool(tr.Flag).Zeros(7).DocText(tr.Name);
        w.Color(tr.Color1).Color(tr.Color2).Color(tr.Color3).Color(tr.Color4);
    }
    w.Color(gSpineColor).Color(gRailColor).Color(gTieColor).Color(gTrackSupportColor);
    for (int32_t col : gTrackExtraColors) w.Color(col);
    w.U8(gHeaderFlag).U8(0x39).U8(0x17).U8(0x02).Zeros(3).U8(static_cast<uint8_t>(gRunMode)).Zeros(8);
    return c;
}

Chunk BuildINFO() {
    Chunk c = Make("INFO");
    c.body.Zeros(16).DocText(gTrackInfo);
    return c;
}

Chunk BuildBEZR() {
    Chunk c = Make("BEZR");
    Writer& w = c.body;
    w.Zeros(16).Long(gNodeCount);
    for (int32_t n = 0; n < gNodeCount; ++n) {
        const TrackNode& node = gNodes[n];
        Vec(w, node.Position);
        Vec(w, node.ControlIn);
        Vec(w, node.ControlOut);
        w.Single(node.Roll).Bool(node.RollEasing).Bool(node.NodeFlag3).Bool(node.StrictRoll).Zeros(17);
    }
    w.Zeros(16);
    return c;
}

void StationPayload(Writer& w, const StationBlock& s) {
    Writer p;
    for (float t : s.WaitTime) p.Single(t);
    p.U8(s.Entrance).U8(s.NoRoof).Bool(s.Synchronized).Bool(s.Hidden).Single(s.MainBrakeDecel);
    p.U8(s.StationExtraByte1).U8(s.StationExtraByte2).Zeros(2).Bool(s.PreBrake).Single(s.PreBrakeSpeedLimit);
    p.Zeros(4).Single(s.PreBrakeDecel).Single(s.PreBrakeHysteresis).Zeros(4).Bool(s.Wheels);
    p.Single(s.WheelSpeed).Single(s.WheelAccel).Single(s.WheelDecel).Zeros(3).U8(s.StationExtraByte3);
    p.Single(s.StationExtraValue).Bool(s.StationExtraFlag).Zeros(55);
    w.Long(static_cast<int32_t>(p.size())).Raw(p.bytes());
}

void LiftPayload(Writer& w, const LiftBlock& l) {
    Writer p;
    p.Zeros(3).U8(l.LiftStyle).Single(l.MotorSpeed).Single(l.MotorAccel).Single(l.MotorDecel).Zeros(4);
    p.Bool(l.LeftRailing).Bool(l.RightRailing).Zeros(14);
    w.Long(static_cast<int32_t>(p.size())).Raw(p.bytes());
}

void TransportPayload(Writer& w, const TransportBlock& t) {
    Writer p;
    p.Single(t.MotorSpeed).Single(t.MotorAccel).Single(t.MotorDecel).Zeros(3).U8(t.TransportStyle);
    p.Bool(t.LeftRailing).Bool(t.RightRailing).Zeros(10);
    w.Long(static_cast<int32_t>(p.size())).Raw(p.bytes());
}

void BrakePayload(Writer& w, const BrakeBlock& b) {
    Writer p;
    p.Single(b.BrakeSpeedLimit).Single(b.BrakeDecel).Single(b.BrakeHysteresis).Zeros(4).Single(b.TriggerPosition);
    p.Bool(b.BlockSegment).Bool(b.Wheels).Single(b.WheelSpeed).Single(b.WheelAccel).Single(b.WheelDecel);
    p.Bool(b.LeftRailing).Bool(b.RightRailing).Bool(b.CompleteStop).U8(b.BrakeExtraByte).Zeros(12);
    w.Long(static_cast<int32_t>(p.size())).Raw(p.bytes());
}

Chunk BuildSEGM() {
    Chunk c = Make("SEGM");
    Writer& w = c.body;
    w.Long(gSegmentCount).Bool(gClosedCircuit).Zeros(16);
    for (int32_t n = 0; n < gSegmentCount; ++n) {
        const TrackSegment& s = gSegments[n];
        w.Long(s.SegmentType).Bool(s.CustomColors).Color(s.SpineColor).Color(s.RailColor).Color(s.TieColor);
        w.Bool(s.Tunnel).Zeros(3).U8(s.SpineStyle).Zeros(11);
        switch (s.SegmentType) {
            case 0: w.Long(0); break;
            case 1: StationPayload(w, s.Station); break;
            case 2: LiftPayload(w, s.Lift); break;
            case 3: TransportPayload(w, s.Transport); break;
            case 4: BrakePayload(w, s.Brake); break;
            default: break;
        }
    }
    w.Zeros(16);
    return c;
}

Chunk BuildFUND() {
    Chunk c = Make("FUND");
    Writer& w = c.body;
    w.Zeros(16).Long(gFooterCount);
    for (int32_t n = 0; n < gFooterCount; ++n) {
        const TrackFooter& f = gFooters[n];
        w.Bool(f.CustomSize).Single(f.Size).Bool(f.CustomRotation).Single(f.Rotation).Zeros(6);
        Vec(w, f.Position);
        w.Zeros(64);
    }
    w.Zeros(16);
    return c;
}

Chunk BuildRASC() {
    Chunk c = Make("RASC");
    Writer& w = c.body;
    w.Zeros(16).Long(gRascGroupCount);
    for (int32_t g = 0; g < gRascGroupCount; ++g) {
        const RascGroup& group = gRascGroups[g];
        w.Long(group.ItemCount);
        for (int32_t i = 0; i < group.ItemCount; ++i) w.Long(group.Items[i].Style).Single(group.Items[i].Position).Zeros(16);
    }
    w.Zeros(16);
    return c;
}

Chunk BuildFREN() {
    Chunk c = Make("FREN");
    Writer& w = c.body;
    w.Zeros(16).Long(gFreeNodeCount);
    for (int32_t n = 0; n < gFreeNodeCount; ++n) {
        Vec(w, gFreeNodes[n]);
        w.Zeros(16);
    }
    w.Zeros(16);
    return c;
}

Chunk BuildTUBE() {
    Chunk c = Make("TUBE");
    Writer& w = c.body;
    w.Zeros(16).Long(gTubeCount);
    for (int32_t n = 0; n < gTubeCount; ++n) {
        const SupportTube& t = gTubes[n];
        w.Long(t.EndAKind).Long(t.EndASegment).Long(t.EndAIndex).Zeros(4);
        w.Long(t.EndBKind).Long(t.EndBSegment).Long(t.EndBIndex).Zeros(4);
        w.Long(t.TubeType).Long(t.Reserved).Single(t.Rotation).Zeros(4);
    }
    w.Zeros(16);
    return c;
}

Chunk BuildCATW() {
    Chunk c = Make("CATW");
    Writer& w = c.body;
    w.Zeros(16).Long(gCatwalkCount);
    for (int32_t n = 0; n < gCatwalkCount; ++n) {
        const TrackCatwalk& k = gCatwalks[n];
        w.Long(k.Corner1).Long(k.Corner2).Long(k.Corner3).Long(k.Corner4).Long(k.Extra1).Long(k.Extra2);
        w.Long(k.PadLength).Zeros(static_cast<size_t>(k.PadLength));
    }
    w.Zeros(16);
    return c;
}

Chunk BuildSCEN() {
    Chunk c = Make("SCEN");
    Writer& w = c.body;
    w.Zeros(16).Long(gTreeCount);
    for (int32_t n = 0; n < gTreeCount; ++n) {
        Vec(w, gTrees[n].Position);
        w.Long(gTrees[n].TreeType).Single(gTrees[n].ExtraValue).Zeros(44);
    }
    w.Zeros(16);
    return c;
}

Chunk BuildSCOB() {
    Chunk c = Make("SCOB");
    Writer& w = c.body;
    w.Zeros(16).Long(gObjectCount);
    for (int32_t n = 0; n < gObjectCount; ++n) {
        const SceneryObject& o = gObjects[n];
        w.DocText(o.ObjectText).DocText(o.FileName);
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 4; ++col) w.Single(o.Transform(r, col));
        w.Zeros(16);
    }
    w.Zeros(16);
    return c;
}

Chunk BuildTERA() {
    Chunk c = Make("TERA");
    Writer& w = c.body;
    w.Long(gTerrainWidth).Long(gTerrainDepth).Single(gTerrainSpacingX).Single(gTerrainSpacingZ);
    w.DocText(gTerrainText1).Single(gTerrainValue1).DocText(gTerrainText2).Single(gTerrainValue2);
    w.Bool(gHasWater).Zeros(4).DocText(gTerrainText3).Single(gTerrainValue3).U8(gTerrainByte).Zeros(15);
    for (int32_t j = 0; j < gTerrainDepth; ++j)
        for (int32_t i = 0; i < gTerrainWidth; ++i) w.Single(gTerrainHeights(i, j));
    w.Zeros(16);
    return c;
}

Chunk BuildENVC() {
    Chunk c = Make("ENVC");
    c.body.Zeros(16).DocText(gEnvironmentName).DocText(gEnvironmentText2).Zeros(16);
    return c;
}

}  // namespace

std::vector<Chunk> TrackChunksFromDocument() {
    Chunk supp = Make("SUPP");
    supp.body.Zeros(32);
    supp.children = {BuildFUND(), BuildRASC(), BuildFREN(), BuildTUBE(), BuildCATW()};
    Chunk trck = BuildTRCK();
    trck.children = {BuildINFO(), BuildBEZR(), BuildSEGM(), supp};
    Chunk scen = BuildSCEN();
    scen.children = {BuildSCOB()};
    std::vector<Chunk> top = {trck, scen};
    if (gHasTerrain) top.push_back(BuildTERA());
    top.push_back(BuildENVC());
    return top;
}

Bytes TrackFileFromDocument() {
    Header h;
    h.flag = gHeaderFlag;
    return TrackFile(TrackChunksFromDocument(), h);
}

Bytes ElementFile(int32_t sizeField, int32_t k, const Bytes& records, bool withTrailer) {
    Writer w;
    w.Tag("ELEM").Long(sizeField).Zeros(64).Long(k).Raw(records);
    if (withTrailer) w.Zeros(64).Long(0);
    return w.bytes();
}

Bytes ElementFileFromDocument() {
    Writer records;
    for (int32_t i = 1; i < gElementNodeCount; ++i) {
        const TrackNode& a = gElementNodes[i - 1];
        const TrackNode& b = gElementNodes[i];
        Vec(records, a.ControlOut);
        Vec(records, b.ControlIn);
        Vec(records, b.Position);
        records.Single(b.Roll).Bool(b.RollEasing).Bool(b.StrictRoll).Zeros(8);
    }
    return ElementFile(gElementSize, gElementNodeCount > 0 ? gElementNodeCount - 1 : 0, records.bytes());
}

namespace {

// Every byte value, so that texts show they survive as bytes.
std::string AllByteValues() {
    std::string s;
    for (int b = 255; b >= 0; --b) s.push_back(static_cast<char>(b));
    return s;
}

float F(int a, int b) { return static_cast<float>(a) + static_cast<float>(b) / 64.0f; }

}  // namespace

void FillRichTrack(bool withTerrain, bool withWater) {
    ClearTrackDocument();
    gHeaderFlag = 0x5A;
    gTrackStyle = 11;
    gTrainCount = 3;
    gCarsPerTrain = 7;
    gTrains.assign(4, TrainEntry{});
    gTrains[0] =
        TrainEntry{true, 0x112233, 0x445566, 0x778899, 0xAABBCC, Utf8FromLatin1("Blue Streak \xE9\xF6\xFF")};
    gTrains[1] = TrainEntry{false, 1, 2, 3, 0xFFFFFF, ""};
    gTrains[2] = TrainEntry{true, 0, 0, 0, 0, Utf8FromLatin1(AllByteValues())};
    gRunMode = 1;
    gSpineColor = 0x0000FF;
    gRailColor = 0x00FF00;
    gTieColor = 0xFF0000;
    gTrackSupportColor = 0x808080;
    gTrackExtraColors[0] = 0x010203;
    gTrackExtraColors[1] = 0x040506;
    gTrackExtraColors[2] = 0x070809;
    gTrackExtraColors[3] = 0x0A0B0C;
    gTrackInfo = Utf8FromLatin1("Author's notes:\r\n\xC4\xD6\xDC \x80\x81 \x7F end");

    gNodeCount = 4;
    gNodes.assign(5, TrackNode{});
    for (int n = 0; n < 4; ++n) {
        TrackNode& node = gNodes[n];
        node.Position = Vector3{F(n * 10, 1), F(5, n), F(-n, 3)};
        node.ControlIn = Vector3{F(n * 10 - 3, 5), F(5, n + 1), F(-n, 7)};
        node.ControlOut = Vector3{F(n * 10 + 3, 9), F(5, n + 2), F(-n, 11)};
        node.Roll = static_cast<float>(n) * 0.25f - 0.5f;
        node.RollEasing = n % 2 == 0;
        node.StrictRoll = n % 3 == 0;
        node.NodeFlag3 = n == 1;
    }

    gClosedCircuit = true;
    gSegmentCount = 6;
    gSegments.assign(7, TrackSegment{});
    const int32_t types[6] = {0, 1, 2, 3, 4, 7};
    for (int n = 0; n < 6; ++n) {
        TrackSegment& s = gSegments[n];
        s.SegmentType = types[n];
        s.SpineColor = 0x100000 * n + 0x0A0B;
        s.RailColor = 0x123456 + n;
        s.TieColor = 0xFEDCBA - n;
        s.SpineStyle = static_cast<uint8_t>((n % 3) * 4);
        s.CustomColors = n % 2 == 1;
        s.Tunnel = n == 2 || n == 5;
    }
    StationBlock& st = gSegments[1].Station;
    for (int k = 0; k < 4; ++k) st.WaitTime[k] = F(10 + k, k);
    st.Synchronized = true;
    st.MainBrakeDecel = 4.5f;
    st.Entrance = 1;
    st.NoRoof = 3;
    st.Hidden = true;
    st.PreBrake = true;
    st.PreBrakeSpeedLimit = 2.25f;
    st.PreBrakeDecel = 3.75f;
    st.PreBrakeHysteresis = 0.125f;
    st.StationExtraByte1 = 0xA1;
    st.StationExtraByte2 = 0xB2;
    st.Wheels = true;
    st.StationExtraByte3 = 0xC3;
    st.WheelSpeed = 1.5f;
    st.WheelAccel = 0.75f;
    st.WheelDecel = 0.5f;
    st.StationExtraFlag = true;
    st.StationExtraValue = -7.25f;
    LiftBlock& lift = gSegments[2].Lift;
    lift = LiftBlock{4.0f, 0.5f, 0.25f, 1, true, false};
    TransportBlock& tr = gSegments[3].Transport;
    tr = TransportBlock{8.0f, 1.5f, 2.5f, 1, false, true};
    BrakeBlock& br = gSegments[4].Brake;
    br.BlockSegment = true;
    br.CompleteStop = true;
    br.BrakeSpeedLimit = 12.5f;
    br.BrakeDecel = 6.0f;
    br.BrakeHysteresis = 0.375f;
    br.Wheels = true;
    br.WheelSpeed = 3.0f;
    br.WheelAccel = 1.25f;
    br.WheelDecel = 1.75f;
    br.TriggerPosition = 0.625f;
    br.LeftRailing = true;
    br.RightRailing = true;
    br.BrakeExtraByte = 0x7E;

    gFooterCount = 2;
    gFooters.assign(3, TrackFooter{});
    gFooters[0] = TrackFooter{Vector3{1.5f, 0.0f, -2.5f}, true, 1.75f, false, 0.5f};  // size kept though unused
    gFooters[1] = TrackFooter{Vector3{-3.0f, 0.25f, 4.0f}, false, 9.0f, true, -1.25f};

    gRascGroupCount = 3;
    gRascGroups.assign(4, RascGroup{});
    gRascGroups[0].ItemCount = 2;
    gRascGroups[0].Items = {RascItem{2, 0.25f}, RascItem{7, 0.75f}, RascItem{}};
    gRascGroups[2].ItemCount = 1;
    gRascGroups[2].Items = {RascItem{5, 0.5f}, RascItem{}};

    gFreeNodeCount = 5;
    gFreeNodes.assign(6, Vector3{});
    for (int n = 0; n < 5; ++n) gFreeNodes[n] = Vector3{F(n, 1), F(n * 2, 3), F(-n, 5)};

    gTubeCount = 3;
    gTubes.assign(4, SupportTube{});
    gTubes[0] = SupportTube{1, 0, 0, 2, 3, 0, 4, 0, 0.5f};
    gTubes[1] = SupportTube{3, 1, 2, 2, 4, 0, 9, 77, -0.25f};
    gTubes[2] = SupportTube{2, 1, 0, 3, 0, 2, 6, -1, 3.0f};

    gCatwalkCount = 3;
    gCatwalks.assign(4, TrackCatwalk{});
    gCatwalks[0] = TrackCatwalk{0, 1, 2, 3, 11, 12, 0};
    gCatwalks[1] = TrackCatwalk{1, 2, 3, 4, -1, 65536, 5};
    gCatwalks[2] = TrackCatwalk{4, 3, 2, 1, 0, 0, 17};

    gTreeCount = 2;
    gTrees.assign(3, SceneryTree{});
    gTrees[0] = SceneryTree{Vector3{10.0f, 0.0f, 20.0f}, 0.5f, 1};
    gTrees[1] = SceneryTree{Vector3{-10.0f, 1.0f, -20.0f}, 2.5f, 3};

    gObjectCount = 2;
    gObjects.assign(3, SceneryObject{});
    gObjects[0].FileName = "Buildings\\Station \xC3\xA9.3ds";  // "é"
    gObjects[0].ObjectText = "";
    for (int r = 0; r < 4; ++r)
        for (int col = 0; col < 4; ++col) gObjects[0].Transform(r, col) = F(r * 4 + col, r + 1);
    gObjects[1].FileName = "tree.3ds";
    gObjects[1].ObjectText = Utf8FromLatin1("kept \xFF");
    gObjects[1].Transform = MatrixTranslate(1.0f, 2.0f, 3.0f);

    if (withTerrain) {
        gHasTerrain = true;
        gHasWater = withWater;
        gTerrainWidth = 5;
        gTerrainDepth = 3;
        gTerrainSpacingX = 2.5f;
        gTerrainSpacingZ = 4.0f;
        gTerrainText1 = "ground.tga";
        gTerrainValue1 = 1.5f;
        gTerrainText2 = "";
        gTerrainValue2 = -2.0f;
        gTerrainText3 = Utf8FromLatin1("water \x99");
        gTerrainValue3 = 0.125f;
        gTerrainByte = 0xEE;
        gTerrainHeights.Resize(5, 3);
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 5; ++i) gTerrainHeights(i, j) = F(i - 2, j * 7) * (j == 1 ? -1.0f : 1.0f);
    }

    gEnvironmentName = "Sunset \xC3\xA4";  // "ä"
    gEnvironmentText2 = "second";
}

void FillElement(int32_t nodes) {
    ClearElementDocument();
    gElementNodeCount = nodes;
    gElementSize = nodes > 0 ? 136 + 50 * (nodes - 1) : 0;
    gElementNodes.assign(static_cast<size_t>(nodes > 0 ? nodes : 0) + 1, TrackNode{});
    for (int32_t i = 0; i < nodes; ++i) {
        TrackNode& n = gElementNodes[i];
        if (i > 0) {
            n.Position = Vector3{F(i * 5, i), F(i, 3), F(-i, 1)};
            n.ControlIn = Vector3{F(i * 5 - 2, 1), F(i, 5), F(-i, 9)};
            n.Roll = 0.1f * static_cast<float>(i);
            n.RollEasing = i % 2 == 1;
            n.StrictRoll = i % 3 == 1;
        }
        n.ControlOut = Vector3{F(i * 5 + 2, 7), F(i, 11), F(-i, 13)};
    }
}

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "gw_trackdoc_XXXXXX").string();
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = name.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace fb
