// Reading and writing .vxtrack files.
//
// The file is a 32-byte header followed by a pre-order tree of chunks: a tag,
// a size field counting every byte after it to the end of the chunk (children
// included), a body ending in a child count, then the children. The loader
// walks the tree by counting children; every read is bounded by the file, so
// a damaged file makes the load fail instead of reading past its end.

#include "trackdoc/track_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "trackdoc/byte_buffer.h"
#include "trackdoc/track_document.h"

namespace {

constexpr const char* kTrackExtension = ".vxtrack";

// Fixed record lengths in the file.
constexpr int64_t kTrainRecordMin = 28;  // without its name
constexpr int64_t kNodeRecord = 60;
constexpr int64_t kSegmentRecordMin = 33;  // a segment of a type without payload
constexpr int64_t kFooterRecord = 92;
constexpr int64_t kRascGroupMin = 4;
constexpr int64_t kRascItemRecord = 24;
constexpr int64_t kFreeNodeRecord = 28;
constexpr int64_t kTubeRecord = 48;
constexpr int64_t kCatwalkRecordMin = 28;  // without its padding
constexpr int64_t kTreeRecord = 64;
constexpr int64_t kObjectRecordMin = 88;  // without its texts

// Payload length of each segment type that has a payload block.
constexpr int32_t kPayloadLength[5] = {0, 126, 36, 28, 50};

bool HasPayload(int32_t segmentType) { return segmentType >= 0 && segmentType <= 4; }

// ---- Reading ----------------------------------------------------------------

// Set when the file's content is impossible (a negative or oversized count,
// length or padding); a read past the end sets the buffer's own flag.
bool sMalformed = false;

bool Bad() { return sMalformed || BufReadFailed(); }

void Malformed() { sMalformed = true; }

bool ReadBool(int32_t& c) { return BufReadByte(c) != 0; }

Vector3 ReadVector(int32_t& c) {
    Vector3 v;
    v.X = BufReadSingle(c);
    v.Y = BufReadSingle(c);
    v.Z = BufReadSingle(c);
    return v;
}

// A record count is sound when it is not negative and the records, at their
// least length, fit in what is left of the file. Checked before any array is
// sized, so a damaged count can never make the loader allocate more than the
// file could hold.
bool CountFits(int32_t cursor, int32_t count, int64_t minRecordBytes) {
    if (Bad()) return false;
    if (count < 0 || static_cast<int64_t>(count) * minRecordBytes > BufBytesLeft(cursor)) {
        Malformed();
        return false;
    }
    return true;
}

// A text whose length the format reads only when it is at least 1 (train
// names, the description, the environment texts): 0 or less is the empty text.
std::string ReadOptionalText(int32_t& c) {
    const int32_t n = BufReadLong(c);
    return n >= 1 ? BufReadString(c, n) : std::string();
}

// A text read with whatever length the file gives (scenery objects, terrain):
// a negative length cannot be read and makes the file malformed.
std::string ReadText(int32_t& c) {
    const int32_t n = BufReadLong(c);
    if (n < 0) {
        Malformed();
        return std::string();
    }
    return BufReadString(c, n);
}

// The tail every chunk body ends with: a zero run and the child count.
int32_t ReadTail(int32_t& c, int32_t& children) {
    BufSkip(c, 16);
    children = BufReadLong(c);
    return children;
}

void ReadFileHeader(int32_t& c) {
    gFileTotalSize = BufReadLong(c);
    for (auto& b : gFileVersion) b = BufReadByte(c);
    gHeaderFlag = BufReadByte(c);
    BufSkip(c, 15);
    gTopChunkCount = BufReadLong(c);
}

int32_t ReadChunkTRCK(int32_t& c) {
    gTRCKSize = BufReadLong(c);
    gTrackStyle = BufReadLong(c);
    gTrainCount = BufReadLong(c);
    gCarsPerTrain = BufReadLong(c);
    if (!CountFits(c, gTrainCount, kTrainRecordMin)) return 0;
    gTrains.assign(static_cast<size_t>(gTrainCount) + 1, TrainEntry{});
    for (int32_t t = 0; t < gTrainCount && !Bad(); ++t) {
        TrainEntry& train = gTrains[static_cast<size_t>(t)];
        train.Flag = ReadBool(c);
        BufSkip(c, 7);
        train.Name = ReadOptionalText(c);
        train.Color1 = BufReadColor(c);
        train.Color2 = BufReadColor(c);
        train.Color3 = BufReadColor(c);
        train.Color4 = BufReadColor(c);
    }
    gSpineColor = BufReadColor(c);
    gRailColor = BufReadColor(c);
    gTieColor = BufReadColor(c);
    gTrackSupportColor = BufReadColor(c);
    for (auto& color : gTrackExtraColors) color = BufReadColor(c);
    BufSkip(c, 7);  // the header byte's copy, three constant bytes, 3 zeros
    gRunMode = BufReadByte(c);
    BufSkip(c, 8);
    gTRCKChildren = BufReadLong(c);
    return gTRCKChildren;
}

int32_t ReadChunkINFO(int32_t& c) {
    gINFOSize = BufReadLong(c);
    BufSkip(c, 16);
    gTrackInfo = ReadOptionalText(c);
    gINFOChildren = BufReadLong(c);
    return gINFOChildren;
}

int32_t ReadChunkBEZR(int32_t& c) {
    gBEZRSize = BufReadLong(c);
    BufSkip(c, 16);
    gNodeCount = BufReadLong(c);
    if (!CountFits(c, gNodeCount, kNodeRecord)) return 0;
    gNodes.assign(static_cast<size_t>(gNodeCount) + 1, TrackNode{});
    for (int32_t n = 0; n < gNodeCount; ++n) {
        TrackNode& node = gNodes[static_cast<size_t>(n)];
        node.Position = ReadVector(c);
        node.ControlIn = ReadVector(c);
        node.ControlOut = ReadVector(c);
        node.Roll = BufReadSingle(c);
        node.RollEasing = ReadBool(c);
        node.NodeFlag3 = ReadBool(c);
        node.StrictRoll = ReadBool(c);
        BufSkip(c, 17);
    }
    return ReadTail(c, gBEZRChildren);
}

void ReadStationPayload(int32_t& c, StationBlock& s) {
    for (float& w : s.WaitTime) w = BufReadSingle(c);
    s.Entrance = BufReadByte(c);
    s.NoRoof = BufReadByte(c);
    s.Synchronized = ReadBool(c);
    s.Hidden = ReadBool(c);
    s.MainBrakeDecel = BufReadSingle(c);
    s.StationExtraByte1 = BufReadByte(c);
    s.StationExtraByte2 = BufReadByte(c);
    BufSkip(c, 2);
    s.PreBrake = ReadBool(c);
    s.PreBrakeSpeedLimit = BufReadSingle(c);
    BufSkip(c, 4);
    s.PreBrakeDecel = BufReadSingle(c);
    s.PreBrakeHysteresis = BufReadSingle(c);
    BufSkip(c, 4);
    s.Wheels = ReadBool(c);
    s.WheelSpeed = BufReadSingle(c);
    s.WheelAccel = BufReadSingle(c);
    s.WheelDecel = BufReadSingle(c);
    BufSkip(c, 3);
    s.StationExtraByte3 = BufReadByte(c);
    s.StationExtraValue = BufReadSingle(c);
    s.StationExtraFlag = ReadBool(c);
    BufSkip(c, 55);
}

void ReadLiftPayload(int32_t& c, LiftBlock& l) {
    BufSkip(c, 3);
    l.LiftStyle = BufReadByte(c);
    l.MotorSpeed = BufReadSingle(c);
    l.MotorAccel = BufReadSingle(c);
    l.MotorDecel = BufReadSingle(c);
    BufSkip(c, 4);
    l.LeftRailing = ReadBool(c);
    l.RightRailing = ReadBool(c);
    BufSkip(c, 14);
}

void ReadTransportPayload(int32_t& c, TransportBlock& t) {
    t.MotorSpeed = BufReadSingle(c);
    t.MotorAccel = BufReadSingle(c);
    t.MotorDecel = BufReadSingle(c);
    BufSkip(c, 3);
    t.TransportStyle = BufReadByte(c);
    t.LeftRailing = ReadBool(c);
    t.RightRailing = ReadBool(c);
    BufSkip(c, 10);
}

void ReadBrakePayload(int32_t& c, BrakeBlock& b) {
    b.BrakeSpeedLimit = BufReadSingle(c);
    b.BrakeDecel = BufReadSingle(c);
    b.BrakeHysteresis = BufReadSingle(c);
    BufSkip(c, 4);
    b.TriggerPosition = BufReadSingle(c);
    b.BlockSegment = ReadBool(c);
    b.Wheels = ReadBool(c);
    b.WheelSpeed = BufReadSingle(c);
    b.WheelAccel = BufReadSingle(c);
    b.WheelDecel = BufReadSingle(c);
    b.LeftRailing = ReadBool(c);
    b.RightRailing = ReadBool(c);
    b.CompleteStop = ReadBool(c);
    b.BrakeExtraByte = BufReadByte(c);
    BufSkip(c, 12);
}

int32_t ReadChunkSEGM(int32_t& c) {
    gSEGMSize = BufReadLong(c);
    gSegmentCount = BufReadLong(c);
    gClosedCircuit = ReadBool(c);
    BufSkip(c, 16);
    if (!CountFits(c, gSegmentCount, kSegmentRecordMin)) return 0;
    gSegments.assign(static_cast<size_t>(gSegmentCount) + 1, TrackSegment{});
    for (int32_t n = 0; n < gSegmentCount && !Bad(); ++n) {
        TrackSegment& seg = gSegments[static_cast<size_t>(n)];
        seg.SegmentType = BufReadLong(c);
        seg.CustomColors = ReadBool(c);
        seg.SpineColor = BufReadColor(c);
        seg.RailColor = BufReadColor(c);
        seg.TieColor = BufReadColor(c);
        seg.Tunnel = ReadBool(c);
        BufSkip(c, 3);
        seg.SpineStyle = BufReadByte(c);
        BufSkip(c, 11);
        if (!HasPayload(seg.SegmentType)) continue;
        BufSkip(c, 4);  // the payload length: each type's payload has a fixed layout
        switch (seg.SegmentType) {
            case SegmentStation: ReadStationPayload(c, seg.Station); break;
            case SegmentLift: ReadLiftPayload(c, seg.Lift); break;
            case SegmentTransport: ReadTransportPayload(c, seg.Transport); break;
            case SegmentBrake: ReadBrakePayload(c, seg.Brake); break;
            default: break;
        }
    }
    return ReadTail(c, gSEGMChildren);
}

int32_t ReadChunkSUPP(int32_t& c) {
    gSUPPSize = BufReadLong(c);
    BufSkip(c, 32);
    gSUPPChildren = BufReadLong(c);
    return gSUPPChildren;
}

int32_t ReadChunkFUND(int32_t& c) {
    gFUNDSize = BufReadLong(c);
    BufSkip(c, 16);
    gFooterCount = BufReadLong(c);
    if (!CountFits(c, gFooterCount, kFooterRecord)) return 0;
    gFooters.assign(static_cast<size_t>(gFooterCount) + 1, TrackFooter{});
    for (int32_t n = 0; n < gFooterCount; ++n) {
        TrackFooter& f = gFooters[static_cast<size_t>(n)];
        f.CustomSize = ReadBool(c);
        f.Size = BufReadSingle(c);
        f.CustomRotation = ReadBool(c);
        f.Rotation = BufReadSingle(c);
        BufSkip(c, 6);
        f.Position = ReadVector(c);
        BufSkip(c, 64);
    }
    return ReadTail(c, gFUNDChildren);
}

int32_t ReadChunkRASC(int32_t& c) {
    gRASCSize = BufReadLong(c);
    BufSkip(c, 16);
    gRascGroupCount = BufReadLong(c);
    if (!CountFits(c, gRascGroupCount, kRascGroupMin)) return 0;
    gRascGroups.assign(static_cast<size_t>(gRascGroupCount) + 1, RascGroup{});
    for (int32_t g = 0; g < gRascGroupCount && !Bad(); ++g) {
        RascGroup& group = gRascGroups[static_cast<size_t>(g)];
        group.ItemCount = BufReadLong(c);
        if (!CountFits(c, group.ItemCount, kRascItemRecord)) return 0;
        if (group.ItemCount <= 0) continue;
        group.Items.assign(static_cast<size_t>(group.ItemCount) + 1, RascItem{});
        for (int32_t i = 0; i < group.ItemCount; ++i) {
            RascItem& item = group.Items[static_cast<size_t>(i)];
            item.Style = BufReadLong(c);
            item.Position = BufReadSingle(c);
            BufSkip(c, 16);
        }
    }
    return ReadTail(c, gRASCChildren);
}

int32_t ReadChunkFREN(int32_t& c) {
    gFRENSize = BufReadLong(c);
    BufSkip(c, 16);
    gFreeNodeCount = BufReadLong(c);
    if (!CountFits(c, gFreeNodeCount, kFreeNodeRecord)) return 0;
    gFreeNodes.assign(static_cast<size_t>(gFreeNodeCount) + 1, Vector3{});
    for (int32_t n = 0; n < gFreeNodeCount; ++n) {
        gFreeNodes[static_cast<size_t>(n)] = ReadVector(c);
        BufSkip(c, 16);
    }
    return ReadTail(c, gFRENChildren);
}

int32_t ReadChunkTUBE(int32_t& c) {
    gTUBESize = BufReadLong(c);
    BufSkip(c, 16);
    gTubeCount = BufReadLong(c);
    if (!CountFits(c, gTubeCount, kTubeRecord)) return 0;
    gTubes.assign(static_cast<size_t>(gTubeCount) + 1, SupportTube{});
    for (int32_t n = 0; n < gTubeCount; ++n) {
        SupportTube& t = gTubes[static_cast<size_t>(n)];
        t.EndAKind = BufReadLong(c);
        t.EndASegment = BufReadLong(c);
        t.EndAIndex = BufReadLong(c);
        BufSkip(c, 4);
        t.EndBKind = BufReadLong(c);
        t.EndBSegment = BufReadLong(c);
        t.EndBIndex = BufReadLong(c);
        BufSkip(c, 4);
        t.TubeType = BufReadLong(c);
        t.Reserved = BufReadLong(c);
        t.Rotation = BufReadSingle(c);
        BufSkip(c, 4);
    }
    return ReadTail(c, gTUBEChildren);
}

int32_t ReadChunkCATW(int32_t& c) {
    gCATWSize = BufReadLong(c);
    BufSkip(c, 16);
    gCatwalkCount = BufReadLong(c);
    if (!CountFits(c, gCatwalkCount, kCatwalkRecordMin)) return 0;
    gCatwalks.assign(static_cast<size_t>(gCatwalkCount) + 1, TrackCatwalk{});
    for (int32_t n = 0; n < gCatwalkCount && !Bad(); ++n) {
        TrackCatwalk& w = gCatwalks[static_cast<size_t>(n)];
        w.Corner1 = BufReadLong(c);
        w.Corner2 = BufReadLong(c);
        w.Corner3 = BufReadLong(c);
        w.Corner4 = BufReadLong(c);
        w.Extra1 = BufReadLong(c);
        w.Extra2 = BufReadLong(c);
        w.PadLength = BufReadLong(c);
        if (w.PadLength < 0) {  // padding cannot run backwards
            Malformed();
            return 0;
        }
        BufSkip(c, w.PadLength);
    }
    return ReadTail(c, gCATWChildren);
}

int32_t ReadChunkSCEN(int32_t& c) {
    gSCENSize = BufReadLong(c);
    BufSkip(c, 16);
    gTreeCount = BufReadLong(c);
    if (!CountFits(c, gTreeCount, kTreeRecord)) return 0;
    gTrees.assign(static_cast<size_t>(gTreeCount) + 1, SceneryTree{});
    for (int32_t n = 0; n < gTreeCount; ++n) {
        SceneryTree& t = gTrees[static_cast<size_t>(n)];
        t.Position = ReadVector(c);
        t.TreeType = BufReadLong(c);
        t.ExtraValue = BufReadSingle(c);
        BufSkip(c, 44);
    }
    return ReadTail(c, gSCENChildren);
}

int32_t ReadChunkSCOB(int32_t& c) {
    gSCOBSize = BufReadLong(c);
    BufSkip(c, 16);
    gObjectCount = BufReadLong(c);
    if (!CountFits(c, gObjectCount, kObjectRecordMin)) return 0;
    gObjects.assign(static_cast<size_t>(gObjectCount) + 1, SceneryObject{});
    for (int32_t n = 0; n < gObjectCount && !Bad(); ++n) {
        SceneryObject& o = gObjects[static_cast<size_t>(n)];
        o.ObjectText = ReadText(c);
        o.FileName = ReadText(c);
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 4; ++col) o.Transform(r, col) = BufReadSingle(c);
        BufSkip(c, 16);
    }
    return ReadTail(c, gSCOBChildren);
}

int32_t ReadChunkTERA(int32_t& c) {
    gTERASize = BufReadLong(c);
    gTerrainWidth = BufReadLong(c);
    gTerrainDepth = BufReadLong(c);
    gTerrainSpacingX = BufReadSingle(c);
    gTerrainSpacingZ = BufReadSingle(c);
    gTerrainText1 = ReadText(c);
    gTerrainValue1 = BufReadSingle(c);
    gTerrainText2 = ReadText(c);
    gTerrainValue2 = BufReadSingle(c);
    gHasWater = ReadBool(c);
    BufSkip(c, 4);
    gTerrainText3 = ReadText(c);
    gTerrainValue3 = BufReadSingle(c);
    gTerrainByte = BufReadByte(c);
    BufSkip(c, 15);
    if (Bad()) return 0;
    // The heights must fit in the file, and so must each side on its own: the
    // grid keeps a spare row and column, which a zero-wide grid of enormous
    // depth would otherwise make the loader allocate for nothing.
    const int64_t w = gTerrainWidth, d = gTerrainDepth, left = BufBytesLeft(c);
    if (w < 0 || d < 0 || w > left || d > left || w * d * 4 > left) {
        Malformed();
        return 0;
    }
    gTerrainHeights.Resize(gTerrainWidth, gTerrainDepth);
    const size_t columns = static_cast<size_t>(gTerrainHeights.Columns);
    for (int32_t j = 0; j < gTerrainDepth; ++j)
        BufReadSingles(c, gTerrainHeights.Values.data() + static_cast<size_t>(j) * columns,
                       static_cast<size_t>(gTerrainWidth));
    ReadTail(c, gTERAChildren);
    gHasTerrain = true;
    return gTERAChildren;
}

int32_t ReadChunkENVC(int32_t& c) {
    gENVCSize = BufReadLong(c);
    BufSkip(c, 16);
    gEnvironmentName = ReadOptionalText(c);
    gEnvironmentText2 = ReadOptionalText(c);
    return ReadTail(c, gENVCChildren);
}

// A chunk of a tag this program does not know: its size field counts every
// byte after it to the end of the chunk, children included.
void SkipChunk(int32_t& c) {
    const int32_t size = BufReadLong(c);
    if (Bad()) return;
    if (size < 0) {
        Malformed();
        return;
    }
    BufSkip(c, size);
}

int32_t ReadChunk(const std::string& tag, int32_t& c) {
    struct Reader {
        const char* tag;
        int32_t (*read)(int32_t&);
    };
    static const Reader kReaders[] = {
        {"TRCK", ReadChunkTRCK}, {"INFO", ReadChunkINFO}, {"BEZR", ReadChunkBEZR}, {"SEGM", ReadChunkSEGM},
        {"SUPP", ReadChunkSUPP}, {"FUND", ReadChunkFUND}, {"RASC", ReadChunkRASC}, {"FREN", ReadChunkFREN},
        {"TUBE", ReadChunkTUBE}, {"CATW", ReadChunkCATW}, {"SCEN", ReadChunkSCEN}, {"SCOB", ReadChunkSCOB},
        {"TERA", ReadChunkTERA}, {"ENVC", ReadChunkENVC},
    };
    for (const Reader& r : kReaders)
        if (tag == r.tag) return r.read(c);
    SkipChunk(c);
    return 0;
}

// Parses gTrackBuffer into the (cleared) document; false when the file is
// not a track file or is damaged.
bool ParseTrackBuffer() {
    sMalformed = false;
    BufResetReadError();
    if (gTrackBuffer.size() > static_cast<size_t>(INT32_MAX)) return false;
    int32_t c = 0;
    if (BufReadTag(c) != "VRTX") return false;
    ReadFileHeader(c);
    if (Bad()) return false;
    if (gTopChunkCount < 0) return false;
    // Every chunk takes at least its tag and size field from the file, so the
    // walk ends (at the latest when the bytes run out) whatever the counts say.
    int64_t remaining = gTopChunkCount;
    while (remaining > 0) {
        const std::string tag = BufReadTag(c);
        if (Bad()) return false;
        const int32_t children = ReadChunk(tag, c);
        if (Bad() || children < 0) return false;
        remaining += static_cast<int64_t>(children) - 1;
    }
    return true;
}

// ---- Writing ------------------------------------------------------------------

// The number of records to write from an array: its count, but never more than
// the array holds (and never negative), so that a count out of step with its
// array still gives a file whose counts and records agree.
template <typename T>
int32_t Used(int32_t count, const std::vector<T>& records) {
    if (count < 0) return 0;
    return static_cast<int32_t>(std::min<size_t>(static_cast<size_t>(count), records.size()));
}

int32_t PadOf(const TrackCatwalk& w) { return std::max<int32_t>(w.PadLength, 0); }


int32_t TerrainWidthToWrite() { return std::max<int32_t>(gTerrainWidth, 0); }
int32_t TerrainDepthToWrite() { return std::max<int32_t>(gTerrainDepth, 0); }

int32_t SegmentRecordLength(int32_t type) { return HasPayload(type) ? 33 + 4 + kPayloadLength[type] : 33; }

// Computes every chunk's size field and the header total, innermost first.
// False when the track is too large for the format's 32-bit sizes.
bool ComputeChunkSizes() {
    // A text takes one byte per character of the simulator's code page. One
    // the code page cannot hold (the tools let none in) is never written with
    // marks in its place: the track is not written at all.
    bool textsFit = true;
    const auto TextLen = [&textsFit](const std::string& s) {
        textsFit = textsFit && cp::CanHold(s);
        return static_cast<int64_t>(cp::ByteCount(s));
    };
    int64_t envc = 44 + TextLen(gEnvironmentName) + TextLen(gEnvironmentText2);
    int64_t tera = 0;
    if (gHasTerrain)
        tera = 81 + TextLen(gTerrainText1) + TextLen(gTerrainText2) + TextLen(gTerrainText3) +
               4 * static_cast<int64_t>(TerrainWidthToWrite()) * TerrainDepthToWrite();
    int64_t scob = 40;
    for (int32_t n = 0; n < Used(gObjectCount, gObjects); ++n)
        scob += 88 + TextLen(gObjects[n].ObjectText) + TextLen(gObjects[n].FileName);
    const int64_t scen = 64 * static_cast<int64_t>(Used(gTreeCount, gTrees)) + scob + 48;
    int64_t catw = 40;
    for (int32_t n = 0; n < Used(gCatwalkCount, gCatwalks); ++n) catw += 28 + PadOf(gCatwalks[n]);
    const int64_t tube = 40 + 48 * static_cast<int64_t>(Used(gTubeCount, gTubes));
    const int64_t fren = 40 + 28 * static_cast<int64_t>(Used(gFreeNodeCount, gFreeNodes));
    int64_t rasc = 40;
    for (int32_t g = 0; g < Used(gRascGroupCount, gRascGroups); ++g)
        rasc += 4 + 24 * static_cast<int64_t>(Used(gRascGroups[g].ItemCount, gRascGroups[g].Items));
    const int64_t fund = 40 + 92 * static_cast<int64_t>(Used(gFooterCount, gFooters));
    const int64_t supp = fund + rasc + fren + tube + catw + 76;
    int64_t segm = 41;
    for (int32_t n = 0; n < Used(gSegmentCount, gSegments); ++n) segm += SegmentRecordLength(gSegments[n].SegmentType);
    const int64_t bezr = 40 + 60 * static_cast<int64_t>(Used(gNodeCount, gNodes));
    const int64_t info = 24 + TextLen(gTrackInfo);
    int64_t trck = 64 + info + bezr + segm + supp + 32;
    for (int32_t t = 0; t < Used(gTrainCount, gTrains); ++t) trck += 28 + TextLen(gTrains[t].Name);
    int64_t total = trck + scen + envc + 48;
    if (gHasTerrain) total += tera + 8;

    // Every size is part of the total, so one bound covers them all: a file
    // larger than a track file can be, which the next open would refuse, is
    // never built (fsys::kLargerThanItsKindError). Within it, the file
    // (total + 8 bytes) stays addressable by a 32-bit cursor.
    static_assert(fsys::kTrackFile.MostBytes <= INT32_MAX);
    if (!textsFit || !fsys::FitsItsKind(static_cast<uint64_t>(total) + 8, fsys::kTrackFile)) return false;
    gENVCSize = static_cast<int32_t>(envc);
    gTERASize = static_cast<int32_t>(tera);
    gSCOBSize = static_cast<int32_t>(scob);
    gSCENSize = static_cast<int32_t>(scen);
    gCATWSize = static_cast<int32_t>(catw);
    gTUBESize = static_cast<int32_t>(tube);
    gFRENSize = static_cast<int32_t>(fren);
    gRASCSize = static_cast<int32_t>(rasc);
    gFUNDSize = static_cast<int32_t>(fund);
    gSUPPSize = static_cast<int32_t>(supp);
    gSEGMSize = static_cast<int32_t>(segm);
    gBEZRSize = static_cast<int32_t>(bezr);
    gINFOSize = static_cast<int32_t>(info);
    gTRCKSize = static_cast<int32_t>(trck);
    gFileTotalSize = static_cast<int32_t>(total);
    return true;
}

void WriteBool(int32_t& c, bool b) { BufWriteByte(c, b ? 0xFF : 0x00); }

void WriteVector(int32_t& c, const Vector3& v) {
    BufWriteSingle(c, v.X);
    BufWriteSingle(c, v.Y);
    BufWriteSingle(c, v.Z);
}

// The length is the text's bytes in the file, not its bytes in memory.
void WriteText(int32_t& c, const std::string& s) {
    BufWriteLong(c, static_cast<int32_t>(cp::ByteCount(s)));
    BufWriteString(c, s);
}

void WriteChunkStart(int32_t& c, const char* tag, int32_t size) {
    BufWriteTag(c, tag);
    BufWriteLong(c, size);
}

void WriteTail(int32_t& c, int32_t children) {
    BufWriteZeros(c, 16);
    BufWriteLong(c, children);
}

void WriteFileHeader(int32_t& c) {
    BufWriteTag(c, "VRTX");
    BufWriteLong(c, gFileTotalSize);
    BufWriteByte(c, 1);
    BufWriteByte(c, 4);
    BufWriteByte(c, 0);
    BufWriteByte(c, 0);
    BufWriteByte(c, gHeaderFlag);
    BufWriteZeros(c, 15);
    BufWriteLong(c, gTopChunkCount);
}

void WriteChunkTRCK(int32_t& c) {
    WriteChunkStart(c, "TRCK", gTRCKSize);
    const int32_t trains = Used(gTrainCount, gTrains);
    BufWriteLong(c, gTrackStyle);
    BufWriteLong(c, trains);
    BufWriteLong(c, gCarsPerTrain);
    for (int32_t t = 0; t < trains; ++t) {
        const TrainEntry& train = gTrains[t];
        WriteBool(c, train.Flag);
        BufWriteZeros(c, 7);
        WriteText(c, train.Name);
        BufWriteColor(c, train.Color1);
        BufWriteColor(c, train.Color2);
        BufWriteColor(c, train.Color3);
        BufWriteColor(c, train.Color4);
    }
    BufWriteColor(c, gSpineColor);
    BufWriteColor(c, gRailColor);
    BufWriteColor(c, gTieColor);
    BufWriteColor(c, gTrackSupportColor);
    for (int32_t color : gTrackExtraColors) BufWriteColor(c, color);
    BufWriteByte(c, gHeaderFlag);
    BufWriteByte(c, 0x39);
    BufWriteByte(c, 0x17);
    BufWriteByte(c, 0x02);
    BufWriteZeros(c, 3);
    BufWriteByte(c, static_cast<uint8_t>(gRunMode & 0xFF));
    BufWriteZeros(c, 8);
    BufWriteLong(c, gTRCKChildren);
}

void WriteChunkINFO(int32_t& c) {
    WriteChunkStart(c, "INFO", gINFOSize);
    BufWriteZeros(c, 16);
    WriteText(c, gTrackInfo);
    BufWriteLong(c, gINFOChildren);
}

void WriteChunkBEZR(int32_t& c) {
    WriteChunkStart(c, "BEZR", gBEZRSize);
    BufWriteZeros(c, 16);
    const int32_t count = Used(gNodeCount, gNodes);
    BufWriteLong(c, count);
    for (int32_t n = 0; n < count; ++n) {
        const TrackNode& node = gNodes[n];
        WriteVector(c, node.Position);
        WriteVector(c, node.ControlIn);
        WriteVector(c, node.ControlOut);
        BufWriteSingle(c, node.Roll);
        WriteBool(c, node.RollEasing);
        WriteBool(c, node.NodeFlag3);
        WriteBool(c, node.StrictRoll);
        BufWriteZeros(c, 17);
    }
    WriteTail(c, gBEZRChildren);
}

void WriteStationPayload(int32_t& c, const StationBlock& s) {
    for (float w : s.WaitTime) BufWriteSingle(c, w);
    BufWriteByte(c, s.Entrance);
    BufWriteByte(c, s.NoRoof);
    WriteBool(c, s.Synchronized);
    WriteBool(c, s.Hidden);
    BufWriteSingle(c, s.MainBrakeDecel);
    BufWriteByte(c, s.StationExtraByte1);
    BufWriteByte(c, s.StationExtraByte2);
    BufWriteZeros(c, 2);
    WriteBool(c, s.PreBrake);
    BufWriteSingle(c, s.PreBrakeSpeedLimit);
    BufWriteZeros(c, 4);
    BufWriteSingle(c, s.PreBrakeDecel);
    BufWriteSingle(c, s.PreBrakeHysteresis);
    BufWriteZeros(c, 4);
    WriteBool(c, s.Wheels);
    BufWriteSingle(c, s.WheelSpeed);
    BufWriteSingle(c, s.WheelAccel);
    BufWriteSingle(c, s.WheelDecel);
    BufWriteZeros(c, 3);
    BufWriteByte(c, s.StationExtraByte3);
    BufWriteSingle(c, s.StationExtraValue);
    WriteBool(c, s.StationExtraFlag);
    BufWriteZeros(c, 55);
}

void WriteLiftPayload(int32_t& c, const LiftBlock& l) {
    BufWriteZeros(c, 3);
    BufWriteByte(c, l.LiftStyle);
    BufWriteSingle(c, l.MotorSpeed);
    BufWriteSingle(c, l.MotorAccel);
    BufWriteSingle(c, l.MotorDecel);
    BufWriteZeros(c, 4);
    WriteBool(c, l.LeftRailing);
    WriteBool(c, l.RightRailing);
    BufWriteZeros(c, 14);
}

void WriteTransportPayload(int32_t& c, const TransportBlock& t) {
    BufWriteSingle(c, t.MotorSpeed);
    BufWriteSingle(c, t.MotorAccel);
    BufWriteSingle(c, t.MotorDecel);
    BufWriteZeros(c, 3);
    BufWriteByte(c, t.TransportStyle);
    WriteBool(c, t.LeftRailing);
    WriteBool(c, t.RightRailing);
    BufWriteZeros(c, 10);
}

void WriteBrakePayload(int32_t& c, const BrakeBlock& b) {
    BufWriteSingle(c, b.BrakeSpeedLimit);
    BufWriteSingle(c, b.BrakeDecel);
    BufWriteSingle(c, b.BrakeHysteresis);
    BufWriteZeros(c, 4);
    BufWriteSingle(c, b.TriggerPosition);
    WriteBool(c, b.BlockSegment);
    WriteBool(c, b.Wheels);
    BufWriteSingle(c, b.WheelSpeed);
    BufWriteSingle(c, b.WheelAccel);
    BufWriteSingle(c, b.WheelDecel);
    WriteBool(c, b.LeftRailing);
    WriteBool(c, b.RightRailing);
    WriteBool(c, b.CompleteStop);
    BufWriteByte(c, b.BrakeExtraByte);
    BufWriteZeros(c, 12);
}

void WriteChunkSEGM(int32_t& c) {
    WriteChunkStart(c, "SEGM", gSEGMSize);
    const int32_t count = Used(gSegmentCount, gSegments);
    BufWriteLong(c, count);
    WriteBool(c, gClosedCircuit);
    BufWriteZeros(c, 16);
    for (int32_t n = 0; n < count; ++n) {
        const TrackSegment& seg = gSegments[n];
        BufWriteLong(c, seg.SegmentType);
        WriteBool(c, seg.CustomColors);
        BufWriteColor(c, seg.SpineColor);
        BufWriteColor(c, seg.RailColor);
        BufWriteColor(c, seg.TieColor);
        WriteBool(c, seg.Tunnel);
        BufWriteZeros(c, 3);
        BufWriteByte(c, seg.SpineStyle);
        BufWriteZeros(c, 11);
        if (!HasPayload(seg.SegmentType)) continue;
        BufWriteLong(c, kPayloadLength[seg.SegmentType]);
        switch (seg.SegmentType) {
            case SegmentStation: WriteStationPayload(c, seg.Station); break;
            case SegmentLift: WriteLiftPayload(c, seg.Lift); break;
            case SegmentTransport: WriteTransportPayload(c, seg.Transport); break;
            case SegmentBrake: WriteBrakePayload(c, seg.Brake); break;
            default: break;
        }
    }
    WriteTail(c, gSEGMChildren);
}

void WriteChunkSUPP(int32_t& c) {
    WriteChunkStart(c, "SUPP", gSUPPSize);
    BufWriteZeros(c, 32);
    BufWriteLong(c, gSUPPChildren);
}

void WriteChunkFUND(int32_t& c) {
    WriteChunkStart(c, "FUND", gFUNDSize);
    BufWriteZeros(c, 16);
    const int32_t count = Used(gFooterCount, gFooters);
    BufWriteLong(c, count);
    for (int32_t n = 0; n < count; ++n) {
        const TrackFooter& f = gFooters[n];
        WriteBool(c, f.CustomSize);
        BufWriteSingle(c, f.Size);
        WriteBool(c, f.CustomRotation);
        BufWriteSingle(c, f.Rotation);
        BufWriteZeros(c, 6);
        WriteVector(c, f.Position);
        BufWriteZeros(c, 64);
    }
    WriteTail(c, gFUNDChildren);
}

void WriteChunkRASC(int32_t& c) {
    WriteChunkStart(c, "RASC", gRASCSize);
    BufWriteZeros(c, 16);
    const int32_t groups = Used(gRascGroupCount, gRascGroups);
    BufWriteLong(c, groups);
    for (int32_t g = 0; g < groups; ++g) {
        const RascGroup& group = gRascGroups[g];
        const int32_t items = Used(group.ItemCount, group.Items);
        BufWriteLong(c, items);
        for (int32_t i = 0; i < items; ++i) {
            BufWriteLong(c, group.Items[i].Style);
            BufWriteSingle(c, group.Items[i].Position);
            BufWriteZeros(c, 16);
        }
    }
    WriteTail(c, gRASCChildren);
}

void WriteChunkFREN(int32_t& c) {
    WriteChunkStart(c, "FREN", gFRENSize);
    BufWriteZeros(c, 16);
    const int32_t count = Used(gFreeNodeCount, gFreeNodes);
    BufWriteLong(c, count);
    for (int32_t n = 0; n < count; ++n) {
        WriteVector(c, gFreeNodes[n]);
        BufWriteZeros(c, 16);
    }
    WriteTail(c, gFRENChildren);
}

void WriteChunkTUBE(int32_t& c) {
    WriteChunkStart(c, "TUBE", gTUBESize);
    BufWriteZeros(c, 16);
    const int32_t count = Used(gTubeCount, gTubes);
    BufWriteLong(c, count);
    for (int32_t n = 0; n < count; ++n) {
        const SupportTube& t = gTubes[n];
        BufWriteLong(c, t.EndAKind);
        BufWriteLong(c, t.EndASegment);
        BufWriteLong(c, t.EndAIndex);
        BufWriteZeros(c, 4);
        BufWriteLong(c, t.EndBKind);
        BufWriteLong(c, t.EndBSegment);
        BufWriteLong(c, t.EndBIndex);
        BufWriteZeros(c, 4);
        BufWriteLong(c, t.TubeType);
        BufWriteLong(c, t.Reserved);
        BufWriteSingle(c, t.Rotation);
        BufWriteZeros(c, 4);
    }
    WriteTail(c, gTUBEChildren);
}

void WriteChunkCATW(int32_t& c) {
    WriteChunkStart(c, "CATW", gCATWSize);
    BufWriteZeros(c, 16);
    const int32_t count = Used(gCatwalkCount, gCatwalks);
    BufWriteLong(c, count);
    for (int32_t n = 0; n < count; ++n) {
        const TrackCatwalk& w = gCatwalks[n];
        BufWriteLong(c, w.Corner1);
        BufWriteLong(c, w.Corner2);
        BufWriteLong(c, w.Corner3);
        BufWriteLong(c, w.Corner4);
        BufWriteLong(c, w.Extra1);
        BufWriteLong(c, w.Extra2);
        // A negative padding has no bytes to stand for; it is written as none.
        BufWriteLong(c, PadOf(w));
        BufWriteZeros(c, PadOf(w));
    }
    WriteTail(c, gCATWChildren);
}

void WriteChunkSCEN(int32_t& c) {
    WriteChunkStart(c, "SCEN", gSCENSize);
    BufWriteZeros(c, 16);
    const int32_t count = Used(gTreeCount, gTrees);
    BufWriteLong(c, count);
    for (int32_t n = 0; n < count; ++n) {
        const SceneryTree& t = gTrees[n];
        WriteVector(c, t.Position);
        BufWriteLong(c, t.TreeType);
        BufWriteSingle(c, t.ExtraValue);
        BufWriteZeros(c, 44);
    }
    WriteTail(c, gSCENChildren);
}

void WriteChunkSCOB(int32_t& c) {
    WriteChunkStart(c, "SCOB", gSCOBSize);
    BufWriteZeros(c, 16);
    const int32_t count = Used(gObjectCount, gObjects);
    BufWriteLong(c, count);
    for (int32_t n = 0; n < count; ++n) {
        const SceneryObject& o = gObjects[n];
        WriteText(c, o.ObjectText);
        WriteText(c, o.FileName);
        for (int r = 0; r < 4; ++r)
            for (int col = 0; col < 4; ++col) BufWriteSingle(c, o.Transform(r, col));
        BufWriteZeros(c, 16);
    }
    WriteTail(c, gSCOBChildren);
}

void WriteChunkTERA(int32_t& c) {
    WriteChunkStart(c, "TERA", gTERASize);
    const int32_t w = TerrainWidthToWrite(), d = TerrainDepthToWrite();
    BufWriteLong(c, w);
    BufWriteLong(c, d);
    BufWriteSingle(c, gTerrainSpacingX);
    BufWriteSingle(c, gTerrainSpacingZ);
    WriteText(c, gTerrainText1);
    BufWriteSingle(c, gTerrainValue1);
    WriteText(c, gTerrainText2);
    BufWriteSingle(c, gTerrainValue2);
    WriteBool(c, gHasWater);
    BufWriteZeros(c, 4);
    WriteText(c, gTerrainText3);
    BufWriteSingle(c, gTerrainValue3);
    BufWriteByte(c, gTerrainByte);
    BufWriteZeros(c, 15);
    const TerrainHeightGrid& grid = gTerrainHeights;
    const bool gridHoldsAll = grid.Columns >= w && grid.Rows >= d &&
                              grid.Values.size() >= static_cast<size_t>(grid.Columns) * static_cast<size_t>(grid.Rows);
    for (int32_t j = 0; j < d; ++j) {
        if (gridHoldsAll) {
            BufWriteSingles(c, grid.Values.data() + static_cast<size_t>(j) * static_cast<size_t>(grid.Columns),
                            static_cast<size_t>(w));
            continue;
        }
        // A grid smaller than its stated size: the missing points are written
        // as 0 so that the file still holds W x D heights.
        for (int32_t i = 0; i < w; ++i) {
            const bool inside = i < grid.Columns && j < grid.Rows &&
                                static_cast<size_t>(j) * static_cast<size_t>(grid.Columns) + i < grid.Values.size();
            BufWriteSingle(c, inside ? grid(i, j) : 0.0f);
        }
    }
    WriteTail(c, gTERAChildren);
}

void WriteChunkENVC(int32_t& c) {
    WriteChunkStart(c, "ENVC", gENVCSize);
    BufWriteZeros(c, 16);
    WriteText(c, gEnvironmentName);
    WriteText(c, gEnvironmentText2);
    WriteTail(c, gENVCChildren);
}

}  // namespace

bool LoadTrackFile(const std::string& path) {
    // A file that is not there, or of another name, is no read failure: errno 0.
    const bool named = !path.empty() && fsys::FileExists(path) && fsys::HasExtension(path, kTrackExtension);
    errno = 0;
    if (!named) return false;
    ClearTrackDocument();
    const bool read = fsys::ReadWholeFile(path, gTrackBuffer, fsys::kTrackFile);
    const int readError = read ? 0 : errno;
    const bool ok = read && ParseTrackBuffer();
    // A file that fails part-way leaves no half-read document behind.
    if (!ok) ClearTrackDocument();
    ByteBlock(1, 0).swap(gTrackBuffer);  // the file's bytes are not kept through the model build
    errno = readError;
    return ok;
}

bool SaveTrackFile(const std::string& path) {
    if (path.empty()) return false;
    gTopChunkCount = gHasTerrain ? 4 : 3;
    gTRCKChildren = 4;
    gSUPPChildren = 5;
    gSCENChildren = 1;
    gINFOChildren = gBEZRChildren = gSEGMChildren = gFUNDChildren = gRASCChildren = 0;
    gFRENChildren = gTUBEChildren = gCATWChildren = gSCOBChildren = gTERAChildren = gENVCChildren = 0;
    if (!ComputeChunkSizes()) return false;

    // The whole file is sized at once from the computed total, so the writes
    // below only fill it in; the check after them holds the length to exactly
    // the bytes written.
    int32_t c = 0;
    gTrackBuffer.assign(static_cast<size_t>(gFileTotalSize) + 8, 0);
    WriteFileHeader(c);
    WriteChunkTRCK(c);
    WriteChunkINFO(c);
    WriteChunkBEZR(c);
    WriteChunkSEGM(c);
    WriteChunkSUPP(c);
    WriteChunkFUND(c);
    WriteChunkRASC(c);
    WriteChunkFREN(c);
    WriteChunkTUBE(c);
    WriteChunkCATW(c);
    WriteChunkSCEN(c);
    WriteChunkSCOB(c);
    if (gHasTerrain) WriteChunkTERA(c);
    WriteChunkENVC(c);
    // The header total was computed ahead of the writing; a file whose length
    // disagrees with it would be unreadable, so it is never put to disk.
    const int64_t expectedLength = static_cast<int64_t>(gFileTotalSize) + 8;
    if (c != expectedLength || static_cast<int64_t>(gTrackBuffer.size()) != expectedLength) return false;

    return fsys::WriteFileAtomically(fsys::SavePathWithExtension(path, kTrackExtension), gTrackBuffer,
                                     fsys::kTrackFile);
}
